// SPDX-License-Identifier: GPL-3.0-or-later
#include "statisticsviewer/SHistogramChart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

SHistogramChart::SHistogramChart(QWidget *parent) : QChartView(new QChart, parent)
{
    setRenderHint(QPainter::Antialiasing, false);
    chart()->legend()->hide();
    setMinimumSize(320, 200);
}

void SHistogramChart::clear()
{
    chart()->removeAllSeries();
    for (QAbstractAxis *axis : chart()->axes())
        chart()->removeAxis(axis);
    chart()->setTitle(QString());
}

void SHistogramChart::showHistogram(const SHistogram &h, int decimals)
{
    clear();
    chart()->setTitle(h.name);
    if (h.counts.empty())
        return;
    auto *outline = new QLineSeries;
    auto *base = new QLineSeries;
    qint64 highest = 0;
    for (size_t i = 0; i < h.counts.size(); ++i) {
        const double count = double(h.counts[i]);
        outline->append(h.edges[i], count);
        outline->append(h.edges[i + 1], count);
        highest = std::max(highest, h.counts[i]);
    }
    base->append(h.edges.front(), 0.0);
    base->append(h.edges.back(), 0.0);
    auto *area = new QAreaSeries(outline, base);
    area->setName(h.name);
    area->setColor(QColor(70, 110, 170));
    area->setBorderColor(QColor(30, 50, 90));
    chart()->addSeries(area);

    auto *x = new QValueAxis;
    // A histogram of one value has no width; give the axis some so that the bin shows.
    const double width = h.edges.back() > h.edges.front() ? 0.0 : 0.5;
    x->setRange(h.edges.front() - width, h.edges.back() + width);
    x->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    x->setTickCount(std::min<int>(int(h.counts.size()) + 1, 9));
    auto *y = new QValueAxis;
    y->setRange(0.0, double(std::max<qint64>(highest, 1)) * 1.05);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%d"));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    area->attachAxis(x);
    area->attachAxis(y);
}

SHistogram multiplicityHistogram(const SMultiplicity &m)
{
    SHistogram h;
    h.name = QStringLiteral("active rays per object point (last bin: %1 or more)").arg(m.cap);
    h.population = m.population;
    h.rule = QStringLiteral("one bin per ray count");
    for (size_t k = 0; k <= m.pointsByRays.size() && !m.pointsByRays.empty(); ++k)
        h.edges.push_back(double(k) - 0.5);
    h.counts = m.pointsByRays;
    for (qint64 c : h.counts)
        h.total += c;
    return h;
}
