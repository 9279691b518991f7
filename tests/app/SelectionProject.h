// SPDX-License-Identifier: GPL-3.0-or-later
// The project of the selection tests: object points 100..104 spanning X 0..1000 and Y 0..500;
// image 5 measured 102 and 103 and eliminated its point 104.
#pragma once

#include "tests/common/ResultFiles.h"

#include <QList>
#include <QPair>
#include <QPointF>

namespace SelectionProject {

constexpr int kImageId = 5;
const QPointF kCentre(600.0, 400.0);
const QList<QPair<int, QPointF>> kPoints = {
    {100, {0.0, 0.0}}, {101, {1000.0, 500.0}}, {102, {500.0, 250.0}}, {103, {250.0, 125.0}}, {104, {750.0, 125.0}}};

inline QString write(const QString &dir)
{
    using namespace PatbWriter;
    const QByteArray i = imageHeader(kImageId) + imagePoint(0, 102, -50, 40, 0.01, 0.02) +
                         imagePoint(0, 103, 60, -30, 0.0, 0.0) + imagePoint(3, 104, 10, 10, 0.5, 0.5) + imageTrailer();
    const QByteArray e = orientationRecord(kImageId, 1, kCentre.x(), kCentre.y(), 1000, 0.25, 0.25, 1.0);
    QByteArray o = statisticsRecord(0.5, 2.0, kInversionDone);
    for (const auto &[id, xy] : kPoints)
        o += objectRecord(0, id, xy.x(), xy.y(), 0.0, 0.01, 0.01, 0.01);
    return writeResultFiles(dir, "s", i, e, o, QByteArray());
}

} // namespace SelectionProject
