// SPDX-License-Identifier: GPL-3.0-or-later
// The open project's file set and the statistics of its adjustment.
#pragma once

#include <QString>

struct ProjectFiles {
    QString projectFile;     // native separators
    QString cameraFile;      // as resolved
    QString imageFile;       // (i), native separators
    QString objectFile;      // (o)
    QString orientationFile; // (e)
    QString observationFile; // (c)
    double sigma0 = 0.0;
    double averageRedundancy = 0.0;
    bool inversion = false; // true when the adjustment computed the inverse, and with it the sigmas
};
