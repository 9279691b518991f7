// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SViewerStates.h"

#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SGlobal.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"

#include <QScrollBar>
#include <QSet>

SViewerStates SViewerStates::capture()
{
    SViewerStates states;
    for (SImageViewer *viewer : SImageViewer::viewers()) {
        SImageView *view = viewer->graphicalView();
        states.mImageViewers.append({viewer, viewer->currentImageNumber(), view->zoom(), view->contentsPos()});
    }
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
        if (SObjectViewer *viewer = SObjectViewer::viewer(plane))
            states.mObjectViewers.append({viewer, viewer->view()->zoomPercent(), viewer->view()->scrollPosition()});
    return states;
}

void SViewerStates::restore() const
{
    for (const ImageViewerState &s : mImageViewers) {
        if (!s.viewer)
            continue;
        s.viewer->slotImagesReloaded(s.imageNumber);
        if (s.viewer->graphicalView()->zoom() != s.zoom)
            s.viewer->graphicalView()->slotZoom(s.zoom);
        s.viewer->graphicalView()->setContentsPos(s.scroll);
    }
    for (const ObjectViewerState &s : mObjectViewers) {
        if (!s.viewer)
            continue;
        if (s.viewer->view()->zoomPercent() != s.zoom)
            s.viewer->view()->slotZoom(s.zoom);
        s.viewer->view()->scrollTo(s.scroll);
    }
}

void copySelectionById(const SObjectPointList &from, SObjectPointList &to)
{
    QSet<int> selected;
    for (const SObjectPoint &point : from)
        if (point.isSelected())
            selected.insert(point.id());
    int count = 0;
    for (SObjectPoint &point : to) {
        const bool on = selected.contains(point.id());
        to.setSelected(point, on);
        count += on ? 1 : 0;
    }
    to.setSelectedCount(count);
}
