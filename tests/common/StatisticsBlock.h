// SPDX-License-Identifier: GPL-3.0-or-later
// A small block with known residuals, rays, observations and sigmas, written record by record.
#pragma once

#include "tests/patb/PatbFiles.h"

#include <QDir>

namespace StatisticsBlock {

using namespace PatbFiles;

struct Options {
    double sigma0 = 0.5;
    double inversion = 1.0;
};

// Image 1: 100 |v| 5 weight 4, 101 v 0, 102 eliminated, 103 |v| 1 weight 0, 555 lonely v (1, 0).
// Image 2: 100 v (1, 1), 101 eliminated, 104 v (0, 2).
// Object points: 100, 101, 102 new; 103 control 500 (X accepted, Y rejected, no Z);
// 104 control 200 (Z accepted); 105 control 300 without rays (X, Y accepted).
// Projection centre of image 2 observed in X (accepted): code 901.
inline void write(const QDir &dir, const Options &o = {})
{
    writeFile(dir.filePath("p.(p)"), "IMAGE_FILE: b.(i)\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n"
                                     "OBJECT_OBSERVATION_FILE: b.(c)\r\nCAMERA_FILE: none.cam\r\n");
    writeFile(dir.filePath("b.(i)"), imageHeader(1) + imagePoint(0, 100, 1, 1, 3, 4, 4) +
                                         imagePoint(0, 101, 2, 2, 0, 0, 1) + imagePoint(1, 102, 3, 3, 30, 40, 1) +
                                         imagePoint(0, 103, 4, 4, 0.6, 0.8, 0) + imagePoint(0, 555, 5, 5, 1, 0, 1) +
                                         imageTrailer() + imageHeader(2) + imagePoint(0, 100, 6, 6, 1, 1, 1) +
                                         imagePoint(2, 101, 2, 2, 5, 5, 1) + imagePoint(0, 104, 3, 3, 0, 2, 1) +
                                         imageTrailer());
    writeFile(dir.filePath("b.(e)"),
              orientationRecord(1, 7, 0, 0, 1000, 4, 9, 16) + orientationRecord(2, 7, 100, 0, 1000, 1, 1, 1));
    writeFile(dir.filePath("b.(o)"),
              statisticsRecord(o.sigma0, 1.25, o.inversion) + objectRecord(0, 100, 1, 1, 1, 0.01, 0.04, 0.09) +
                  objectRecord(0, 101, 2, 2, 2, 0.01, 0.01, 0.01) + objectRecord(0, 102, 3, 3, 3, 0.04, 0.04, 0.04) +
                  objectRecord(500, 103, 10, 20, 30, 0.0001, 0.0001, 0.0001) +
                  objectRecord(200, 104, 11, 21, 31, 0.0004, 0.0004, 0.0004) +
                  objectRecord(300, 105, 12, 22, 32, 0.0009, 0.0009, 0.0009));
    // The file holds residuals with the opposite sign of the model's.
    writeFile(dir.filePath("b.(c)"),
              observationRecord(1, 0, 103, 10.1, 0.1) + observationRecord(2, 1, 103, 19.0, 1.0) +
                  observationRecord(3, 0, 104, 31.2, -0.2) + observationRecord(1, 0, 105, 12.3, 0.3) +
                  observationRecord(2, 0, 105, 22.4, -0.4) + observationRecord(4, 0, 2, 100.5, 0.5));
}

// The block as the only PAT-B installation: windir names `dir`, whose Pat.ini names no program
// folder. Returns the project file.
inline QString install(const QString &dir, const Options &o = {})
{
    qputenv("windir", dir.toUtf8());
    writeFile(QDir(dir).filePath("Pat.ini"), "[PAT]\nPATH_PROGRAMS=\n");
    write(QDir(dir), o);
    return QDir(dir).filePath("p.(p)");
}

} // namespace StatisticsBlock
