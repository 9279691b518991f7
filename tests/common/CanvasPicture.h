// SPDX-License-Identifier: GPL-3.0-or-later
// A canvas painted whole into a picture, as the views and the exports paint it.
#pragma once

#include <QImage>
#include <QPainter>

// On a magenta ground, so that a pixel the canvas leaves unpainted shows; `options` go on to
// paintCanvas (the object canvas's way of visiting its points).
template <typename Canvas, typename... Options> QImage paintedCanvas(Canvas &canvas, Options... options)
{
    QImage image(canvas.canvasSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    canvas.paintCanvas(painter, image.rect(), options...);
    return image;
}
