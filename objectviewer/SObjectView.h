// SPDX-License-Identifier: GPL-3.0-or-later
// The graphical view of one projection plane of the block: scrolls an SObjectCanvas and
// takes the mouse (zoom band, selection band, scroll mode) and the context menu; the
// canvas paints and selects.
#pragma once

#include "misc/SZoomGesture.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectRenderer.h"

#include <QAbstractScrollArea>

#include <vector>

class QMenu;

class SObjectView : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum ModeE { MD_Zoom = 0, MD_Scroll = 1, MD_Selection = 2 };
    enum ContextMenuIdE {
        CM_Zoom100 = 0,
        CM_PointIds = 1,
        CM_ImageIds = 2,
        CM_Blunders = 3,
        CM_ResidualsGraphical = 4,
        CM_ResidualsTextual = 5,
        CM_SigmasGraphical = 6,
        CM_SigmasTextual = 7,
        CM_LinkCount = 8,
        CM_DeselectAll = 9,
        CM_Connections = 10
    };

    static constexpr int kZoomMin = SCanvasGeometry::kZoomMin;
    static constexpr int kZoomMax = SCanvasGeometry::kZoomMax;
    static constexpr int kZoomDefault = SCanvasGeometry::kZoomDefault;

    SObjectView(int plane, QWidget *parent = nullptr);
    ~SObjectView() override;

    // The canvas holds the display state and the selection operations; after changing
    // it, call repaintCanvas(). Handing it out for changes makes the finished picture stale.
    SObjectCanvas &canvas()
    {
        ++mGeneration;
        return mCanvas;
    }
    const SObjectCanvas &canvas() const { return mCanvas; }

    // Attaches the project's points (never owned); always true.
    bool setObjectPoints(SObjectPointList *list, bool sigmasAvailable);
    bool isReady() const { return mCanvas.isReady(); }
    int plane() const { return mCanvas.plane(); }
    void applySettings(const SSettings::ObjectViewerSettings &settings) { canvas().applySettings(settings); }

    // Blocks of at least this many points are painted on a worker thread into a picture of
    // the visible area, which the view shows once finished; until then it shows the last
    // finished picture (moved with the scrolling) and the bare symbols where that has none
    // (the background while the worker still works out the positions after a zoom).
    // Smaller blocks paint at once, in the paint event.
    static constexpr int kAsyncPointCount = 100000;
    void setAsyncPointCount(int count) { mAsyncPointCount = count; }
    bool paintsAsync() const;
    // Whether the visible area shows the finished picture of the current state.
    bool showsFinishedPicture() const;
    // Colouring, scale bar and vertical exaggeration; a new exaggeration keeps the point in the
    // middle of the visible area where it was. Repaints.
    void applyExtras(const SSettings::ObjectViewExtras &extras);
    int zoomPercent() const { return mCanvas.zoomPercent(); }
    int mode() const { return mMode; }
    // Canvas position of the top left corner of the visible area.
    QPoint scrollPosition() const;
    void scrollTo(const QPoint &canvasPosition);
    // Repaints the whole visible canvas.
    void repaintCanvas();

    // Selects the points the image measured and its projection centre, and repaints.
    void selectImagePoints(SImage *image, bool erase = true);

    // The tool tip of the point with this list index: id, type, coordinates, residuals of the
    // observed axes and, when computed, sigmas.
    QString pointToolTip(int index) const;

    // Fills the context menu for the current state; empty while the view is not ready.
    QMenu *fillContextMenu();
    QMenu *contextMenu() const { return mContextMenu; }

    // The largest zoom at which the whole canvas fits the view without scroll bars.
    int fitZoom() const;
    // Zooms so that the canvas point under viewportPos stays there.
    void zoomAbout(int percent, const QPoint &viewportPos);

public slots:
    void slotZoomPlus();
    void slotZoomMinus();
    // Keeps the canvas point at the middle of the view in place.
    void slotZoom(int iPercent);
    void slotZoomToFit();
    void slotSetMode(int iMode);
    void slotTogglePointIds();
    void slotToggleImageIds();
    void slotToggleBlunders();
    void slotToggleShowLinkCount();
    void slotToggleResiduals(ViewModeE mode);
    void slotToggleSigmas(ViewModeE mode);
    void slotToggleShowConnections();
    void slotDeselectPoints();

signals:
    void sigZoomChanged(int iPercent);
    // The selected flags changed through one of this view's operations.
    void sigSelectionChanged();
    // The plane coordinates under the mouse, as it moves over the canvas; and its leaving.
    void sigCursorMoved(const QPointF &planePosition);
    void sigCursorLeft();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private slots:
    void _slotHandleContextMenu(int iPopId);
    void _slotRendered(const QImage &image, const SObjectRenderer::Frame &frame);

private:
    void updateScrollBars();
    // Scrolls the zoom anchor back to its place in the view.
    void applyZoomAnchor();
    // Size-all arrows while the canvas is larger than `shown` in either direction.
    void updateScrollCursor(const QSize &shown);
    void updateCanvasRect(const QRect &canvasRect);
    QPoint canvasPosition(const QPointF &viewportPosition) const;
    // Flips one of the canvas toggles and repaints.
    void toggle(bool (SObjectCanvas::*isOn)() const, void (SObjectCanvas::*setOn)(bool));
    // Takes the finished band off the canvas; false (with a note) when it is too small.
    bool takeBand(QRect *band, const char *tooSmallNote);
    void finishZoomBand();
    void finishSelectionBand();
    // What the visible area shows now: its canvas rectangle, zoom and state.
    SObjectRenderer::Frame currentFrame() const;
    // The finished picture where it is current, else a stand-in and a render request.
    void paintFromBuffer(QPainter &painter, const QRect &exposed);
    // The last picture, made at another zoom, scaled to zoomPercent; returns what it covers.
    QRect paintScaledBuffer(QPainter &painter, const QRect &exposed, int zoomPercent);

    SObjectCanvas mCanvas;
    quint64 mGeneration = 0; // counts changes of the canvas state that the picture shows
    int mAsyncPointCount = kAsyncPointCount;
    QImage mBuffer; // the last finished picture, of mBufferFrame
    SObjectRenderer::Frame mBufferFrame;
    SObjectRenderer *mRenderer;
    QMenu *mContextMenu;
    std::vector<QMenu *> mSubMenus; // made anew for every showing
    int mMode = MD_Zoom;
    QPoint mPressPoint{0, 0};
    QPoint mLastPoint;
    bool mDragging = false;
    bool mZooming = false;
    bool mSelecting = false;
    bool mAdding = false;
    SZoomGesture mZoomGesture;
};
