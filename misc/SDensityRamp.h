// SPDX-License-Identifier: GPL-3.0-or-later
// Colours of a point density: how many points fall on one pixel, on the error colours'
// perceptually uniform ramp, and the legend that explains them in a corner of a view. The
// scale is absolute and logarithmic, from 1 point per pixel at the bottom of the ramp to
// kTopCount and more at its top, so that a colour means the same count at every zoom, in
// every strip a view paints and in every block.
#pragma once

#include <QRect>
#include <QRgb>

class QFont;
class QPainter;

namespace SDensityRamp {

inline constexpr int kTopCount = 100;

// The ramp step (0 .. SErrorColours::kRampSteps - 1) of a count of at least 1.
int countStep(int count);
// The premultiplied opaque pixel of a count of at least 1.
QRgb countPixel(int count);

// The legend's frame in the bottom right corner of area.
QRect legendBox(const QRect &area, const QFont &font);
// Title, ramp bar and the counts 1, 10 and kTopCount+ under it, in legendBox(area, font).
void paintLegend(QPainter &painter, const QRect &area, const QFont &font);

} // namespace SDensityRamp
