// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a painted picture to a file whose format follows the extension:
// .png (raster), .pdf (vector page of the picture's size), .svg (vector).
#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QImage;
class QPainter;

namespace Mx {

using PaintFunction = std::function<void(QPainter &painter)>;
// Paints a raster picture into its image (white at first) by other means than one painter.
using ImagePaintFunction = std::function<void(QImage &image)>;

// Paints `size` pixels with `paint` into `file`. On failure returns false and sets
// *error to a sentence naming the file and the problem. With paintImage, a raster picture is
// painted by it instead (which must give the pixels that paint gives).
bool writePicture(const QString &file, const QSize &size, const PaintFunction &paint, QString *error,
                  const ImagePaintFunction &paintImage = {});

// The extensions writePicture understands ("png", "pdf", "svg").
bool isPictureFormat(const QString &file);

} // namespace Mx
