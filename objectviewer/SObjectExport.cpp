// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectExport.h"

#include "framework/MxPicture.h"
#include "misc/SGlobal.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectCanvas.h"
#include "prefs/SSettings.h"

#include <QImage>
#include <QPainter>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

QStringList objectPictureShowWords()
{
    return {QStringLiteral("ids"),       QStringLiteral("image-ids"),    QStringLiteral("links"),
            QStringLiteral("blunders"),  QStringLiteral("residuals"),    QStringLiteral("residual-values"),
            QStringLiteral("sigmas"),    QStringLiteral("sigma-values"), QStringLiteral("connections"),
            QStringLiteral("scale-bar"), QStringLiteral("density")};
}

bool exportObjectPicture(SObjectPointList &points, bool sigmasAvailable, int plane, const QString &outFile,
                         int zoomPercent, const QStringList &show, bool selectAll, QString *error,
                         const SObjectExportHook &beforePaint, const std::function<void()> &afterPaint)
{
    if (plane < 0 || plane >= SGlobal::kPlaneCount) {
        setError(error,
                 QStringLiteral("Cannot export the object view: unknown plane %1 (use xy, xz or yz).").arg(plane));
        return false;
    }
    if (points.isEmpty()) {
        setError(
            error,
            QStringLiteral("Cannot export the object view to '%1': the project has no object points.").arg(outFile));
        return false;
    }
    const QStringList known = objectPictureShowWords();
    for (const QString &word : show) {
        if (!known.contains(word)) {
            setError(error, QStringLiteral("Cannot export the object view: unknown word '%1' in --show (known: %2).")
                                .arg(word, known.join(QStringLiteral(", "))));
            return false;
        }
    }
    const bool wantsSigmas = show.contains(QStringLiteral("sigmas")) || show.contains(QStringLiteral("sigma-values"));
    if (wantsSigmas && !sigmasAvailable) {
        setError(error, QStringLiteral("Cannot show sigmas: the project was adjusted without inversion, so no "
                                       "sigmas were computed."));
        return false;
    }
    if (show.contains(QStringLiteral("residual-values")) && show.contains(QStringLiteral("sigma-values"))) {
        setError(error, QStringLiteral("Cannot show residual-values and sigma-values together: they are written "
                                       "on the same lines."));
        return false;
    }

    SObjectCanvas canvas(plane);
    canvas.setPositionsKept(false); // painted once: a position is cheaper worked out than kept
    canvas.applySettings(SSettings::readObjectViewerSettings());
    canvas.setObjectPoints(&points, sigmasAvailable);
    canvas.setZoom(zoomPercent);
    // The words were checked above: sigmas are available where asked for, and residual and
    // sigma values do not come together.
    for (const QString &word : show) {
        if (word == QLatin1String("ids"))
            canvas.setPointIdsOn(true);
        else if (word == QLatin1String("image-ids"))
            canvas.setImageIdsOn(true);
        else if (word == QLatin1String("links"))
            canvas.setLinkCountOn(true);
        else if (word == QLatin1String("blunders"))
            canvas.setBlundersOn(true);
        else if (word == QLatin1String("residuals"))
            canvas.setResidualsOn(VM_Graphical, true);
        else if (word == QLatin1String("residual-values"))
            canvas.setResidualsOn(VM_Textual, true);
        else if (word == QLatin1String("sigmas"))
            canvas.setSigmasOn(VM_Graphical, true);
        else if (word == QLatin1String("sigma-values"))
            canvas.setSigmasOn(VM_Textual, true);
        else if (word == QLatin1String("connections"))
            canvas.setConnectionsOn(true);
        else if (word == QLatin1String("scale-bar"))
            canvas.setScaleBarOn(true);
        else if (word == QLatin1String("density"))
            canvas.setDensityOn(true);
    }
    const QRect whole(QPoint(0, 0), canvas.canvasSize());
    if (selectAll)
        canvas.selectPointsInRect(whole, false);
    if (beforePaint)
        beforePaint(canvas);

    const auto paint = [&canvas, whole, &afterPaint](QPainter &painter) {
        canvas.paintCanvas(painter, whole);
        canvas.paintLegend(painter, whole);
        if (afterPaint)
            afterPaint();
    };
    // A raster picture uses every core; the legends go over the joined bands, as over one paint.
    const auto paintImage = [&canvas, whole, &afterPaint](QImage &image) {
        canvas.paintInBands(image, whole, canvas.bandCountFor(whole));
        QPainter painter(&image);
        canvas.paintLegend(painter, whole);
        if (afterPaint)
            afterPaint();
    };
    return Mx::writePicture(outFile, whole.size(), paint, error, paintImage);
}
