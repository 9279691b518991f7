// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SReloadSummary.h"

#include "framework/Mu.h"
#include "patb/SProjectData.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

constexpr int kIdsShown = 10; // ids listed in a line; the rest is counted

QHash<int, const SImage *> imagesById(const SImageList &images)
{
    QHash<int, const SImage *> byId;
    for (const SImage *image : images)
        byId.insert(image->id(), image);
    return byId;
}

QSet<int> pointIds(const SObjectPointList &points)
{
    QSet<int> ids;
    for (const SObjectPoint &point : points)
        ids.insert(point.id());
    return ids;
}

QList<int> sortedDifference(const QSet<int> &a, const QSet<int> &b)
{
    QList<int> ids = QSet<int>(a).subtract(b).values();
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString idList(const QList<int> &ids)
{
    QStringList shown;
    for (int i = 0; i < ids.size() && i < kIdsShown; ++i)
        shown << QString::number(ids[i]);
    if (ids.size() > kIdsShown)
        shown << Mu::tr("... (%1 more)").arg(ids.size() - kIdsShown);
    return shown.join(QStringLiteral(", "));
}

} // namespace

SReloadSummary SReloadSummary::compare(const SProjectData &before, const SProjectData &after)
{
    SReloadSummary s;
    if (before.projectFiles)
        s.sigma0Before = before.projectFiles->sigma0;
    if (after.projectFiles)
        s.sigma0After = after.projectFiles->sigma0;

    const QHash<int, const SImage *> oldImages = imagesById(before.mListImageData);
    const QHash<int, const SImage *> newImages = imagesById(after.mListImageData);
    const QSet<int> oldIds(oldImages.keyBegin(), oldImages.keyEnd());
    const QSet<int> newIds(newImages.keyBegin(), newImages.keyEnd());
    s.imagesAdded = sortedDifference(newIds, oldIds);
    s.imagesRemoved = sortedDifference(oldIds, newIds);

    const QSet<int> oldPoints = pointIds(before.mListObjectData);
    const QSet<int> newPoints = pointIds(after.mListObjectData);
    s.pointsAdded = sortedDifference(newPoints, oldPoints);
    s.pointsRemoved = sortedDifference(oldPoints, newPoints);

    for (auto it = newImages.cbegin(); it != newImages.cend(); ++it) {
        const SImage *old = oldImages.value(it.key());
        if (!old)
            continue;
        for (const SImagePointEntry &entry : it.value()->points()) {
            const SImagePoint *was = old->imagePoint(entry.id);
            if (!was || was->isActive() == entry.point.isActive())
                continue;
            ++(was->isActive() ? s.imagePointsEliminated : s.imagePointsRestored);
        }
    }
    return s;
}

QStringList SReloadSummary::lines() const
{
    QStringList out;
    out << Mu::tr("Sigma 0: %1 -> %2").arg(sigma0Before, 0, 'f', 3).arg(sigma0After, 0, 'f', 3);
    auto addIds = [&out](const QString &what, const QList<int> &ids) {
        if (!ids.isEmpty())
            out << what.arg(ids.size()).arg(idList(ids));
    };
    addIds(Mu::tr("Images added (%1): %2"), imagesAdded);
    addIds(Mu::tr("Images removed (%1): %2"), imagesRemoved);
    addIds(Mu::tr("Points added (%1): %2"), pointsAdded);
    addIds(Mu::tr("Points removed (%1): %2"), pointsRemoved);
    out << Mu::tr("Image points newly eliminated: %1, restored: %2")
               .arg(imagePointsEliminated)
               .arg(imagePointsRestored);
    return out;
}
