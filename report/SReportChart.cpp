// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportChart.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace SReport {

namespace {

constexpr double kLeft = 64, kRight = 16, kTop = 26, kBottom = 44; // room for labels
constexpr int kYTicks = 5;
constexpr int kMaxXLabels = 8;
constexpr double kFontPixels = 11;
const QColor kBarColor(0x3b, 0x6e, 0xa5);
const QColor kGridColor(0xd8, 0xd8, 0xd8);

QFont chartFont(bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(int(kFontPixels));
    font.setBold(bold);
    return font;
}

QString edgeText(double value) { return QString::number(value, 'g', 4); }

QString countText(double value) { return QString::number(qint64(std::llround(value))); }

void paintYAxis(QPainter &p, const QRectF &plot, double yMax, double step, const QString &label)
{
    const QFontMetricsF fm(p.font());
    for (double v = 0; v <= yMax + step * 0.5; v += step) {
        const double y = plot.bottom() - v / yMax * plot.height();
        p.setPen(QPen(kGridColor, 0));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        const QString text = countText(v);
        p.drawText(QPointF(plot.left() - 6 - fm.horizontalAdvance(text), y + fm.ascent() / 2 - 1), text);
    }
    p.save();
    p.translate(plot.left() - kLeft + fm.ascent(), plot.center().y());
    p.rotate(-90);
    p.drawText(QPointF(-fm.horizontalAdvance(label) / 2, 0), label);
    p.restore();
}

void paintXLabels(QPainter &p, const Chart &chart, const QRectF &plot, double barWidth)
{
    const QFontMetricsF fm(p.font());
    const double baseline = plot.bottom() + fm.ascent() + 4;
    auto centred = [&](double x, const QString &text) {
        p.drawText(QPointF(x - fm.horizontalAdvance(text) / 2, baseline), text);
    };
    const int bars = int(chart.counts.size());
    if (chart.isHistogram()) {
        const int every = std::max(1, (bars + kMaxXLabels - 1) / kMaxXLabels);
        for (int i = 0; i <= bars; i += every)
            centred(plot.left() + i * barWidth, edgeText(chart.edges[i]));
        if (bars % every != 0)
            centred(plot.right(), edgeText(chart.edges[bars]));
    } else {
        double widest = 0;
        for (const QString &c : chart.categories)
            widest = std::max(widest, fm.horizontalAdvance(c) + 4);
        const int every = std::max(1, int(std::ceil(widest / std::max(barWidth, 1.0))));
        for (int i = 0; i < bars && i < chart.categories.size(); i += every)
            centred(plot.left() + (i + 0.5) * barWidth, chart.categories[i]);
    }
    p.drawText(QPointF(plot.center().x() - fm.horizontalAdvance(chart.xLabel) / 2, baseline + fm.height() + 2),
               chart.xLabel);
}

} // namespace

double niceStep(double value, int steps)
{
    if (!(value > 0) || steps <= 0)
        return 1;
    const double raw = value / steps;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

void paintChart(const Chart &chart, QPainter &p, const QRectF &area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(area, Qt::white);
    p.setFont(chartFont(true));
    p.setPen(Qt::black);
    const QFontMetricsF titleMetrics(p.font());
    p.drawText(QPointF(area.left() + kLeft, area.top() + titleMetrics.ascent() + 4), chart.title);
    p.setFont(chartFont());
    const QRectF plot = area.adjusted(kLeft, kTop, -kRight, -kBottom);
    if (chart.isEmpty()) {
        p.setPen(QPen(Qt::gray, 0));
        p.drawRect(plot);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("No values"));
        p.restore();
        return;
    }
    const double largest = *std::max_element(chart.counts.begin(), chart.counts.end());
    const double step = niceStep(std::max(largest, 1.0), kYTicks);
    const double yMax = std::max(step, std::ceil(std::max(largest, 1.0) / step) * step);
    paintYAxis(p, plot, yMax, step, chart.yLabel);

    const int bars = int(chart.counts.size());
    const double barWidth = plot.width() / bars;
    const double gap = chart.isHistogram() ? 0 : std::min(barWidth * 0.2, 6.0);
    p.setPen(chart.isHistogram() && barWidth > 3 ? QPen(Qt::white, 0) : Qt::NoPen);
    p.setBrush(kBarColor);
    for (int i = 0; i < bars; ++i) {
        const double h = chart.counts[i] / yMax * plot.height();
        if (h > 0)
            p.drawRect(QRectF(plot.left() + i * barWidth + gap / 2, plot.bottom() - h, barWidth - gap, h));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    paintXLabels(p, chart, plot, barWidth);
    p.restore();
}

} // namespace SReport
