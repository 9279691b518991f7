// SPDX-License-Identifier: GPL-3.0-or-later
// What the open viewers show (image viewers: current image, zoom, scroll position; object
// viewers: zoom, scroll position), taken before the project is read again and given back to
// the same viewers afterwards.
#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>

class SImageViewer;
class SObjectViewer;
class SObjectPointList;

class SViewerStates {
public:
    static SViewerStates capture();

    // Image viewers show their image again (the first when it is gone); both kinds get their
    // zoom and scroll position back. Call after the data was exchanged.
    void restore() const;

private:
    struct ImageViewerState {
        QPointer<SImageViewer> viewer;
        int imageNumber = -1;
        int zoom = 100;
        QPoint scroll;
    };
    struct ObjectViewerState {
        QPointer<SObjectViewer> viewer;
        int zoom = 100;
        QPoint scroll;
    };
    QList<ImageViewerState> mImageViewers;
    QList<ObjectViewerState> mObjectViewers;
};

// The selected object points, by point id, copied from one list to another.
void copySelectionById(const SObjectPointList &from, SObjectPointList &to);
