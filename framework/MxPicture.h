// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a painted picture to a file whose format follows the extension:
// .png (raster), .pdf (vector page of the picture's size), .svg (vector).
#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QPainter;

namespace Mx {

using PaintFunction = std::function<void(QPainter &painter)>;

// Paints `size` pixels with `paint` into `file`. On failure returns false and sets
// *error to a sentence naming the file and the problem.
bool writePicture(const QString &file, const QSize &size, const PaintFunction &paint, QString *error);

// The extensions writePicture understands ("png", "pdf", "svg").
bool isPictureFormat(const QString &file);

} // namespace Mx
