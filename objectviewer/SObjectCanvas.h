// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas of one projection plane of the block, without a widget: display state,
// mapping, spatial grid, paint objects, painting, and the selection operations over the
// point list. The object view scrolls it and takes the mouse; the picture export, the
// benchmark and the tests paint and select through it alone.
#pragma once

#include "misc/SCanvasGeometry.h"
#include "misc/SErrorColours.h"
#include "misc/SGlobal.h"
#include "misc/SGlyphLabels.h"
#include "objectviewer/SObjectGrid.h"
#include "objectviewer/SObjectMapping.h"
#include "objectviewer/SObjectSprites.h"
#include "objectviewer/SSelectionSnapshot.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QRect>
#include <QSet>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

class QImage;
class QPainter;
class SImage;
class SObjectPoint;
class SObjectPointList;
class SSearchRequest;

namespace SSettings {
struct ObjectViewerSettings;
struct ObjectViewExtras;
} // namespace SSettings

class SObjectCanvas {
public:
    // Which points a paint visits: those near the rectangle (the normal case) or all of
    // them in list order (the plain loop the index must agree with).
    enum class VisitE { Indexed, AllPoints };

    explicit SObjectCanvas(int plane);

    // Attaches the project's points (never owned) and maps them at the current zoom.
    void setObjectPoints(SObjectPointList *list, bool sigmasAvailable);
    SObjectPointList *objectPoints() const { return mList; }
    // A list with at least one point is attached.
    bool isReady() const;
    int plane() const { return mPlane; }
    bool sigmasAvailable() const { return mSigmasAvailable; }

    // Sets the zoom, limited to SCanvasGeometry::kZoomMin..kZoomMax, and maps the points
    // anew; false when the zoom stays (or nothing is attached).
    bool setZoom(int percent);
    int zoomPercent() const { return mZoomPercent; }
    float zoomFactor() const { return mMapping.zoomFactor(); }
    QSize canvasSize() const { return mMapping.canvasSize(); }
    // The canvas the attached points would have at zoomPercent.
    QSize canvasSizeAt(int zoomPercent) const;
    const SObjectMapping &mapping() const { return mMapping; }
    // Whether the canvas keeps every point's position and the grid over them (the default) or
    // works a position out each time it is needed, keeping them only once a query near a spot
    // needs the grid: a canvas painted once as a whole saves their memory.
    void setPositionsKept(bool kept);
    // Whether the kept positions of the current mapping are worked out: after a zoom the first
    // thread that needs them does it (the paint on a worker, so that the window does not wait
    // for millions of points), and a hit test, selection or paint here waits for it.
    bool isPlaced() const { return mPlacement && mPlacement->done.load(std::memory_order_acquire); }

    // Display settings; the caller repaints.
    void setTextFont(const QFont &font) { mTextFont = font; }
    void setBackgroundColor(const QColor &color) { mBackgroundColor = color; }
    const QColor &backgroundColor() const { return mBackgroundColor; }
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

    // Colour by error of the point symbols (Residual: largest accepted control residual,
    // Sigma: largest sigma); points without the value keep their colour. Off by default.
    void setColouring(const SErrorColours::Colouring &colouring) { mColouring = colouring; }
    const SErrorColours::Colouring &colouring() const { return mColouring; }
    // The legends over area (canvas coordinates, e.g. the visible part): the colouring's in
    // the top right corner, the scale bar in the bottom left, the density's in the bottom
    // right; nothing while all are off.
    void paintLegend(QPainter &painter, const QRect &area) const;
    bool hasLegend() const { return mColouring.isOn() || mScaleBarOn || mDensityOn; }

    // A bar of a round ground length in the legend; off by default.
    bool scaleBarOn() const { return mScaleBarOn; }
    void setScaleBarOn(bool on) { mScaleBarOn = on; }
    // A point with another shown point under its symbol is drawn as one pixel showing that
    // pixel's number of points on the density ramp (SDensityRamp); points with nothing under
    // their symbol keep it, and selected points are drawn over it with their marks and texts.
    // Off by default.
    bool densityOn() const { return mDensityOn; }
    void setDensityOn(bool on) { mDensityOn = on; }
    // Stretches the vertical axis (Z) of the XZ and YZ planes by a factor (1 in XY, and for a
    // factor below 1) and maps the points anew; false when it stays.
    bool setVerticalExaggeration(int factor);
    int verticalExaggeration() const { return mVerticalExaggeration; }
    // Colouring, scale bar, density and exaggeration as the configuration holds them.
    void applyExtras(const SSettings::ObjectViewExtras &extras);

