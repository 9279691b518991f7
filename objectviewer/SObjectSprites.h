// The point symbols of the object view (discs, triangles, crosses) and their pre-rendered
// sprites: each symbol is drawn once per shape, colour and size into a small image and then
// copied, which costs a fraction of drawing it anew for every one of a million points.
#pragma once

#include <QBrush>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPoint>

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
    // Sets whether draw() may use sprites for the painter of the current paint.
    void beginPaint(const QPainter &painter) { mUsable = suits(painter); }
    bool usable() const { return mUsable; }
    void clear() { mSprites.clear(); }

private:
    struct Sprite {
        QImage image;  // premultiplied; transparent where the symbol leaves the ground
        QPoint offset; // of the image's top left corner from the symbol's centre
    };
    const Sprite &sprite(int shape, int size, const QPen &pen, const QBrush &brush);

    // Sprites stay small; larger symbols are drawn directly.
    static constexpr int kMaxSpriteSize = 64;
    // Settings change seldom; past this many sprites the cache starts afresh.
    static constexpr int kMaxSprites = 256;

    QHash<quint64, Sprite> mSprites;
    bool mUsable = false;
};
