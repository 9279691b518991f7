// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SGlyphLabels.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

// The characters of numbers, ids and value lines ("X: -1.234 ± 0.005", "nan", "inf").
const QString kAlphabet = QStringLiteral(" +-.:0123456789XYZainfe\u00b1");

const char16_t *const kProbes[] = {
    u"0123456789", u"-1110.111", u"X: -12.345 \u00b1 0.007", u"Y: \u00b1 nan", u"Z: 1e+11 \u00b1 -inf",
    u"47114711",   u"1:1.1-1"};

QList<QGlyphRun> shape(const QString &text, const QFont &font, QPaintDevice *device)
{
    QTextLayout layout(text, font, device);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return layout.glyphRuns();
}

int dotsPerMeter(int dpi) { return int(std::lround(dpi / 0.0254)); }

} // namespace

void SGlyphLabels::begin(QPainter &painter)
{
    const QFont font = painter.font();
    QPaintDevice *device = painter.device();
    const int dpi = device ? device->logicalDpiY() : 0;
    // Vector engines (PDF, SVG) write text as text: only the raster engine gets glyph runs.
    const QPaintEngine *engine = painter.paintEngine();
    mRaster = engine && engine->type() == QPaintEngine::Raster;
    if (mPrepared && font == mFont && dpi == mDpi)
        return;
    mFont = font;
    mDpi = dpi;
    mPrepared = true;
    mExact = false;
    mExact = device && measureAlphabet(font, device) && drawsLikeText(font, dpi);
}

// Shapes each character doubled and every pair of characters: the pair's advance is what
// the first character advances before the second (kerning included), and nothing else may
// change (no other glyphs, no second font, no vertical shift).
bool SGlyphLabels::measureAlphabet(const QFont &font, QPaintDevice *device)
{
    mKnown.fill(false);
    const QList<QGlyphRun> zero = shape(QStringLiteral("0"), font, device);
    if (zero.size() != 1)
        return false;
    mRawFont = zero.first().rawFont();
    for (const QChar c : kAlphabet) {
        const QList<QGlyphRun> runs = shape(QString(2, c), font, device);
        if (runs.size() != 1 || runs.first().rawFont() != mRawFont || runs.first().glyphIndexes().size() != 2)
            continue; // drawn from another font: labels with it go through drawText
        mGlyph[c.unicode()] = runs.first().glyphIndexes().first();
        mKnown[c.unicode()] = true;
    }
    const int n = int(kAlphabet.size());
    mPairAdvance.assign(size_t(n * n), 0.0);
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b < n; ++b) {
            const QChar ca = kAlphabet[a], cb = kAlphabet[b];
            if (!mKnown[ca.unicode()] || !mKnown[cb.unicode()])
                continue;
            const QList<QGlyphRun> runs = shape(QString(ca) + cb, font, device);
            if (runs.size() != 1 || runs.first().rawFont() != mRawFont)
                return false;
            const QList<quint32> glyphs = runs.first().glyphIndexes();
            const QList<QPointF> positions = runs.first().positions();
            if (glyphs.size() != 2 || glyphs[0] != mGlyph[ca.unicode()] || glyphs[1] != mGlyph[cb.unicode()] ||
                positions[0] != QPointF(0, positions[0].y()) || positions[1].y() != positions[0].y())
                return false;
            mPairAdvance[size_t(a * n + b)] = positions[1].x();
        }
    }
    for (int a = 0; a < n; ++a)
        mSlot[kAlphabet[a].unicode()] = a;
    // Longer texts must come out exactly as the pairs predict.
    for (const char16_t *probe : kProbes) {
        const QString text = QString::fromUtf16(probe);
        const QList<QGlyphRun> runs = shape(text, font, device);
        if (!assemble(text, 0, 0))
            continue;
        if (runs.size() != 1 || runs.first().glyphIndexes().size() != qsizetype(mGlyphs.size()))
            return false;
        const QList<QPointF> positions = runs.first().positions();
        const qreal y = positions.first().y();
        for (size_t i = 0; i < mGlyphs.size(); ++i)
            if (runs.first().glyphIndexes()[qsizetype(i)] != mGlyphs[i] ||
                positions[qsizetype(i)] != mPositions[i] + QPointF(0, y))
                return false;
    }
    return true;
}

// The drawing paths of drawText and of glyph runs must agree to the pixel on raster images.
bool SGlyphLabels::drawsLikeText(const QFont &font, int dpi)
{
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage byText(400, 40, format), byRun(400, 40, format);
        for (QImage *image : {&byText, &byRun}) {
            image->setDotsPerMeterX(dotsPerMeter(dpi));
            image->setDotsPerMeterY(dotsPerMeter(dpi));
            image->fill(Qt::white);
        }
        QPainter text(&byText), run(&byRun);
        for (QPainter *painter : {&text, &run}) {
            painter->setFont(font);
            painter->setPen(QPen(QColor(20, 90, 200), 0));
        }
        for (const char16_t *probe : kProbes) {
            const QString label = QString::fromUtf16(probe);
            byText.fill(Qt::white);
            byRun.fill(Qt::white);
            text.drawText(3, 25, label);
            if (!assemble(label, 3, 25))
                continue;
            drawRun(run);
            if (byText != byRun)
                return false;
        }
    }
    return true;
}

bool SGlyphLabels::assemble(const QString &text, int x, int baseline)
{
    mGlyphs.clear();
    mPositions.clear();
    const int n = int(kAlphabet.size());
    qreal at = x;
    int previous = -1;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= kTableSize || !mKnown[u])
            return false;
        const int slot = mSlot[u];
        if (previous >= 0)
            at += mPairAdvance[size_t(previous * n + slot)];
        mGlyphs.push_back(mGlyph[u]);
        mPositions.emplace_back(at, baseline);
        previous = slot;
    }
    return true;
}

void SGlyphLabels::drawRun(QPainter &painter)
{
    if (mGlyphs.empty())
        return;
    QGlyphRun run;
    run.setRawFont(mRawFont);
    run.setRawData(mGlyphs.data(), mPositions.data(), int(mGlyphs.size()));
    painter.drawGlyphRun(QPointF(0, 0), run);
}

void SGlyphLabels::draw(QPainter &painter, int x, int baseline, const QString &text)
{
    if (mExact && mRaster && assemble(text, x, baseline))
        drawRun(painter);
    else
        painter.drawText(x, baseline, text);
}
