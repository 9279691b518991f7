// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Decodes a whole generated project from its files, record by record and independently of the
// writer, for the structural checks of the generator and the round trip through the readers.

#include "tests/common/TestFiles.h"
#include "tests/tools/RecordDecoding.h"

#include <QHash>
#include <QList>

namespace ProjectScan {

using namespace RecordDecoding;

using TestFiles::readFile;

struct ImagePointRecord {
    int image;
    int id;
    qint16 status;
    double x, y, vx, vy, weight;
};

struct ObjectRecord {
    qint16 code;
    double x, y, z, varX, varY, varZ;
};

struct OrientationRecord {
    int number;
    int cameraId;
    double x0, y0, z0, varX0, varY0, varZ0;
};

struct ObservationRecord {
    qint16 type;
    qint16 status;
    int id;
    double observed, residual, shown;
};

// The project as the files hold it, decoded independently of the generator.
struct Project {
    static constexpr int kImageRecord = 52;
    static constexpr int kOrientationRecord = 70;
    static constexpr int kObjectRecord = 60;
    static constexpr int kObservationRecord = 38;

    QByteArray i, e, o, c, camera;
    QList<int> headers;
    int trailers = 0;
    QList<ImagePointRecord> imagePoints;
    QList<OrientationRecord> orientations;
    QHash<int, ObjectRecord> objects;
    int objectRecords = 0;
    QList<QByteArray> statistics;
    QList<ObservationRecord> observations;

    explicit Project(const QString &base)
        : i(readFile(base + ".(i)")), e(readFile(base + ".(e)")), o(readFile(base + ".(o)")),
          c(readFile(base + ".(c)")), camera(readFile(base + ".cam"))
    {
        int current = -1;
        for (int at = 0; at + kImageRecord <= i.size(); at += kImageRecord) {
            const QByteArray r = i.mid(at, kImageRecord);
            const qint16 status = int16At(r, 0);
            const int id = idAt(r, 2);
            const double v[5] = {float64At(r, 12), float64At(r, 20), float64At(r, 28), float64At(r, 36),
                                 float64At(r, 44)};
            if (status == 0 && v[0] == 1.0 && v[1] == 1.0 && v[2] == 1.0 && v[3] == 1.0 && v[4] == 1.0) {
                headers << id;
                current = id;
            } else if (status == 0 && id == -99 && v[1] == 0.0 && v[2] == 0.0 && v[3] == 0.0 && v[4] == 0.0) {
                ++trailers;
                current = -1;
            } else {
                imagePoints << ImagePointRecord{current, id, status, v[0], v[1], v[2], v[3], v[4]};
            }
        }
        for (int at = 0; at + kOrientationRecord <= e.size(); at += kOrientationRecord) {
            const QByteArray r = e.mid(at, kOrientationRecord);
            orientations << OrientationRecord{idAt(r, 2),       idAt(r, 12),      float64At(r, 22), float64At(r, 30),
                                              float64At(r, 38), float64At(r, 46), float64At(r, 54), float64At(r, 62)};
        }
        for (int at = 0; at + kObjectRecord <= o.size(); at += kObjectRecord) {
            const QByteArray r = o.mid(at, kObjectRecord);
            if (int16At(r, 0) == -1) {
                statistics << r;
                continue;
            }
            ++objectRecords;
            objects.insert(idAt(r, 2), ObjectRecord{int16At(r, 0), float64At(r, 12), float64At(r, 20), float64At(r, 28),
                                                    float64At(r, 36), float64At(r, 44), float64At(r, 52)});
        }
        for (int at = 0; at + kObservationRecord <= c.size(); at += kObservationRecord) {
            const QByteArray r = c.mid(at, kObservationRecord);
            observations << ObservationRecord{int16At(r, 0),    int16At(r, 2),    idAt(r, 4),
                                              float64At(r, 14), float64At(r, 22), float64At(r, 30)};
        }
    }
};

} // namespace ProjectScan
