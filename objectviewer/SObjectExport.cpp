// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectExport.h"

#include "framework/MxPicture.h"
#include "misc/SGlobal.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectView.h"
#include "prefs/SSettings.h"

#include <QPainter>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Switches a view flag on through its toggle, which keeps the toggles' own rules.
template <typename Query, typename Toggle> void switchOn(Query isOn, Toggle toggle)
{
    if (!isOn())
        toggle();
}

} // namespace

QStringList objectPictureShowWords()
{
    return {QStringLiteral("ids"),      QStringLiteral("image-ids"),    QStringLiteral("links"),
            QStringLiteral("blunders"), QStringLiteral("residuals"),    QStringLiteral("residual-values"),
            QStringLiteral("sigmas"),   QStringLiteral("sigma-values"), QStringLiteral("connections")};
}

bool exportObjectPicture(SObjectPointList &points, bool sigmasAvailable, int plane, const QString &outFile,
                         int zoomPercent, const QStringList &show, bool selectAll, QString *error,
                         const SObjectExportHook &beforePaint)
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

    SObjectView view(plane);
    view.applySettings(SSettings::readObjectViewerSettings());
    view.setObjectPoints(&points, sigmasAvailable);
    view.slotZoom(zoomPercent);

    for (const QString &word : show) {
        if (word == QLatin1String("ids"))
            switchOn([&] { return view.pointIdsOn(); }, [&] { view.slotTogglePointIds(); });
        else if (word == QLatin1String("image-ids"))
            switchOn([&] { return view.imageIdsOn(); }, [&] { view.slotToggleImageIds(); });
        else if (word == QLatin1String("links"))
            switchOn([&] { return view.linkCountOn(); }, [&] { view.slotToggleShowLinkCount(); });
        else if (word == QLatin1String("blunders"))
            switchOn([&] { return view.blundersOn(); }, [&] { view.slotToggleBlunders(); });
        else if (word == QLatin1String("residuals"))
            switchOn([&] { return view.residualsOn(VM_Graphical); }, [&] { view.slotToggleResiduals(VM_Graphical); });
        else if (word == QLatin1String("residual-values"))
            switchOn([&] { return view.residualsOn(VM_Textual); }, [&] { view.slotToggleResiduals(VM_Textual); });
        else if (word == QLatin1String("sigmas"))
            switchOn([&] { return view.sigmasOn(VM_Graphical); }, [&] { view.slotToggleSigmas(VM_Graphical); });
        else if (word == QLatin1String("sigma-values"))
            switchOn([&] { return view.sigmasOn(VM_Textual); }, [&] { view.slotToggleSigmas(VM_Textual); });
        else if (word == QLatin1String("connections"))
            switchOn([&] { return view.connectionsOn(); }, [&] { view.slotToggleShowConnections(); });
    }
    const QRect canvas(QPoint(0, 0), view.canvasSize());
    if (selectAll)
        view.selectPointsInRect(canvas, false);
    if (beforePaint)
        beforePaint(view);

    return Mx::writePicture(
        outFile, canvas.size(), [&view, canvas](QPainter &painter) { view.paintCanvas(painter, canvas); }, error);
}
