// SPDX-License-Identifier: GPL-3.0-or-later
// What changed between the project shown and the same project read again: sigma 0, images
// and object points added or removed, image points newly eliminated or restored.
#pragma once

#include <QList>
#include <QStringList>

class SProjectData;

struct SReloadSummary {
    double sigma0Before = 0.0;
    double sigma0After = 0.0;
    QList<int> imagesAdded, imagesRemoved; // image ids, ascending
    QList<int> pointsAdded, pointsRemoved; // object point ids, ascending
    int imagePointsEliminated = 0;         // active before, eliminated now
    int imagePointsRestored = 0;           // eliminated before, active now

    // Compares two complete projects; neither needs the class-wide indexes.
    static SReloadSummary compare(const SProjectData &before, const SProjectData &after);
    // One line per item, as the message window shows them.
    QStringList lines() const;
};
