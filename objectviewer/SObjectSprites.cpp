// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectSprites.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Room around a symbol inside its sprite, so that no outline pixel is cut off.
constexpr int kSpriteMargin = 2;
constexpr int kOpaque = 255;
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
        if (size == 1) // Qt draws no ellipse in a box of one pixel
            painter.drawPoint(px, py);
        else
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
    default: break;
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

void SObjectSprites::beginPaint(QPainter &painter)
{
    mUsable = suits(painter);
    mTarget = nullptr;
    mClipRects.clear();
    if (!mUsable)
        return;
    // The raster engine paints into an image: the painter's own, a pixmap's, or a widget's
    // backing store, where the system clip holds the exposed region in device pixels.
    QPaintEngine *engine = painter.paintEngine();
    QPaintDevice *device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    auto *image = static_cast<QImage *>(device);
    // Writing into a shared image would detach it from the buffer that the engine paints.
    if (!image->isDetached())
        return;
    const QImage::Format format = image->format();
    // Formats that store an opaque premultiplied pixel as it is and that drawImage blends in
    // place (a non-premultiplied image would convert the pixels around the symbol and back).
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return;
    const QTransform &t = painter.deviceTransform();
    mDeviceOffset = QPoint(int(t.dx()), int(t.dy()));
    QRegion clip(image->rect());
    if (!engine->systemClip().isEmpty())
        clip &= engine->systemClip();
    if (painter.hasClipping())
        clip &= painter.clipRegion().translated(mDeviceOffset);
    mClipRects.assign(clip.begin(), clip.end());
    mTarget = image->bits();
    mTargetStride = image->bytesPerLine();
}

void SObjectSprites::draw(QPainter &painter, int shape, int px, int py, int size, const QPen &pen, const QBrush &brush)
{
    // A copy equals the drawing only where every pixel is either the opaque colour or untouched.
    if (!mUsable || size > kMaxSpriteSize || size < 0 || pen.color().alpha() != kOpaque || pen.widthF() != 0.0 ||
        brush.style() != Qt::SolidPattern) {
        drawSymbol(painter, shape, px, py, size, pen, brush);
        return;
    }
    const Sprite &s = sprite(shape, size, pen, brush);
    if (mTarget && s.binary)
        writeSprite(s, QPoint(px, py) + s.offset + mDeviceOffset);
    else
        painter.drawImage(px + s.offset.x(), py + s.offset.y(), s.image);
}

void SObjectSprites::writeSprite(const Sprite &s, const QPoint &at)
{
    const QRect spriteRect(at, s.image.size());
    const uchar *spriteBits = s.image.constBits();
    const qsizetype spriteStride = s.image.bytesPerLine();
    for (const QRect &clip : mClipRects) {
        if (!spriteRect.intersects(clip))
            continue;
        if (s.uniform && clip.contains(spriteRect)) { // the usual case: nothing to cut off
            for (const Run &run : s.runs) {
                uchar *target = mTarget + qsizetype(at.y() + run.y) * mTargetStride +
                                qsizetype(at.x() + run.x) * qsizetype(sizeof(QRgb));
                std::fill_n(reinterpret_cast<QRgb *>(target), run.length, s.colour);
            }
            return; // the clip's rectangles are disjoint: no other one meets the sprite
        }
        for (const Run &run : s.runs) {
            const int y = at.y() + run.y;
            const int from = std::max(at.x() + run.x, clip.left());
            const int to = std::min(at.x() + run.x + run.length, clip.right() + 1);
            if (y < clip.top() || y > clip.bottom() || from >= to)
                continue;
            // Opaque over anything is the opaque pixel itself. Runs are a few pixels long:
            // a loop of one colour beats a call of memcpy.
            uchar *target = mTarget + qsizetype(y) * mTargetStride + qsizetype(from) * sizeof(QRgb);
            if (s.uniform)
                std::fill_n(reinterpret_cast<QRgb *>(target), to - from, s.colour);
            else
                std::memcpy(target,
                            spriteBits + qsizetype(run.y) * spriteStride + qsizetype(from - at.x()) * sizeof(QRgb),
                            size_t(to - from) * sizeof(QRgb));
        }
    }
}

const SObjectSprites::Sprite &SObjectSprites::sprite(int shape, int size, const QPen &pen, const QBrush &brush)
{
    const quint64 key = (quint64(pen.color().rgba()) << 32) | (quint64(quint8(shape)) << 16) | quint64(size);
    if (mLastSprite && mLastKey == key)
        return *mLastSprite;
    auto it = mSprites.constFind(key);
    if (it == mSprites.constEnd()) {
        if (mSprites.size() >= kMaxSprites)
            mSprites.clear();
        it = mSprites.insert(key, renderSprite(shape, size, pen, brush));
    }
    mLastKey = key;
    mLastSprite = &*it;
    return *it;
}

SObjectSprites::Sprite SObjectSprites::renderSprite(int shape, int size, const QPen &pen, const QBrush &brush)
{
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
    sprite.binary = true;
    sprite.uniform = true;
    sprite.colour = 0;
    for (int y = 0; y < side; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(sprite.image.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            const int alpha = qAlpha(row[x]);
            if (alpha == kOpaque) {
                if (sprite.colour == 0)
                    sprite.colour = row[x];
                sprite.uniform = sprite.uniform && row[x] == sprite.colour;
            }
            if (alpha != 0 && alpha != kOpaque)
                sprite.binary = false;
            else if (alpha == kOpaque && (x == 0 || qAlpha(row[x - 1]) != kOpaque))
                sprite.runs.push_back({y, x, 1});
            else if (alpha == kOpaque)
                ++sprite.runs.back().length;
        }
    }
    return sprite;
}
