// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's statistics window: opening it, keeping it in step with the open project,
// and showing the images and points it asks for.
#include "app/Varlomin.h"
#include "search/SSearchRequest.h"

#include "framework/Mu.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SGlobal.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"
#include "statistics/SBlockStatistics.h"
#include "statisticsviewer/SStatisticsWindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

namespace {

const QSize kStatisticsSize(820, 560); // room for the image table's ten columns

void raiseInWorkspace(QMdiArea *workspace, QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        frame->showNormal();
        workspace->setActiveSubWindow(frame);
    }
    window->setFocus();
}

// The view's mapping, whether the view keeps it itself or in its canvas.
template <typename View> const SObjectMapping &mappingOf(const View &view)
{
    if constexpr (requires { view.canvas().mapping(); })
        return view.canvas().mapping();
    else
        return view.mapping();
}

} // namespace

void Varlomin::_slotShowStatistics()
{
    if (!mStatistics) {
        mStatistics = new SStatisticsWindow;
        connect(mStatistics, &SStatisticsWindow::sigShowImage, this, &Varlomin::_slotShowImageFromStatistics);
        connect(mStatistics, &SStatisticsWindow::sigShowPoint, this, &Varlomin::_slotShowPointFromStatistics);
        QMdiSubWindow *frame = workspace()->addSubWindow(mStatistics);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        // In the workspace's top left corner, no larger than the workspace.
        const QSize wanted = frame->sizeHint().expandedTo(kStatisticsSize);
        frame->setGeometry(QRect(QPoint(0, 0), wanted.boundedTo(workspace()->viewport()->size())));
        refreshStatistics();
        mStatistics->show();
    }
    raiseInWorkspace(workspace(), mStatistics);
}

void Varlomin::refreshStatistics()
{
    if (!mStatistics)
        return; // computed only while the window is open
    if (_strProjectFile.isEmpty()) {
        mStatistics->clear();
        return;
    }
    QElapsedTimer timer;
    timer.start();
    SStatisticsOptions options;
    options.standardizedThreshold = SSettings::readStandardizedThreshold();
    mStatistics->setStatistics(computeBlockStatistics(mData, options), QFileInfo(_strProjectFile).fileName());
    Mu::debug("Statistics computed and shown in %lld ms", timer.elapsed());
}

void Varlomin::_slotShowImageFromStatistics(int imageId)
{
    for (SImageViewer *viewer : SImageViewer::viewers())
        if (viewer->currentImageNumber() == imageId) {
            raiseInWorkspace(workspace(), viewer);
            return;
        }
    if (SImageList::find(imageId))
        createImageViewer(imageId);
}

void Varlomin::_slotShowPointFromStatistics(int pointId, bool projectionCentre)
{
    const QString id = QString::number(pointId);
    // Centres are found by their image number, the others by their point id.
    _slotSelectPointsInObjectViewers(
        SSearchRequest(SGlobal::SL_Erase, projectionCentre ? SGlobal::SM_ImageId : SGlobal::SM_PointId, id, id));
    const SObjectPoint *point = nullptr;
    for (const SObjectPoint &p : mData.mListObjectData)
        if (p.id() == pointId && p.isProjectionCentre() == projectionCentre) {
            point = &p;
            break;
        }
    if (!point)
        return;
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
        if (SObjectViewer *viewer = SObjectViewer::viewer(plane)) {
            SObjectView *view = viewer->view();
            const QPoint at = mappingOf(*view).map(point->horizontal(plane), point->vertical(plane));
            const QSize visible = view->viewport()->size();
            view->scrollTo(at - QPoint(visible.width() / 2, visible.height() / 2));
        }
}
