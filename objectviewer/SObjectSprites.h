// SPDX-License-Identifier: GPL-3.0-or-later
// The point symbols of the object view (discs, triangles, crosses) and their pre-rendered
// sprites: each symbol is drawn once per shape, colour and size into a small image and then
// copied, which costs a fraction of drawing it anew for every one of a million points.
#pragma once

#include <QBrush>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <vector>

class QPainter;

class SObjectSprites {
public:
    enum ShapeE { SH_Disc = 0, SH_Triangle = 1, SH_Cross = 2 };

    // Draws the symbol of `size` pixels centred on (px, py) with pen (outline) and brush
    // (filling); the one drawing that the sprites copy.
    static void drawSymbol(QPainter &painter, int shape, int px, int py, int size, const QPen &pen,
                           const QBrush &brush);

    // Whether sprites reproduce direct drawing exactly on this painter: a raster device with
    // a whole-pixel translation and no antialiasing.
    static bool suits(const QPainter &painter);

    // Draws the symbol as drawSymbol would, copying its sprite where that is exact.
    // pen and brush must be of one colour, as the view's are.
    void draw(QPainter &painter, int shape, int px, int py, int size, const QPen &pen, const QBrush &brush);
    // Sets whether draw() may use sprites for the painter of the current paint, and whether it
    // may write them straight into the painter's image. The painter's clip and translation
    // must stay as they are until the paint ends.
    void beginPaint(QPainter &painter);
    // Forgets the painter's image; draw() outside a paint goes through the painter.
    void endPaint()
    {
        mTarget = nullptr;
        mClipRects.clear();
    }
    bool usable() const { return mUsable; }
    // Whether draw() writes sprites into the image itself instead of asking the painter.
    bool writesDirectly() const { return mTarget != nullptr; }
    void clear()
    {
        mSprites.clear();
        mLastSprite = nullptr;
    }

private:
    // A row's stretch of opaque sprite pixels.
    struct Run {
        int y, x, length;
    };
    struct Sprite {
        QImage image;  // premultiplied; transparent where the symbol leaves the ground
        QPoint offset; // of the image's top left corner from the symbol's centre
        bool binary;   // every pixel fully opaque or fully transparent
        bool uniform;  // of a binary sprite: every opaque pixel is `colour`
        QRgb colour;
        std::vector<Run> runs; // of a binary sprite, row by row
    };
    const Sprite &sprite(int shape, int size, const QPen &pen, const QBrush &brush);
    static Sprite renderSprite(int shape, int size, const QPen &pen, const QBrush &brush);
    // Source-over of a binary sprite whose top left corner lands on device pixel `at`: copies
    // its opaque pixels inside the clip, as drawImage does for them.
    void writeSprite(const Sprite &s, const QPoint &at);

    // Sprites stay small; larger symbols are drawn directly.
    static constexpr int kMaxSpriteSize = 64;
    // Settings change seldom; past this many sprites the cache starts afresh.
    static constexpr int kMaxSprites = 256;

    QHash<quint64, Sprite> mSprites;
    // Points come in long stretches of one symbol; the last sprite is found without hashing.
    quint64 mLastKey = 0;
    const Sprite *mLastSprite = nullptr;
    bool mUsable = false;
    // The image of the current paint when sprites may be written straight into it: a 32-bit
    // image that the painter paints itself, with its translation and clip in device pixels.
    uchar *mTarget = nullptr;
    qsizetype mTargetStride = 0;
    QPoint mDeviceOffset;
    std::vector<QRect> mClipRects;
};
