// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/STokenStream.h"

#include <charconv>
#include <cmath>

namespace {

constexpr size_t kQuoteMax = 40;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skipBlanks(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

} // namespace

bool STokenStream::next(std::string_view *token)
{
    for (;;) {
        mRest = skipBlanks(mRest);
        if (!mRest.empty()) {
            size_t end = 0;
            while (end < mRest.size() && !isBlank(mRest[end]))
                ++end;
            *token = mRest.substr(0, end);
            mRest = mRest.substr(end);
            return true;
        }
        if (!mSource.nextLine(&mRest))
            return false;
    }
}

namespace STextNumber {

bool toDouble(std::string_view token, double *value)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    const auto result = std::from_chars(token.data(), token.data() + token.size(), *value);
    return result.ec == std::errc() && result.ptr == token.data() + token.size() && std::isfinite(*value);
}

bool toInt64(std::string_view token, int64_t *value)
{
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    const auto result = std::from_chars(token.data(), token.data() + token.size(), *value);
    return result.ec == std::errc() && result.ptr == token.data() + token.size();
}

int split(std::string_view line, std::string_view *fields, int max)
{
    int n = 0;
    line = skipBlanks(line);
    while (!line.empty() && n < max) {
        size_t end = 0;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        fields[n++] = line.substr(0, end);
        line = skipBlanks(line.substr(end));
    }
    return n;
}

QString quoted(std::string_view token)
{
    const bool longToken = token.size() > kQuoteMax;
    const QString text = QString::fromUtf8(token.data(), qsizetype(std::min(token.size(), kQuoteMax)));
    return QLatin1Char('\'') + text + (longToken ? QStringLiteral("...'") : QStringLiteral("'"));
}

} // namespace STextNumber
