// SPDX-License-Identifier: GPL-3.0-or-later
// The graphical view of one image: scrolls an SImageCanvas and takes the mouse (zoom by
// rubber band, scroll mode) and the context menu; the canvas paints.
#pragma once

#include "imageviewer/SImageCanvas.h"
#include "misc/SZoomGesture.h"

#include <QAbstractScrollArea>

class QMenu;

class SImageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kZoomMin = SCanvasGeometry::kZoomMin;
    static constexpr int kZoomMax = SCanvasGeometry::kZoomMax;
    static constexpr int kRubberBandMin = SCanvasGeometry::kMinBandPixels;

    enum ModeE { MD_Zoom = 0, MD_Scroll = 1 };
    // Context-menu ids.
    enum MenuIdE {
        MI_Zoom100 = 0,
        MI_PointIds = 1,
        MI_ResidualsGraphical = 2,
        MI_ResidualsTextual = 3,
        MI_Blunders = 4,
        MI_LinkCount = 5
    };

    explicit SImageView(QWidget *parent = nullptr);
    ~SImageView() override;

    // The canvas holds the display state; after changing it, call updateContents().
    SImageCanvas &canvas() { return mCanvas; }
    const SImageCanvas &canvas() const { return mCanvas; }

    // The view never owns the image. Always true.
    bool setImage(SImage *image);
    SImage *image() const { return mCanvas.image(); }
    bool hasImage() const { return mCanvas.image() != nullptr; }
    void applySettings(const SSettings::ImageViewerSettings &settings) { mCanvas.applySettings(settings); }

    int zoom() const { return mCanvas.zoom(); }
    int mode() const { return mMode; }
    // Canvas position of the viewport's top-left corner.
    QPoint contentsPos() const;
    void setContentsPos(const QPoint &pos);
    // Repaints the whole visible canvas.
    void updateContents();

    // Marks the point as the chosen one and scrolls it into sight; -1 unmarks.
    void setMarkedPoint(int id);
    // The tool tip of an image point: id, type, coordinates, residuals, weight and status.
    static QString pointToolTip(const SImage &image, int id);

    // Fills the context menu for the current state (empty without an image).
    QMenu *buildContextMenu();

    // The largest zoom at which the whole canvas fits the view without scroll bars.
    int fitZoom() const;
    // Zooms so that the canvas point under viewportPos stays there.
    void zoomAbout(int percent, const QPoint &viewportPos);

public slots:
    void slotZoomPlus();
    void slotZoomMinus();
    // Keeps the canvas point at the middle of the view in place.
    void slotZoom(int percent);
    void slotZoomToFit();
    void slotSetMode(int iMode);
    void slotToggleResiduals(ViewModeE mode);
    void slotTogglePointIds();
    void slotToggleBlunders();
    void slotToggleShowLinkCount();

signals:
    void sigZoomChanged(int percent);
    void sigStatusMessage(const QString &text);
    void sigStatusClear();
    // A click without dragging on a shown point.
    void sigPointClicked(int id);

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
    void _slotHandleContextMenu(int id);

private:
    void updateScrollBars();
    // Scrolls the zoom anchor back to its place in the view.
    void applyZoomAnchor();
    void chooseScrollCursor(const QSize &area);
    QPoint canvasPos(const QPoint &viewportPos) const;
    void updateCanvasRect(const QRect &canvasRect);
    void finishRubberBand();
    // Flips one of the canvas toggles and repaints.
    void toggle(bool (SImageCanvas::*isOn)() const, void (SImageCanvas::*setOn)(bool));

    SImageCanvas mCanvas;
    QMenu *mContextMenu;
    int mMode = MD_Zoom;
    QPoint mPressPoint{0, 0};
    QPoint mLastPoint; // null while a rubber-band drag has not moved yet
    bool mScrollDrag = false;
    bool mZoomDrag = false;
    QSize mCanvasSize{0, 0}; // as the scroll bars know it
    SZoomGesture mZoomGesture;
    QPoint mClickPos; // viewport position of the last press
};
