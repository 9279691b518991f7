// SPDX-License-Identifier: GPL-3.0-or-later
// Draws short labels (numbers, coordinate lines) as glyph runs assembled from per-character
// glyphs and advances, skipping the shaping that drawText does for every call. Used only
// where it is exact: once per font, every pair of label characters is shaped to prove that
// the font neither kerns nor joins them, and probe labels drawn both ways must give the same
// pixels; otherwise, and for any other character, the label goes through drawText.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <array>
#include <vector>

class QPainter;

class SGlyphLabels {
public:
    // Prepares for the painter's current font (checked once per font and resolution).
    void begin(QPainter &painter);
    // Draws text with its baseline starting at (x, baseline), as painter.drawText(x, baseline,
    // text) draws it, with the painter's pen.
    void draw(QPainter &painter, int x, int baseline, const QString &text);
    // Whether draw() uses glyph runs for the current font and painter.
    bool exact() const { return mExact && mRaster; }

private:
    bool measureAlphabet(const QFont &font, QPaintDevice *device);
    bool drawsLikeText(const QFont &font, int dpi);
    // Fills mGlyphs and mPositions; false when text has a character outside the alphabet.
    bool assemble(const QString &text, int x, int baseline);
    void drawRun(QPainter &painter);

    // Latin-1 range; characters that are not measured have no glyph.
    static constexpr int kTableSize = 256;

    QFont mFont;
    int mDpi = 0;
    bool mPrepared = false;
    bool mExact = false;
    bool mRaster = false; // the current painter rasterises
    QRawFont mRawFont;
    std::array<quint32, kTableSize> mGlyph{};
    std::array<bool, kTableSize> mKnown{};
    std::array<int, kTableSize> mSlot{}; // position in the alphabet
    std::vector<qreal> mPairAdvance;     // by first and second character's slot
    std::vector<quint32> mGlyphs;
    std::vector<QPointF> mPositions;
};
