// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes PAT-B's project and result files byte for byte, so that tests, benchmarks, fuzz seeds
// and the block generator can produce input for the readers without binary fixtures.
//
// Binary records: little-endian int16 and IEEE 754 float64, id fields of nine characters holding
// a right-aligned decimal integer, separator bytes written as blanks, no padding. Every record
// function returns exactly one record; concatenate them and hand the bytes to writeFile():
//
//   QByteArray i = PatbWriter::imageHeader(12)
//                + PatbWriter::imagePoint(0, 4711, 10.5, -3.25, 0.004, -0.002)
//                + PatbWriter::imageTrailer();
//   PatbWriter::writeFile(dir.filePath("block.(i)"), i);
//
// Values are written as given: in particular observationRecord() takes the residual as the file
// holds it, which is the negative of the residual the model keeps.

#include <QByteArray>
#include <QString>

#include <array>

namespace PatbWriter {

constexpr int kImageRecordSize = 52;       // (i)
constexpr int kOrientationRecordSize = 70; // (e)
constexpr int kObjectRecordSize = 60;      // (o)
constexpr int kObservationRecordSize = 38; // (c)
constexpr int kCameraRecordSize = 210;     // camera file
constexpr int kIdFieldSize = 9;
constexpr int kCameraDataValues = 21; // camera values between the id and the image format

constexpr int kImageTrailerId = -99;
constexpr qint16 kStatisticsCode = -1;
constexpr double kInversionDone = 1.0;
constexpr double kInversionNotDone = 0.0;

// Observation types of the (c) file.
enum ObservationTypeE : qint16 {
    OT_ControlX = 1,
    OT_ControlY = 2,
    OT_ControlZ = 3,
    OT_CentreX = 4,
    OT_CentreY = 5,
    OT_CentreZ = 6
};

// The nine characters of an id field. Built from an int it is the right-aligned decimal number;
// built from text it is that text, cut or filled with blanks to nine characters, so that tests
// can write left-aligned, blank or otherwise hostile ids.
class IdField {
public:
    IdField(int id);
    IdField(const char *text);
    IdField(const QByteArray &text);

    const QByteArray &bytes() const { return mBytes; }

private:
    QByteArray mBytes;
};

using CameraData = std::array<double, kCameraDataValues>;

// (i): one 52-byte record of any kind.
QByteArray imageRecord(qint16 status, const IdField &id, double x, double y, double vx, double vy, double weight);
// (i): image header, status 0, id = image number, x = y = vx = vy = weight = 1.0.
QByteArray imageHeader(const IdField &imageNumber);
// (i): image point; status 0 means the point took part in the adjustment.
QByteArray imagePoint(qint16 status, const IdField &pointId, double x, double y, double vx, double vy,
                      double weight = 1.0);
// (i): image trailer, status 0, id -99, y = vx = vy = weight = 0.0; x is free.
QByteArray imageTrailer(double x = 0.0);

// (e): one 70-byte orientation record; the two leading bytes are written as int16 0.
QByteArray orientationRecord(const IdField &imageNumber, const IdField &cameraId, double x0, double y0, double z0,
                             double varX0, double varY0, double varZ0);

// (o): one 60-byte object point record.
QByteArray objectRecord(qint16 code, const IdField &pointId, double x, double y, double z, double varX, double varY,
                        double varZ);
// (o): the statistics record, code -1; inversion is 1.0 when the inverse was computed.
QByteArray statisticsRecord(double sigma0, double averageRedundancy, double inversion, const IdField &id = IdField(0));

// (c): one 38-byte coordinate observation. fileResidual is stored as given; the readers negate it.
QByteArray observationRecord(qint16 type, qint16 status, const IdField &id, double observed, double fileResidual,
                             double shownValue);

// Camera file: one 210-byte record; the image format is xmin, ymax, width, height.
QByteArray cameraRecord(const IdField &cameraId, double xmin, double ymax, double width, double height,
                        const CameraData &cameraData = {});

// The names a project file lists. The four result names must end with ")".
struct ProjectFileNames {
    QString camera;
    QString image;
    QString object;
    QString orientation;
    QString observation;
};

// "<base>.(i)", "<base>.(o)", "<base>.(e)", "<base>.(c)" with the given camera file.
ProjectFileNames projectFileNames(const QString &baseName, const QString &cameraFile);
// The "*.(p)" project file: "KEY: value" lines ending with CR LF.
QByteArray projectFile(const ProjectFileNames &names);
// PAT-B's current project file: [PROJECT] PATB_OUT_GRAV=<outputBase>, CR LF line ends.
QByteArray patProjectFile(const QString &outputBase);
// Pat.ini: [PATB] PATB_LAST_PROJ=<lastProject> and [PAT] PATH_PROGRAMS=<programDirectory>.
QByteArray patIni(const QString &lastProject, const QString &programDirectory);

// Writes bytes to path, replacing the file; on failure returns false and fills *error.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace PatbWriter
