// SPDX-License-Identifier: GPL-3.0-or-later
// PAT-B records for the reader tests, with the defaults the tests rely on, plus a message capture.
#pragma once

#include "tests/common/MessageCapture.h"
#include "tools/PatbWriter.h"

namespace PatbFiles {

using PatbWriter::cameraRecord;
using PatbWriter::imageHeader;
using PatbWriter::imageRecord;
using PatbWriter::imageTrailer;
using PatbWriter::statisticsRecord;

inline QByteArray imagePoint(int status, int id, double x, double y, double vx = 0, double vy = 0, double w = 1)
{
    return PatbWriter::imagePoint(qint16(status), id, x, y, vx, vy, w);
}
inline QByteArray orientationRecord(int image, int camera, double X, double Y, double Z, double varX = 0,
                                    double varY = 0, double varZ = 0)
{
    return PatbWriter::orientationRecord(image, camera, X, Y, Z, varX, varY, varZ);
}
inline QByteArray objectRecord(int code, int id, double X, double Y, double Z, double varX = 0, double varY = 0,
                               double varZ = 0)
{
    return PatbWriter::objectRecord(qint16(code), id, X, Y, Z, varX, varY, varZ);
}
inline QByteArray observationRecord(int type, int status, int id, double observed, double residual, double extra = 0)
{
    return PatbWriter::observationRecord(qint16(type), qint16(status), id, observed, residual, extra);
}
inline void writeFile(const QString &path, const QByteArray &bytes) { PatbWriter::writeFile(path, bytes); }

using ::MessageCapture;

} // namespace PatbFiles
