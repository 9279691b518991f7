// SPDX-License-Identifier: GPL-3.0-or-later
// Picture export of one image's graphical view for the command line: the whole canvas,
// painted as the view paints it with the configuration's image viewer settings.
#pragma once

#include "misc/SErrorColours.h"

#include <QString>
#include <QStringList>

class SImageList;
class SImageCanvas;

// Writes the whole canvas into file (.png, .pdf or .svg). Raster pictures
// are limited to kMaxRasterPixels so that a high zoom cannot exhaust the memory.
inline constexpr qint64 kMaxRasterPixels = 100'000'000;
bool writeImageCanvasPicture(SImageCanvas &canvas, const QString &file, QString *error);

// The words `show` understands, each switching on one of the view's toggles.
QStringList imageExportShowWords(); // ids, links, residuals, residual-values, blunders, residual-legend

// Writes the canvas of image imageId at zoomPercent into outFile (.png, .pdf or .svg).
// Needs a QGuiApplication for the fonts, no widgets. On failure returns false and
// sets *error to a sentence naming the problem. colouring colours the points by error.
bool exportImagePicture(SImageList &images, int imageId, const QString &outFile, int zoomPercent,
                        const QStringList &show, QString *error, const SErrorColours::Colouring &colouring = {});
