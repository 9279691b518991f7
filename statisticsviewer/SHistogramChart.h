// SPDX-License-Identifier: GPL-3.0-or-later
// A histogram drawn with Qt Charts: the bins as a filled step outline over numeric axes, so
// that the bin edges stand where their values are.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <QChartView>

class SHistogramChart : public QChartView {
    Q_OBJECT
public:
    explicit SHistogramChart(QWidget *parent = nullptr);

    // Values on the horizontal axis with that many decimals.
    void showHistogram(const SHistogram &histogram, int decimals = 3);
    void clear();
};

// The multiplicity as a histogram of whole ray counts: bin k spans k - 0.5 .. k + 0.5.
SHistogram multiplicityHistogram(const SMultiplicity &multiplicity);
