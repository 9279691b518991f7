// SPDX-License-Identifier: GPL-3.0-or-later
// The marks that let a reader measure in a view: a scale bar of a round ground length and
// the legend arrow of the magnified residual vectors. Both stand in the bottom left corner
// of the visible area, over the drawing.
#pragma once

#include <QRect>
#include <QString>

class QFont;
class QPainter;

namespace SScaleMarks {

// The largest 1, 2 or 5 x 10^k that is not above target; 0 when target is not a positive
// finite number.
double roundLength(double target);

// A round length and its drawn extent. Empty (length 0) when nothing can be drawn.
struct Mark {
    double length = 0.0; // in the data's units
    int pixels = 0;      // drawn extent: rnd(length x pixels per unit)
    QRect box;           // the frame around bar and label, in the painter's coordinates
    bool isEmpty() const { return pixels <= 0; }
};

// The scale bar for a view of area with pixelsPerUnit canvas pixels per ground unit: about a
// fifth of the area's width.
Mark scaleBar(const QRect &area, double pixelsPerUnit, const QFont &font);
void paintScaleBar(QPainter &painter, const QRect &area, double pixelsPerUnit, const QFont &font);

// The legend arrow of residual vectors drawn with pixelsPerUnit canvas pixels per residual
// unit (the view's zoom factor times its residual scale), labelled with the residual length
// it stands for and the magnification.
Mark residualLegend(const QRect &area, double pixelsPerUnit, double scale, const QFont &font);
void paintResidualLegend(QPainter &painter, const QRect &area, double pixelsPerUnit, double scale, const QFont &font);

// The label of a length: as short as it can be written exactly, e.g. "0.2", "5000".
QString lengthText(double length);

} // namespace SScaleMarks
