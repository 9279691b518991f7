// SPDX-License-Identifier: GPL-3.0-or-later
// Whitespace-separated tokens of a text source, across lines, with the number of the line each
// came from, and the number conversions the text formats share.
#pragma once

#include "formats/STextSource.h"

#include <QString>

#include <cstdint>
#include <string_view>

class STokenStream {
public:
    explicit STokenStream(STextSource &source) : mSource(source) {}

    // The next token; false at the end of the text or on an error of the source.
    bool next(std::string_view *token);
    // Tokens of a line already taken from the source come first.
    void push(std::string_view line) { mRest = line; }
    // Line of the token last returned.
    qint64 line() const { return mSource.lineNumber(); }

private:
    STextSource &mSource;
    std::string_view mRest;
};

namespace STextNumber {
// The whole token as a finite double.
bool toDouble(std::string_view token, double *value);
// The whole token as a decimal integer.
bool toInt64(std::string_view token, int64_t *value);
// Splits a line at blanks and tabs; returns the number of fields found, at most max.
int split(std::string_view line, std::string_view *fields, int max);
// The token quoted for a message, shortened when long.
QString quoted(std::string_view token);
} // namespace STextNumber
