// SPDX-License-Identifier: GPL-3.0-or-later
// The graphical view of all object points and projection centres of a block, projected
// into one coordinate plane, with selection marks, blunders and, for selected points,
// texts, residual vectors, sigma ellipses and connections to the projection centres.
#pragma once

#include "misc/SGlobal.h"
#include "objectviewer/SObjectGrid.h"
#include "objectviewer/SObjectMapping.h"
#include "objectviewer/SObjectSprites.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <array>
#include <vector>

class QMenu;
class SImage;
class SObjectPoint;
class SObjectPointList;

namespace SSettings {
struct ObjectViewerSettings;
}

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
    // Which points a paint visits: those near the rectangle (the normal case) or all of
    // them in list order (the plain loop the index must agree with).
    enum class VisitE { Indexed, AllPoints };

    static constexpr int kZoomMin = 10;
    static constexpr int kZoomMax = 100000000;
    static constexpr int kZoomStep = 10;
    static constexpr int kMinBandPixels = 20;
    static constexpr int kZoomDefault = 100;

    SObjectView(int plane, QWidget *parent = nullptr);
    ~SObjectView() override;

    // Attaches the project's points (never owned); always true.
    bool setObjectPoints(SObjectPointList *list, bool sigmasAvailable);
    // A list with at least one point is attached.
    bool isReady() const;
    int plane() const { return mPlane; }

    // Display settings; the caller repaints.
    void setTextFont(const QFont &font) { mTextFont = font; }
    void setBackgroundColor(const QColor &color) { mBackgroundColor = color; }
    void setBlundersOn(bool on) { mBlundersOn = on; }
    void setPointOn(int index, bool on);
    void setPointSymbol(int index, int symbol);
    void setPointColor(int index, const QColor &color);
    void setPointSize(int index, int size);
    void setBlunderColor(const QColor &color) { mBlunderColor = color; }
    void setBlunderSize(int size) { mBlunderSize = size; }
    void setMarkColor(const QColor &color) { mMarkColor = color; }
    void setMarkSize(int size) { mMarkSize = size; }
    void setScale(float scale) { mScale = scale; }
    void setLinkLineType(int type) { mLinkLineType = type; }
    // All settings of the configuration at once, in the order the viewer reads them.
    void applySettings(const SSettings::ObjectViewerSettings &settings);

    bool pointIdsOn() const { return mPointIdsOn; }
    bool imageIdsOn() const { return mImageIdsOn; }
    bool linkCountOn() const { return mLinkCountOn; }
    bool connectionsOn() const { return mConnectionsOn; }
    bool blundersOn() const { return mBlundersOn; }
    bool residualsOn(ViewModeE mode) const { return mResidualsOn[mode == VM_Textual]; }
    bool sigmasOn(ViewModeE mode) const { return mSigmasOn[mode == VM_Textual]; }
    bool sigmasAvailable() const { return mSigmasAvailable; }

    int zoomPercent() const { return mZoomPercent; }
    float zoomFactor() const { return mMapping.zoomFactor(); }
    int mode() const { return mMode; }
    QSize canvasSize() const { return mMapping.canvasSize(); }
    const SObjectMapping &mapping() const { return mMapping; }
    // Canvas position of the top left corner of the visible area.
    QPoint scrollPosition() const;
    void scrollTo(const QPoint &canvasPosition);
    QRect rubberBand() const { return mRubberBand; }

    // Paints the canvas rectangle `rect` into painter (whose origin is the canvas origin),
    // exactly as the view shows it; nothing outside rect is touched.
    void paintCanvas(QPainter &painter, const QRect &rect, VisitE visit = VisitE::Indexed);

    // Selects every point whose canvas position lies in rect, edges included; without add
    // the previous selection is replaced.
    void selectPointsInRect(const QRect &rect, bool add);
    // Search selection: in SL_Erase mode the points that pass the search replace the
    // selection, in SL_Add mode they join it. Sets the flags directly and leaves the list's
    // selected count as it was. Throws SException from a blunder search (no repaint then).
    void selectPoints(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode, const QString &strPar1,
                      const QString &strPar2, bool bPatternMatching);
    // Selects the points the image measured and its projection centre; with erase the
    // previous selection goes first. Counts every newly selected point in the list.
    void selectImagePoints(SImage *image, bool erase = true);
    // Projection centres selected in this view; only their images get connections.
    bool isSelectedCentre(int imageId) const { return mSelectedCentres.contains(imageId); }
    int selectedCentreCount() const { return int(mSelectedCentres.size()); }

    // Fills the context menu for the current state; empty while the view is not ready.
    QMenu *fillContextMenu();
    QMenu *contextMenu() const { return mContextMenu; }

    // Any change of selected flags made outside this view's own operations must call this,
    // so that every view sees the new selection at its next paint.
    static void noteSelectionChanged() { ++sSelectionGeneration; }

