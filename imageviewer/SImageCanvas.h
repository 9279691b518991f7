// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas of one image, without a widget: display state, mapping, paint objects and
// the painting of the image points with their symbols, residuals, ids, link counts,
// blunders and the largest residual. The graphical image view scrolls it and takes the
// mouse; the picture export, the benchmark and the tests paint it alone.
#pragma once

#include "imageviewer/SImageMapping.h"
#include "misc/SCanvasGeometry.h"
#include "misc/SErrorColours.h"
#include "misc/SGlobal.h"
#include "misc/SGlyphLabels.h"
#include "prefs/SSettings.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <array>

class QPainter;
class SImage;
class SImagePoint;
struct SImagePointEntry;

class SImageCanvas {
public:
    enum SymbolE { SY_Circle = 0, SY_Triangle = 1, SY_Cross = 2 };

    SImageCanvas();

    // The image shown; never owned. Null shows nothing.
    void setImage(SImage *image);
    SImage *image() const { return mImage; }

    // Sets the zoom, limited to SCanvasGeometry::kZoomMin..kZoomMax; false when it stays.
    bool setZoom(int percent);
    int zoom() const { return mZoom; }
    SImageMapping mapping() const;
    float zoomFactor() const { return mapping().zoomFactor(); }
    // The whole canvas: the image frame with its margins; empty without an image.
    QSize canvasSize() const;
    // The canvas the image would have at zoomPercent.
    QSize canvasSizeAt(int zoomPercent) const;

    // Toggles; the caller repaints.
    bool residualsOn(ViewModeE mode) const;
    void setResidualsOn(ViewModeE mode, bool on);
    bool pointIdsOn() const { return mPointIdsOn; }
    void setPointIdsOn(bool on) { mPointIdsOn = on; }
    bool blundersOn() const { return mBlundersOn; }
    void setBlundersOn(bool on) { mBlundersOn = on; }
    bool linkCountOn() const { return mLinkCountOn; }
    void setLinkCountOn(bool on) { mLinkCountOn = on; }

    // Display settings; sizes are limited to SSettings::kMaxPaintedSize.
    void setBackgroundColor(const QColor &color) { mBackgroundColor = color; }
    QColor backgroundColor() const { return mBackgroundColor; }
    void setTextFont(const QFont &font) { mTextFont = font; }
    void setPointOn(int index, bool on);
    void setPointSymbol(int index, int symbol);
    void setPointColor(int index, const QColor &color);
    void setPointSize(int index, int size);
    void setBlunderColor(const QColor &color) { mBlunderColor = color; }
    void setBlunderSize(int size);
    void setResidualScale(float scale) { mResidualScale = scale; }
    float residualScale() const { return mResidualScale; }
    void setLargestResidualColor(const QColor &color) { mLargestResidualColor = color; }
    void setLargestResidualSize(int size);
    // Colour by error of the image points (symbol and residual vector); off by default.
    void setColouring(const SErrorColours::Colouring &colouring) { mColouring = colouring; }
    const SErrorColours::Colouring &colouring() const { return mColouring; }
    // The legends over area (canvas coordinates, e.g. the visible part of the canvas): the
    // colouring's in the top right corner, the residual arrow in the bottom left; nothing
    // while both are off.
    void paintLegend(QPainter &painter, const QRect &area) const;
    bool hasLegend() const { return mColouring.isOn() || mResidualLegendOn; }
    // An arrow that shows how long a residual of a round length is drawn; off by default.
    bool residualLegendOn() const { return mResidualLegendOn; }
    void setResidualLegendOn(bool on) { mResidualLegendOn = on; }
    // Every stored display setting at once (not the residual and link-count toggles).
    void applySettings(const SSettings::ImageViewerSettings &settings);

    // The dotted zoom band drawn over the canvas; an invalid rectangle draws none.
    void setRubberBand(const QRect &band) { mRubberBand = band; }
    QRect rubberBand() const { return mRubberBand; }

    // The id of the image point drawn topmost at canvasPos (within its symbol's half size, at
    // least kHitReach pixels); -1 where no shown point is.
    int pointAt(const QPoint &canvasPos) const;
    static constexpr int kHitReach = 3;
    // The point marked as chosen (a disc in the mark colour under it); -1 for none.
    void setMarkedPointId(int id) { mMarkedPointId = id; }
    int markedPointId() const { return mMarkedPointId; }
    static constexpr int kMarkSize = 2; // the disc reaches this far beyond the symbol

    // Paints the canvas rectangle `clip` (canvas coordinates) into `painter`, whose
    // origin is the canvas origin. Nothing is painted without an image.
    void paintCanvas(QPainter &painter, const QRect &clip);

private:
    void paintPoint(QPainter &painter, const QRect &clip, const SImageMapping &map, const SImagePointEntry &entry,
                    int codeIndex);
    void paintSymbol(QPainter &painter, int px, int py, int codeIndex, int size, const QColor &color);
    QColor errorColour(const SImagePoint &point) const;
    void paintLargestResidual(QPainter &painter, const QRect &clip, const SImageMapping &map);
    void setText(const char *format, double value);
    void setText(int value);
    void copyText(int length);
    void drawTextAt(QPainter &painter, const QRect &clip, int x, int baseline, bool clipTest);
    void drawResidualTexts(QPainter &painter, const QRect &clip, int x, int baseline, float vx, float vy,
                           bool clipTest);

    static constexpr int kCodes = SGlobal::kPointCodeIndexCount;

    SImage *mImage = nullptr;
    int mZoom = SCanvasGeometry::kZoomDefault;
    QRect mRubberBand;
    QColor mBackgroundColor{Qt::white};
    QFont mTextFont{SSettings::defaultTextFont()};
    bool mPointIdsOn = false;
    std::array<bool, 2> mResidualsOn{false, false}; // by ViewModeE
    bool mBlundersOn = false;
    bool mLinkCountOn = false;
    std::array<bool, kCodes> mPointOn;
    std::array<int, kCodes> mPointSymbol;
    std::array<QColor, kCodes> mPointColor;
    std::array<int, kCodes> mPointSize;
    QColor mBlunderColor{Qt::red};
    int mBlunderSize = SSettings::kDefaultBlunderSize;
    float mResidualScale = 1.0f;
    QColor mLargestResidualColor{Qt::red};
    int mLargestResidualSize = SSettings::kDefaultLargestResidualSize;
    SErrorColours::Colouring mColouring;
    int mMarkedPointId = -1;
    QColor mMarkColor{Qt::yellow};
    bool mResidualLegendOn = false;

    // Painting objects, made once and reused by every paint so that a point costs no
    // allocation.
    QPen mDottedPen{Qt::black, 0, Qt::DotLine};
    QPen mPen{Qt::black, 0};
    QBrush mEmptyBrush{Qt::NoBrush};
    QBrush mBrush{Qt::black, Qt::SolidPattern};
    QPolygon mTriangle{3};
    std::array<char, 64> mTextChars{};
    QString mText;
    SGlyphLabels mLabels;
    int mTextAscent = 0; // of the font in use, set at the start of each paint
    int mTextHeight = 0;
    int mTextMaxWidth = 0;
    int mDescent = 0;
    int mFirstResidualLine = 0;
};
