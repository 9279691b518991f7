// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the canvas of an object view to a picture file (.png, .pdf, .svg) without a
// widget, for the command line. Needs a QGuiApplication for the fonts (offscreen is enough).
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class SObjectPointList;
class SObjectCanvas;

// Called after the canvas is set up and before it paints, e.g. to apply a search selection.
using SObjectExportHook = std::function<void(SObjectCanvas &canvas)>;

// The words `show` understands: ids, image-ids, links, blunders, residuals,
// residual-values, sigmas, sigma-values, connections, scale-bar, density.
QStringList objectPictureShowWords();

// Paints the whole canvas of plane `plane` at `zoomPercent` with the configuration's
// settings and the annotations in `show` into outFile. With selectAll every point is
// selected first (annotations are drawn for selected points only). On failure returns
// false and sets *error to a sentence naming the problem. afterPaint runs once the picture is
// painted and before it is written out (e.g. to hand freed memory back).
bool exportObjectPicture(SObjectPointList &points, bool sigmasAvailable, int plane, const QString &outFile,
                         int zoomPercent, const QStringList &show, bool selectAll, QString *error,
                         const SObjectExportHook &beforePaint = {}, const std::function<void()> &afterPaint = {});
