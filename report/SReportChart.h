// SPDX-License-Identifier: GPL-3.0-or-later
// Bar charts of the report (histograms and the multiplicity chart), painted with QPainter
// so that the same code draws into the HTML report's SVG and onto the PDF page.
#pragma once

#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

namespace SReport {

struct Chart {
    QString title;
    QString xLabel;
    QString yLabel;
    QList<double> edges;    // a histogram: counts.size() + 1 bin edges; empty for categories
    QStringList categories; // one label per bar when there are no edges
    QList<double> counts;
    QString note; // the population the chart counts, under the chart
    QSize size{640, 260};

    bool isHistogram() const { return !edges.isEmpty(); }
    bool isEmpty() const { return counts.isEmpty(); }
};

// Paints axes, bars and labels into `area`, in the painter's current units.
void paintChart(const Chart &chart, QPainter &painter, const QRectF &area);

// The smallest of 1, 2, 5 x 10^k at or above value / steps: a tick step with round numbers.
double niceStep(double value, int steps);

} // namespace SReport
