// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageExport.h"

#include "framework/MxPicture.h"
#include "imageviewer/SImageCanvas.h"
#include "misc/SImageData.h"
#include "prefs/SSettings.h"

#include <QFileInfo>
#include <QPainter>

namespace {

const QString kShowIds = QStringLiteral("ids");
const QString kShowLinks = QStringLiteral("links");
const QString kShowResiduals = QStringLiteral("residuals");
const QString kShowResidualValues = QStringLiteral("residual-values");
const QString kShowBlunders = QStringLiteral("blunders");
const QString kShowResidualLegend = QStringLiteral("residual-legend");

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool writeImageCanvasPicture(SImageCanvas &canvas, const QString &file, QString *error)
{
    const QSize size = canvas.canvasSize();
    const bool raster = QFileInfo(file).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    if (raster && qint64(size.width()) * size.height() > kMaxRasterPixels) {
        setError(error, QStringLiteral("Cannot write picture '%1': %2 x %3 pixels is too large for a PNG file "
                                       "(use a smaller zoom, .svg or .pdf).")
                            .arg(file)
                            .arg(size.width())
                            .arg(size.height()));
        return false;
    }
    return Mx::writePicture(
        file, size,
        [&canvas, size](QPainter &painter) {
            canvas.paintCanvas(painter, QRect(QPoint(0, 0), size));
            canvas.paintLegend(painter, QRect(QPoint(0, 0), size));
        },
        error);
}

QStringList imageExportShowWords()
{
    return {kShowIds, kShowLinks, kShowResiduals, kShowResidualValues, kShowBlunders, kShowResidualLegend};
}

bool exportImagePicture(SImageList &images, int imageId, const QString &outFile, int zoomPercent,
                        const QStringList &show, QString *error, const SErrorColours::Colouring &colouring)
{
    SImage *image = nullptr;
    for (SImage *candidate : images) {
        if (candidate && candidate->id() == imageId) {
            image = candidate;
            break;
        }
    }
    if (!image) {
        setError(error, QStringLiteral("Image %1 is not in the project.").arg(imageId));
        return false;
    }
    if (zoomPercent != SCanvasGeometry::clampZoom(zoomPercent)) {
        setError(error, QStringLiteral("Zoom %1 % is outside the range %2 to %3 %.")
                            .arg(zoomPercent)
                            .arg(SCanvasGeometry::kZoomMin)
                            .arg(SCanvasGeometry::kZoomMax));
        return false;
    }

    // The canvas paints exactly as an open viewer shows it.
    SImageCanvas canvas;
    canvas.applySettings(SSettings::readImageViewerSettings());
    for (const QString &word : show) {
        const QString w = word.trimmed().toLower();
        if (w.isEmpty())
            continue;
        if (w == kShowIds)
            canvas.setPointIdsOn(true);
        else if (w == kShowLinks)
            canvas.setLinkCountOn(true);
        else if (w == kShowResiduals)
            canvas.setResidualsOn(VM_Graphical, true);
        else if (w == kShowResidualValues)
            canvas.setResidualsOn(VM_Textual, true);
        else if (w == kShowBlunders)
            canvas.setBlundersOn(true);
        else if (w == kShowResidualLegend)
            canvas.setResidualLegendOn(true);
        else {
            setError(error, QStringLiteral("Unknown --show item '%1' (use %2).")
                                .arg(word, imageExportShowWords().join(QStringLiteral(", "))));
            return false;
        }
    }
    canvas.setColouring(colouring);
    canvas.setImage(image);
    canvas.setZoom(zoomPercent);

    return writeImageCanvasPicture(canvas, outFile, error);
}
