// SPDX-License-Identifier: GPL-3.0-or-later
// Colouring of points by an error measure: a perceptually uniform ramp (viridis-like) on an
// absolute scale from 0 to a threshold, one alarm colour above it, and the legend bar that
// explains the colours in a corner of a view. The scale is absolute so that a colour means
// the same value in every block and between runs.
#pragma once

#include <QColor>
#include <QString>

class QFont;
class QPainter;
class QRect;

namespace SErrorColours {

enum class MeasureE {
    Off,
    Residual,     // image views: |v| of an image point; object views: largest accepted control residual
    Standardized, // image views: |v| * sqrt(weight) / sigma 0
    Sigma,        // object views: largest sigma of the adjusted coordinates
};

inline constexpr double kDefaultThreshold = 3.0;
// The ramp is painted in this many steps: few enough that symbol sprites stay cached.
inline constexpr int kRampSteps = 32;

struct Colouring {
    MeasureE measure = MeasureE::Off;
    double threshold = kDefaultThreshold; // values above it are in the alarm colour
    double sigma0 = 0.0;                  // of the adjustment, for standardized residuals
    bool isOn() const { return measure != MeasureE::Off; }
};

// "residual", "standardized", "sigma"; Off for any other name.
MeasureE measureFromName(const QString &name);
QString measureName(MeasureE measure);

QColor alarmColour();
// The ramp colour of value on 0..threshold; the alarm colour above the threshold and for a
// value that is not a number or a threshold that is not positive.
QColor rampColour(double value, double threshold);
// The same as a step: 0..kRampSteps - 1 on the ramp, kRampSteps for the alarm colour.
int rampStep(double value, double threshold);
QColor stepColour(int step);

// Paints the legend (title, ramp bar with 0 and the threshold, alarm swatch) into the top
// right corner of area; nothing when the colouring is off.
void paintLegend(QPainter &painter, const QRect &area, const Colouring &colouring, const QFont &font);

} // namespace SErrorColours
