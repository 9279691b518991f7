// SPDX-License-Identifier: GPL-3.0-or-later
// What the benchmarks share: timing by the best of several runs, and a read that never asks.
#pragma once

#include "patb/SPatbHandler.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace BenchSupport {

// Best of n runs in milliseconds: the least disturbed run is the truest cost.
inline double bestOf(int n, const std::function<void()> &run)
{
    double best = 1e300;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

// A read that never asks: errors stop it, progress is counted.
class QuietHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        std::fprintf(stderr, "read error: %s\n", qUtf8Printable(text));
        return SReadErrorChoice::Stop;
    }
    bool progress(const QString &, qint64, qint64) override
    {
        ++progressCalls;
        return true;
    }
    int progressCalls = 0;
};

} // namespace BenchSupport
