// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SDensityRamp.h"

#include "misc/SErrorColours.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>

namespace SDensityRamp {

namespace {

constexpr int kBottomCount = 1;
constexpr int kMargin = 6; // as the other legends keep from the area's edge
constexpr int kPadding = 4;
constexpr int kStepWidth = 4;
constexpr int kBarWidth = SErrorColours::kRampSteps * kStepWidth;
constexpr int kBarHeight = 10;
const QColor kFrameFill(255, 255, 255, 220);

QString title() { return QStringLiteral("points per pixel"); }

// Where a count stands on the bar, 0 .. 1.
double rampPosition(int count)
{
    const double t = std::log(double(count) / kBottomCount) / std::log(double(kTopCount) / kBottomCount);
    return std::clamp(t, 0.0, 1.0);
}

} // namespace

int countStep(int count)
{
    return std::min(int(rampPosition(std::max(count, kBottomCount)) * SErrorColours::kRampSteps),
                    SErrorColours::kRampSteps - 1);
}

QRgb countPixel(int count)
{
    // Looked up per pixel of a density image: the colours are made once.
    static const std::array<QRgb, kTopCount + 1> pixels = [] {
        std::array<QRgb, kTopCount + 1> table{};
        for (int c = 0; c <= kTopCount; ++c)
            table[size_t(c)] = SErrorColours::stepColour(countStep(c)).rgba();
        return table;
    }();
    return pixels[size_t(std::clamp(count, 0, kTopCount))];
}

QRect legendBox(const QRect &area, const QFont &font)
{
    const QFontMetrics fm(font);
    const int width = std::max(fm.horizontalAdvance(title()), kBarWidth) + 2 * kPadding;
    const int height = 2 * fm.height() + kBarHeight + 2 * kPadding;
    return QRect(area.right() - kMargin - width + 1, area.bottom() - kMargin - height + 1, width, height);
}

void paintLegend(QPainter &painter, const QRect &area, const QFont &font)
{
    const QRect box = legendBox(area, font);
    const QFontMetrics fm(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(kFrameFill);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int x = box.left() + kPadding;
    painter.drawText(x, box.top() + kPadding + fm.ascent(), title());
    const int barTop = box.top() + kPadding + fm.height();
    for (int step = 0; step < SErrorColours::kRampSteps; ++step)
        painter.fillRect(QRect(x + step * kStepWidth, barTop, kStepWidth, kBarHeight), SErrorColours::stepColour(step));
    // Each count is centred under its place on the bar, kept inside the frame.
    const int baseline = barTop + kBarHeight + fm.ascent();
    for (int count : {kBottomCount, 10, kTopCount}) {
        const QString text = count == kTopCount ? QStringLiteral("%1+").arg(count) : QString::number(count);
        const int width = fm.horizontalAdvance(text);
        const int centre = x + int(std::lround(rampPosition(count) * kBarWidth));
        painter.drawText(std::clamp(centre - width / 2, x, x + kBarWidth - width), baseline, text);
    }
    painter.restore();
}

} // namespace SDensityRamp