    // Toggles of what selected points show. Residual and sigma values are written on the
    // same lines: switching one on switches the other off. Sigmas need sigmasAvailable().
    bool pointIdsOn() const { return mPointIdsOn; }
    void setPointIdsOn(bool on) { mPointIdsOn = on; }
    bool imageIdsOn() const { return mImageIdsOn; }
    void setImageIdsOn(bool on) { mImageIdsOn = on; }
    bool linkCountOn() const { return mLinkCountOn; }
    void setLinkCountOn(bool on) { mLinkCountOn = on; }
    bool connectionsOn() const { return mConnectionsOn; }
    void setConnectionsOn(bool on) { mConnectionsOn = on; }
    bool blundersOn() const { return mBlundersOn; }
    void setBlundersOn(bool on) { mBlundersOn = on; }
    bool residualsOn(ViewModeE mode) const { return mResidualsOn[mode == VM_Textual]; }
    void setResidualsOn(ViewModeE mode, bool on);
    bool sigmasOn(ViewModeE mode) const { return mSigmasOn[mode == VM_Textual]; }
    // False (and nothing changes) without sigmas.
    bool setSigmasOn(ViewModeE mode, bool on);

    // The dotted band drawn over the canvas; an invalid rectangle draws none.
    void setRubberBand(const QRect &band) { mRubberBand = band; }
    QRect rubberBand() const { return mRubberBand; }

    // The list index of the point drawn topmost at canvasPos (within its symbol's half size,
    // at least kHitReach pixels); -1 where no shown point is. Indexed asks the grid about the
    // points near canvasPos, AllPoints tries every point.
    int pointAt(const QPoint &canvasPos, VisitE visit = VisitE::Indexed) const;
    static constexpr int kHitReach = 3;

    // Paints the canvas rectangle `rect` into painter (whose origin is the canvas origin);
    // nothing outside rect is touched.
    void paintCanvas(QPainter &painter, const QRect &rect, VisitE visit = VisitE::Indexed);
    // Paints rect as paintCanvas does into image, whose top left pixel shows rect's top left,
    // in up to `bands` bands of rows: each band after the first is painted by a frozen copy on
    // a thread of its own, so that a whole picture uses every core. The pixels are those one
    // paintCanvas gives; a density paint or a rubber band goes in one band.
    void paintInBands(QImage &image, const QRect &rect, int bands);
    // The bands that pay for painting rect: one per core up to kMaxBands, and one for a small
    // block or a short picture, where a thread costs more than it saves.
    int bandCountFor(const QRect &rect) const;
    static constexpr int kMaxBands = 4;
    // The symbols and marks of the points in rect without texts, vectors, ellipses and
    // connections: a quick stand-in while the whole picture is painted elsewhere.
    void paintPointsOnly(QPainter &painter, const QRect &rect);
    // The rubber band alone, as paintCanvas draws it over everything else.
    void paintRubberBand(QPainter &painter, const QRect &clip) const;

    // A copy that paints on another thread while this canvas goes on changing: it shares
    // the point positions, takes a snapshot of the selection now, has its own paint caches
    // and font and no rubber band, and never reads the list's selected flags. Its paint
    // stops early (leaving the picture unfinished) once *cancel turns true.
    SObjectCanvas frozenCopy(const std::atomic<bool> *cancel);
    SObjectCanvas(const SObjectCanvas &) = default;
    SObjectCanvas &operator=(const SObjectCanvas &) = delete;

