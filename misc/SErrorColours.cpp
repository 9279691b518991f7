// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SErrorColours.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <array>
#include <cmath>

namespace SErrorColours {

namespace {

// Nine samples of the viridis map, dark blue to yellow; steps between them are linear.
constexpr std::array<QRgb, 9> kAnchors{0x440154, 0x472c7a, 0x3b518b, 0x2c718e, 0x21908d,
                                       0x27ad81, 0x5cc863, 0xaadc32, 0xfde725};

QColor anchorMix(double t)
{
    const double at = t * double(kAnchors.size() - 1);
    const int i = std::min(int(at), int(kAnchors.size()) - 2);
    const double f = at - i;
    const auto mix = [f](int a, int b) { return int(std::lround(a + (b - a) * f)); };
    const QRgb a = kAnchors[size_t(i)];
    const QRgb b = kAnchors[size_t(i) + 1];
    return QColor(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

QString legendTitle(MeasureE measure)
{
    switch (measure) {
    case MeasureE::Residual: return QStringLiteral("residual");
    case MeasureE::Standardized: return QStringLiteral("standardized residual");
    case MeasureE::Sigma: return QStringLiteral("sigma");
    case MeasureE::Off: break;
    }
    return {};
}

constexpr int kMargin = 6;
constexpr int kPadding = 4;
constexpr int kBarWidth = 2 * kRampSteps * 2; // two pixels per step
constexpr int kBarHeight = 10;
constexpr int kSwatchGap = 4;

} // namespace

MeasureE measureFromName(const QString &name)
{
    for (MeasureE m : {MeasureE::Residual, MeasureE::Standardized, MeasureE::Sigma})
        if (name == measureName(m))
            return m;
    return MeasureE::Off;
}

QString measureName(MeasureE measure)
{
    switch (measure) {
    case MeasureE::Residual: return QStringLiteral("residual");
    case MeasureE::Standardized: return QStringLiteral("standardized");
    case MeasureE::Sigma: return QStringLiteral("sigma");
    case MeasureE::Off: break;
    }
    return QStringLiteral("off");
}

QColor alarmColour() { return QColor(0xff, 0x00, 0x00); }

QColor stepColour(int step)
{
    return step >= 0 && step < kRampSteps ? anchorMix(double(step) / double(kRampSteps - 1)) : alarmColour();
}

int rampStep(double value, double threshold)
{
    if (!(threshold > 0.0) || !std::isfinite(threshold) || !(value <= threshold))
        return kRampSteps; // above, or not a number
    if (value <= 0.0)
        return 0;
    return std::min(int(value / threshold * kRampSteps), kRampSteps - 1);
}

QColor rampColour(double value, double threshold) { return stepColour(rampStep(value, threshold)); }

void paintLegend(QPainter &painter, const QRect &area, const Colouring &colouring, const QFont &font)
{
    if (!colouring.isOn())
        return;
    painter.save();
    painter.setFont(font);
    const QFontMetrics fm(font);
    const QString title = legendTitle(colouring.measure);
    const QString high = QString::number(colouring.threshold, 'g', 4);
    const int swatch = kBarHeight;
    const int width = std::max(fm.horizontalAdvance(title), kBarWidth + kSwatchGap + swatch) + 2 * kPadding;
    const int height = 2 * fm.height() + kBarHeight + 2 * kPadding;
    const QRect box(area.right() - kMargin - width + 1, area.top() + kMargin, width, height);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(box.adjusted(0, 0, -1, -1));

    const int x = box.left() + kPadding;
    painter.drawText(x, box.top() + kPadding + fm.ascent(), title);
    const int barTop = box.top() + kPadding + fm.height();
    const int stepWidth = kBarWidth / kRampSteps;
    painter.setPen(Qt::NoPen);
    for (int step = 0; step < kRampSteps; ++step)
        painter.fillRect(QRect(x + step * stepWidth, barTop, stepWidth, kBarHeight), stepColour(step));
    const int swatchX = x + kBarWidth + kSwatchGap;
    painter.fillRect(QRect(swatchX, barTop, swatch, kBarHeight), alarmColour());

    painter.setPen(QPen(Qt::black, 0));
    const int baseline = barTop + kBarHeight + fm.ascent();
    painter.drawText(x, baseline, QStringLiteral("0"));
    painter.drawText(x + kBarWidth - fm.horizontalAdvance(high), baseline, high);
    painter.drawText(swatchX, baseline, QStringLiteral(">"));
    painter.restore();
}

} // namespace SErrorColours
