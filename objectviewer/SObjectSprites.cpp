#include "SObjectSprites.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {
// Room around a symbol inside its sprite, so that no outline pixel is cut off.
constexpr int kSpriteMargin = 2;
} // namespace

void SObjectSprites::drawSymbol(QPainter &painter, int shape, int px, int py, int size, const QPen &pen,
                                const QBrush &brush)
{
    const int a = size / 2;
    painter.setPen(pen);
    switch (shape) {
    case SH_Disc:
        // Discs fill exactly their bounding box of size x size pixels, outline included.
        painter.setBrush(brush);
        painter.drawEllipse(px - a, py - a, std::max(0, size - 1), std::max(0, size - 1));
        break;
    case SH_Triangle: {
        painter.setBrush(brush);
        const QPolygon triangle{QPoint(px, py - a), QPoint(px - a, py + a), QPoint(px + a, py + a)};
        // The outline as single lines: a polygon's outline leaves out its right-most
        // pixels, which would make the triangle lopsided.
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(triangle);
        painter.setPen(pen);
        painter.drawLine(px, py - a, px - a, py + a);
        painter.drawLine(px - a, py + a, px + a, py + a);
        painter.drawLine(px + a, py + a, px, py - a);
        break;
    }
    case SH_Cross:
        painter.drawLine(px - a, py, px + a, py);
        painter.drawLine(px, py - a, px, py + a);
        break;
    default:
        break;
    }
}

bool SObjectSprites::suits(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return false; // vector output keeps its vector symbols
    if (painter.testRenderHint(QPainter::Antialiasing) || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform &t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::round(t.dx()) && t.dy() == std::round(t.dy());
}

void SObjectSprites::draw(QPainter &painter, int shape, int px, int py, int size, const QPen &pen,
                          const QBrush &brush)
{
    // A copy equals the drawing only where every pixel is either the opaque colour or untouched.
    if (!mUsable || size > kMaxSpriteSize || size < 0 || pen.color().alpha() != 255 || pen.widthF() != 0.0 ||
        brush.style() != Qt::SolidPattern) {
        drawSymbol(painter, shape, px, py, size, pen, brush);
        return;
    }
    const Sprite &s = sprite(shape, size, pen, brush);
    painter.drawImage(px + s.offset.x(), py + s.offset.y(), s.image);
}

const SObjectSprites::Sprite &SObjectSprites::sprite(int shape, int size, const QPen &pen, const QBrush &brush)
{
    const quint64 key = (quint64(pen.color().rgba()) << 32) | (quint64(quint8(shape)) << 16) | quint64(size);
    auto it = mSprites.constFind(key);
    if (it != mSprites.constEnd())
        return *it;
    if (mSprites.size() >= kMaxSprites)
        mSprites.clear();

    const int centre = size / 2 + kSpriteMargin;
    const int side = size + 2 * kSpriteMargin;
    Sprite sprite;
    sprite.image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    sprite.image.fill(Qt::transparent);
    {
        QPainter painter(&sprite.image);
        drawSymbol(painter, shape, centre, centre, size, pen, brush);
    }
    sprite.offset = QPoint(-centre, -centre);
    return *mSprites.insert(key, sprite);
}