    // Selection over the attached list, which keeps the flags; each operation keeps this
    // canvas's table of selected projection centres (whose images get connections) in step.
    // Selects every point whose canvas position lies in rect, edges included; without add
    // the previous selection is replaced.
    void selectPointsInRect(const QRect &rect, bool add);
    // Runs the search request on the list. Throws SException from a blunder search.
    void selectPoints(const SSearchRequest &request);
    // Selects the points the image measured and its projection centre; with erase the
    // previous selection goes first.
    void selectImagePoints(SImage *image, bool erase = true);
    void deselectAll();
    // Replaces the selection by the object points and projection centres with these ids.
    void selectPointIds(const QSet<int> &pointIds, const QSet<int> &centreIds);
    // Enters centres that a selection on the shared list selected into this canvas's
    // table; replace empties the table first.
    void takeSelectedCentres(bool replace, std::span<SObjectPoint *const> centres);
    // Projection centres selected through this canvas; only their images get connections.
    bool isSelectedCentre(int imageId) const { return mSelectedCentres.contains(imageId); }
    int selectedCentreCount() const { return int(mSelectedCentres.size()); }

private:
    // Canvas positions of the points by list index and their grid for one mapping, worked
    // out once by the first thread that needs them and never changed after, so that copies
    // painting elsewhere share them; a new mapping gets a new slot.
    struct Placement {
        std::vector<QPoint> positions;
        SObjectGrid grid;
    };
    struct PlacementSlot {
        std::once_flag once;
        std::atomic<bool> done = false;
        Placement placement;
    };
    // Work buffers and caches of the thread that paints: a copy of the canvas starts
    // without them, as sharing them across threads would race.
    struct PaintWork {
        PaintWork() = default;
        PaintWork(const PaintWork &) {}
        PaintWork &operator=(const PaintWork &) = delete;
        std::vector<int> visit;             // points to visit, unless visitAll
        bool visitAll = false;              // the whole canvas: the list in order, nothing collected
        std::vector<quint8> pixelFootprint; // per pixel of a crowded paint: footprint of the top point
        std::vector<quint64> uncovered;     // bit per list index: to visit, and no later point covers it
        std::array<quint8, 2 * SGlobal::kPointCodeIndexCount> footprintIds; // by code index, then blunder
        std::vector<int> tileVisit;                                         // points near one tile of a density paint
        std::vector<int> pixelCounts; // summed counts of shown points per pixel around that tile
        SObjectSprites sprites;
        SGlyphLabels labels;
        QString text;
    };

    void mapPoints();
    // The positions and grid of the current mapping, worked out here unless another thread
    // sharing the slot did (or is doing: then this waits); a slot is made first when positions
    // are not kept.
    const Placement &placement() const;
    QPoint mapPosition(const SObjectPoint &point) const;
    QPoint positionOf(int index) const;
    // Whether rect holds the whole canvas, so that visiting it means visiting every point.
    bool coversCanvas(const QRect &rect) const { return rect.contains(QRect(QPoint(0, 0), mMapping.canvasSize())); }
    void refreshSelection();
    bool selected(int index) const { return mSelection->isSelected(index); }
    bool cancelled() const { return mCancel && mCancel->load(std::memory_order_relaxed); }
    void collectVisits(const QRect &near, bool withSelected);
    enum class Order { Forward, Backward };
    // Calls visit(i) for every point to visit, in list order (or its reverse), until a cancel.
    // visit(i, position of i), unless skip(i).
    template <Order order = Order::Forward, typename Skip, typename Visit>
    void forEachVisit(const QRect &near, bool withSelected, Skip skip, Visit visit) const;
    // The same for the points the culling left (forward).
    template <typename Visit> void forEachUncovered(const QRect &near, bool withSelected, Visit visit) const;
    // visit(i, position of i) when the point is one to visit.
    template <typename Visit>
    void visitIndex(int i, const QRect &near, bool withSelected, bool mapHere, Visit &visit) const;
    void paintVisits(QPainter &painter, const QRect &rect);
    void paintPoint(QPainter &painter, const QRect &clip, int index, const QPoint &position);
    // Whether paintPoint draws anything of the point (its code shown, a blunder only with blunders).
    bool isShown(const SObjectPoint &point) const;
    void paintDensity(QPainter &painter, const QRect &rect);
    void paintDensityTile(QPainter &painter, const QRect &tile);
    // Equal keys draw equal pixel sets; -1 where the drawing is not one opaque footprint.
    int footprintKey(int codeIndex, bool blunder) const;
    // Numbers the distinct footprint keys of the paint from 1 into mWork.footprintIds.
    void numberFootprints();
    // The numbered footprint of a point to visit; 0 where others on its pixel do not hide it.
    int visitFootprint(int index, const QPoint &p, const QRect &area) const;
    static size_t pixelIn(const QPoint &p, const QRect &area);
    bool stampCoveredPoints(const QRect &area, bool withSelected);
    // Makes the culling's buffers for a band of a paint in bands here, in this thread's heap,
    // which gives them back entirely once freed; a worker thread's heap would keep some.
    void reserveBandWork(const QRect &rect);
    void preparePaintObjects();
    void prepareConnectionPens();
    void measureText(QPainter &painter);
    void paintTexts(QPainter &painter, const QRect &clip, int px, int py, int k, int index, const SObjectPoint &point);
    void paintValueLines(QPainter &painter, const QRect &clip, int x, int baseline, int index,
                         const SObjectPoint &point);
    void drawTextLine(QPainter &painter, const QRect &clip, int x, int baseline, const QColor &color);
    void paintResidualVector(QPainter &painter, int px, int py, int index, const SObjectPoint &point);
    void paintSigmaEllipse(QPainter &painter, int px, int py, int index, const SObjectPoint &point);
    void paintConnections(QPainter &painter, int px, int py, int index, const SObjectPoint &point);
    int largestHalfExtent() const;
    // The ramp step of a point's error value; -1 when it has none.
    int errorStep(const SObjectPoint &point) const;
    bool annotated() const;

