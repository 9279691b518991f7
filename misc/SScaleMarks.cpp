// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SScaleMarks.h"

#include "misc/SCanvasGeometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace SScaleMarks {

namespace {

constexpr int kMargin = 6;  // between the area's edge and the frame, as the colour legend keeps
constexpr int kPadding = 4; // inside the frame
constexpr int kTick = 4;    // height of the bar's end ticks
constexpr int kArrowHead = 5;
constexpr int kBarFraction = 5; // the scale bar is about a fifth of the visible width
constexpr int kArrowMinPixels = 30;
constexpr int kArrowMaxPixels = 120;
const QColor kFrameFill(255, 255, 255, 220);

QString residualLabel(double length, double scale)
{
    return QStringLiteral("residual \u00d7 %1: %2").arg(lengthText(scale), lengthText(length));
}

// A round length of about targetPixels at pixelsPerUnit, with the frame for its bar and its
// label line above it, in the bottom left corner of area.
template <typename Label>
Mark place(const QRect &area, double pixelsPerUnit, double targetPixels, const QFont &font, Label label)
{
    Mark m;
    if (!(pixelsPerUnit > 0.0) || !std::isfinite(pixelsPerUnit) || area.isEmpty())
        return m;
    m.length = roundLength(targetPixels / pixelsPerUnit);
    const double pixels = m.length * pixelsPerUnit;
    if (m.length <= 0.0 || !(pixels < double(area.width())))
        return Mark();
    m.pixels = SCanvasGeometry::rnd(pixels);
    if (m.pixels <= 0)
        return Mark();
    const QFontMetrics fm(font);
    const int width = std::max(m.pixels + kArrowHead, fm.horizontalAdvance(label(m.length))) + 2 * kPadding + 1;
    const int height = fm.height() + kTick + 2 * kPadding + 1;
    m.box = QRect(area.left() + kMargin, area.bottom() - kMargin - height + 1, width, height);
    return m;
}

// The mark's framed box with its label on the first line; the painter's state is saved first
// and the caller restores it after drawing the mark itself.
void drawFramedLabel(QPainter &painter, const Mark &m, const QFont &font, const QString &label)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(kFrameFill);
    painter.drawRect(m.box.adjusted(0, 0, -1, -1));
    painter.drawText(m.box.left() + kPadding, m.box.top() + kPadding + QFontMetrics(font).ascent(), label);
}

} // namespace

double roundLength(double target)
{
    if (!(target > 0.0) || !std::isfinite(target))
        return 0.0;
    double power = std::pow(10.0, std::floor(std::log10(target)));
    if (power * 10.0 <= target) // log10 rounded down a whole decade
        power *= 10.0;
    if (power > target)
        power /= 10.0;
    for (double step : {5.0, 2.0})
        if (step * power <= target)
            return step * power;
    return power;
}

QString lengthText(double length) { return QString::number(length, 'g', 12); }

Mark scaleBar(const QRect &area, double pixelsPerUnit, const QFont &font)
{
    return place(area, pixelsPerUnit, double(area.width()) / kBarFraction, font, lengthText);
}

void paintScaleBar(QPainter &painter, const QRect &area, double pixelsPerUnit, const QFont &font)
{
    const Mark m = scaleBar(area, pixelsPerUnit, font);
    if (m.isEmpty())
        return;
    drawFramedLabel(painter, m, font, lengthText(m.length));
    const int x = m.box.left() + kPadding;
    const int y = m.box.bottom() - kPadding;
    // The bar covers exactly m.pixels pixels, its ticks standing on its ends.
    painter.fillRect(QRect(x, y - 1, m.pixels, 2), Qt::black);
    painter.fillRect(QRect(x, y - kTick, 1, kTick + 1), Qt::black);
    painter.fillRect(QRect(x + m.pixels - 1, y - kTick, 1, kTick + 1), Qt::black);
    painter.restore();
}

Mark residualLegend(const QRect &area, double pixelsPerUnit, double scale, const QFont &font)
{
    const double target =
        std::clamp(double(area.width()) / kBarFraction, double(kArrowMinPixels), double(kArrowMaxPixels));
    return place(area, pixelsPerUnit, target, font, [scale](double length) { return residualLabel(length, scale); });
}

void paintResidualLegend(QPainter &painter, const QRect &area, double pixelsPerUnit, double scale, const QFont &font)
{
    const Mark m = residualLegend(area, pixelsPerUnit, scale, font);
    if (m.isEmpty())
        return;
    drawFramedLabel(painter, m, font, residualLabel(m.length, scale));
    const int x = m.box.left() + kPadding;
    const int y = m.box.bottom() - kPadding - kTick / 2;
    // Drawn like a residual vector: from its start point, m.pixels to the right.
    const int end = x + m.pixels;
    painter.drawLine(x, y, end, y);
    const int head = std::min(kArrowHead, m.pixels / 2);
    painter.drawLine(end, y, end - head, y - head / 2 - 1);
    painter.drawLine(end, y, end - head, y + head / 2 + 1);
    painter.restore();
}

} // namespace SScaleMarks