public slots:
    void slotZoomPlus();
    void slotZoomMinus();
    void slotZoom(int iPercent);
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

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private slots:
    void _slotHandleContextMenu(int iPopId);

private:
    void updateCanvas(); // mapping, scroll bars and positions after a zoom or data change
    void updateScrollBars();
    // Size-all arrows while the canvas is larger than `shown` in either direction.
    void updateScrollCursor(const QSize &shown);
    void repaintCanvas();
    void updateCanvasRect(const QRect &canvasRect);
    QPoint canvasPosition(const QPointF &viewportPosition) const;
    void refreshSelectedIndices();
    void paintPoint(QPainter &painter, const QRect &clip, int index);
    // Equal keys draw equal pixel sets; -1 where the drawing is not one opaque footprint.
    int footprintKey(int codeIndex, bool blunder) const;
    void dropCoveredPoints(const QRect &area);
    void preparePaintObjects();
    void paintSymbol(QPainter &painter, int px, int py, int index, int size);
    void paintTexts(QPainter &painter, const QRect &clip, int px, int py, int k, int index, const SObjectPoint &point);
    void drawTextLine(QPainter &painter, const QRect &clip, int x, int baseline, const QColor &color);
    void paintResidualVector(QPainter &painter, int px, int py, int index, const SObjectPoint &point);
    void paintConnections(QPainter &painter, int px, int py, int index, const SObjectPoint &point);
    int largestHalfExtent() const;
    void finishZoomBand();
    void finishSelectionBand();

    QMenu *mContextMenu;
    std::vector<QMenu *> mSubMenus; // made anew for every showing
    int mPlane;
    SObjectPointList *mList = nullptr;
    bool mSigmasAvailable = false;
    int mZoomPercent = 100;
    SObjectMapping mMapping;
    int mMode = MD_Zoom;
    QPoint mPressPoint{0, 0};
    QPoint mLastPoint;
    QRect mRubberBand;
    bool mDragging = false;
    bool mZooming = false;
    bool mSelecting = false;
    bool mAdding = false;

    QColor mBackgroundColor{Qt::white};
    QFont mTextFont;
    bool mPointIdsOn = false;
    std::array<bool, 2> mResidualsOn{false, false}; // indexed by ViewModeE
    std::array<bool, 2> mSigmasOn{false, false};
    bool mBlundersOn = false;
    bool mLinkCountOn = false;
    bool mImageIdsOn = false;
    bool mConnectionsOn = false;
    std::array<bool, SGlobal::kPointCodeIndexCount> mPointOn;
    std::array<int, SGlobal::kPointCodeIndexCount> mPointSymbol;
    std::array<QColor, SGlobal::kPointCodeIndexCount> mPointColor;
    std::array<int, SGlobal::kPointCodeIndexCount> mPointSize;
    QColor mBlunderColor{Qt::red};
    int mBlunderSize = 2;
    QColor mMarkColor{Qt::yellow};
    int mMarkSize = 2;
    float mScale = 1.0f;
    int mLinkLineType = 0;
    QHash<int, SObjectPoint *> mSelectedCentres;

    // Kept between paints so that painting a point allocates nothing.
    std::vector<QPoint> mPositions; // canvas position of every point, by list index
    SObjectGrid mGrid;
    std::vector<int> mVisit;
    std::vector<int> mLastAtPixel;     // per pixel of a crowded paint: last visit stamped there
    std::vector<int> mVisitKeys;       // footprint key per visit
    std::vector<int> mSelectedIndices; // ascending; valid for mSelectionGeneration
    unsigned mSelectionGeneration = 0;
    QPen mBandPen;
    QPen mConnectionPen;
    std::array<QPen, SGlobal::kPointCodeIndexCount> mSymbolPens;
    std::array<QBrush, SGlobal::kPointCodeIndexCount> mSymbolBrushes;
    QPen mMarkPen, mBlunderPen;
    QBrush mMarkBrush, mBlunderBrush;
    std::array<QByteArray, 3> mResidualFormats; // per axis, translated once
    std::array<QByteArray, 3> mSigmaFormats;
    SObjectSprites mSprites;
    QString mText;

    static unsigned sSelectionGeneration;
};