    static constexpr int kCodes = SGlobal::kPointCodeIndexCount;

    int mPlane;
    int mHorizontalAxis;
    int mVerticalAxis;
    SObjectPointList *mList = nullptr;
    bool mSigmasAvailable = false;
    int mZoomPercent = SCanvasGeometry::kZoomDefault;
    SObjectMapping mMapping;
    QRect mRubberBand;

    QColor mBackgroundColor{Qt::white};
    QFont mTextFont;
    bool mPointIdsOn = false;
    std::array<bool, 2> mResidualsOn{false, false}; // indexed by ViewModeE
    std::array<bool, 2> mSigmasOn{false, false};
    bool mBlundersOn = false;
    bool mLinkCountOn = false;
    bool mImageIdsOn = false;
    bool mConnectionsOn = false;
    std::array<bool, kCodes> mPointOn;
    std::array<int, kCodes> mPointSymbol;
    std::array<QColor, kCodes> mPointColor;
    std::array<int, kCodes> mPointSize;
    QColor mBlunderColor{Qt::red};
    int mBlunderSize = 2;
    QColor mMarkColor{Qt::yellow};
    int mMarkSize = 2;
    float mScale = 1.0f;
    int mLinkLineType = 0;
    QHash<int, SObjectPoint *> mSelectedCentres;
    SErrorColours::Colouring mColouring;
    bool mScaleBarOn = false;
    int mVerticalExaggeration = 1;
    bool mDensityOn = false;

    // Null while positions are worked out on the fly (not kept, and no query needed the grid yet).
    mutable std::shared_ptr<PlacementSlot> mPlacement;
    bool mPositionsKept = true;
    std::shared_ptr<const SSelectionSnapshot> mSelection = std::make_shared<SSelectionSnapshot>();
    bool mFrozen = false;     // a copy keeps the snapshot it was made with
    bool mPointsOnly = false; // during paintPointsOnly
    const std::atomic<bool> *mCancel = nullptr;
    // Kept between paints so that painting a point allocates nothing.
    PaintWork mWork;
    QPen mBandPen{Qt::black, 0, Qt::DotLine};
    std::array<QPen, kCodes> mConnectionPens; // by code index
    QPen mConnectionBlunderPen;
    std::array<QPen, kCodes> mSymbolPens;
    std::array<QBrush, kCodes> mSymbolBrushes;
    std::array<QPen, SErrorColours::kRampSteps + 1> mRampPens; // by ramp step, alarm last
    std::array<QBrush, SErrorColours::kRampSteps + 1> mRampBrushes;
    QPen mMarkPen, mBlunderPen;
    QBrush mMarkBrush, mBlunderBrush;
    std::array<QByteArray, 3> mResidualFormats; // per axis, translated once
    std::array<QByteArray, 3> mSigmaFormats;
    QPen mTextPen{Qt::black, 0, Qt::SolidLine};
    // Of the text font on the current paint device, measured once per paint.
    int mTextAscent = 0, mTextDescent = 0, mTextHeight = 0, mTextMaxWidth = 0;
};
