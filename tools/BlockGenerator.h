// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Generates a synthetic aerial block (images in strips over a terrain, tie points, control points,
// observed projection centres, blunders) and writes it as a complete PAT-B project: the "*.(p)"
// project file, the (i), (e), (o), (c) and camera files, PAT-B's current project file
// "<name>.pro" and a Pat.ini. Output is deterministic for a seed and written as it is generated,
// so that only a band of strips is held in memory at a time.

#include <QString>

class BlockGenerator {
public:
    struct Options {
        int imageCount = 18;
        qint64 pointCount = 450;
        qint64 observationCount = 0; // image observations of object points in total; 0: use raysPerPoint
        double raysPerPoint = 6.0;   // average number of images that see an object point
        quint64 seed = 1;
        int strips = 0;          // 0: chosen so that the block is roughly square
        QString outputDirectory; // also the directory named in Pat.ini, written as given
        QString name = QStringLiteral("block");
    };

    struct Summary {
        int images = 0;
        qint64 objectPoints = 0;
        qint64 imageObservations = 0; // every image point record, lonely points included
        qint64 lonelyPoints = 0;
        qint64 eliminatedPoints = 0;
        qint64 controlPoints = 0;
        qint64 coordinateObservations = 0;
        qint64 bytes = 0;
    };

    explicit BlockGenerator(const Options &options);

    // The reason why the options cannot make a block, or an empty string.
    QString checkOptions() const;
    // Writes the project; on failure returns false with a message naming the file and the problem.
    bool write(QString *error);
    const Summary &summary() const { return mSummary; }
    // One line for the console.
    QString summaryLine() const;

private:
    double raysPerPoint() const;

    Options mOptions;
    Summary mSummary;
};
