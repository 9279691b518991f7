// SPDX-License-Identifier: GPL-3.0-or-later
// The graphical view of one image: a scrollable, self-painted canvas with the image
// points, their symbols, residuals, ids, link counts, blunders and the largest
// residual; zoom by steps, by value or by rubber band, and a scroll mode.
#pragma once

#include "imageviewer/SImageMapping.h"
#include "misc/SGlobal.h"
#include "prefs/SSettings.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPolygon>
#include <QString>

#include <array>

class QMenu;
class QPainter;
class SImage;

class SImageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kZoomMin = 10;
    static constexpr int kZoomMax = 100000000;
    static constexpr int kZoomStep = 10;
    static constexpr int kRubberBandMin = 20; // pixels; a band below this in both directions is refused
    static constexpr int kPointCodeCount = SSettings::kPointCodeCount;

    enum ModeE { MD_Zoom = 0, MD_Scroll = 1 };
    enum SymbolE { SY_Circle = 0, SY_Triangle = 1, SY_Cross = 2 };
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

    // The view never owns the image. Always true.
    bool setImage(SImage *image);
    SImage *image() const { return mImage; }
    bool hasImage() const { return mImage != nullptr; }

    bool hasResidualsOn(ViewModeE mode) const;
    bool hasPointIdsOn() const { return mPointIdsOn; }
    bool hasBlundersOn() const { return mBlundersOn; }
    bool hasLinkCountOn() const { return mLinkCountOn; }
    int zoom() const { return mZoom; }
    float zoomFactor() const { return mZoomFactor; }
    int mode() const { return mMode; }
    QSize canvasSize() const { return mCanvasSize; }
    QRect rubberBand() const { return mRubberBand; }
    // Canvas position of the viewport's top-left corner.
    QPoint contentsPos() const;
    void setContentsPos(const QPoint &pos);

    // Setters store only; the caller repaints.
    void setBackgroundColor(const QColor &color);
    void setTextFont(const QFont &font);
    void setPointIdsOn(bool on);
    void setResidualsOn(ViewModeE mode, bool on);
    void setBlundersOn(bool on);
    void setLinkCountOn(bool on);
    void setPointOn(int index, bool on);
    void setPointSymbol(int index, int symbol);
    void setPointColor(int index, const QColor &color);
    void setPointSize(int index, int size);
    void setBlunderColor(const QColor &color);
    void setBlunderSize(int size);
    void setResidualScale(float scale);
    void setLargestResidualColor(const QColor &color);
    void setLargestResidualSize(int size);
    // Hands over every stored display setting (not the residual and link-count toggles).
    void applySettings(const SSettings::ImageViewerSettings &settings);

    QColor backgroundColor() const { return mBackgroundColor; }
    float residualScale() const { return mResidualScale; }

    // Paints the canvas rectangle `clip` (canvas coordinates) into `painter`, whose
    // origin is the canvas origin. The widget and the picture export both use it.
    void paintCanvas(QPainter &painter, const QRect &clip);
    // Repaints the whole visible canvas.
    void updateContents();

    // Fills the context menu for the current state (empty without an image).
    QMenu *buildContextMenu();

public slots:
    void slotZoomPlus();
    void slotZoomMinus();
    void slotZoom(int percent);
    void slotSetMode(int iMode);
    void slotToggleResiduals(ViewModeE mode);
    void slotTogglePointIds();
    void slotToggleBlunders();
    void slotToggleShowLinkCount();

signals:
    void sigZoomChanged(int percent);
    void sigStatusMessage(const QString &text);
    void sigStatusClear();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private slots:
    void _slotHandleContextMenu(int id);

private:
    SImageMapping mapping() const;
    void updateCanvasGeometry();
    void updateScrollBars();
    void chooseScrollCursor(const QSize &area);
    QPoint canvasPos(const QPoint &viewportPos) const;
    void updateCanvasRect(const QRect &canvasRect);
    void finishRubberBand();
    void setText(const char *format, double value);
    void setText(int value);
    void copyText(int length);
    void drawTextAt(QPainter &painter, const QRect &clip, int x, int baseline, bool clipTest);
    void drawResidualTexts(QPainter &painter, const QRect &clip, int x, int baseline, float vx, float vy,
                           bool clipTest);

    QMenu *mContextMenu;
    SImage *mImage = nullptr;
    int mZoom = 100;
    float mZoomFactor = 1.0f;
    int mMode = MD_Zoom;
    QPoint mPressPoint{0, 0};
    QPoint mLastPoint; // null while a rubber-band drag has not moved yet
    QRect mRubberBand;
    bool mScrollDrag = false;
    bool mZoomDrag = false;
    QColor mBackgroundColor{Qt::white};
    QFont mTextFont{SSettings::defaultTextFont()};
    bool mPointIdsOn = false;
    std::array<bool, 2> mResidualsOn{false, false};
    bool mBlundersOn = false;
    bool mLinkCountOn = false;
    std::array<bool, kPointCodeCount> mPointOn;
    std::array<int, kPointCodeCount> mPointSymbol;
    std::array<QColor, kPointCodeCount> mPointColor;
    std::array<int, kPointCodeCount> mPointSize;
    QColor mBlunderColor{Qt::red};
    int mBlunderSize = 2;
    float mResidualScale = 1.0f;
    QColor mLargestResidualColor{Qt::red};
    int mLargestResidualSize = 2;

    QSize mCanvasSize{0, 0};

    // Painting objects, made once and reused by every paint so that a point costs no
    // allocation.
    QPen mDottedPen;
    QPen mPen;
    QBrush mEmptyBrush;
    QBrush mBrush;
    QPolygon mTriangle;
    QRect mBox;
    std::array<char, 64> mTextChars{};
    QString mText;
    int mTextAscent = 0; // of the font in use, set at the start of each paint
    int mTextHeight = 0;
};
