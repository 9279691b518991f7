// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SPatternMatch.h"

namespace {
const QChar kAnyOne(u'?');
const QChar kAnyRun(u'*');
constexpr qsizetype kMaxIdDigits = 11; // sign and ten digits of the most negative int
} // namespace

bool SPatternMatch::matches(const QString &id) const { return matches(QStringView(id), QStringView(mPattern)); }

bool SPatternMatch::matches(int id) const
{
    char16_t text[kMaxIdDigits];
    qsizetype end = kMaxIdDigits;
    // Digits from the last; unsigned arithmetic keeps the most negative int exact.
    unsigned magnitude = id < 0 ? 0u - unsigned(id) : unsigned(id);
    do {
        text[--end] = char16_t(u'0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0u);
    if (id < 0)
        text[--end] = u'-';
    return matches(QStringView(text + end, kMaxIdDigits - end), QStringView(mPattern));
}

bool SPatternMatch::matches(QStringView id, QStringView pattern)
{
    if (pattern.isEmpty())
        return false;
    const qsizetype idLength = id.size();
    const qsizetype patternLength = pattern.size();
    qsizetype i = 0;      // position in the id
    qsizetype p = 0;      // position in the pattern
    qsizetype star = -1;  // most recent '*' in the pattern
    qsizetype resume = 0; // id position where the text after that '*' was last tried
    while (i < idLength) {
        if (p < patternLength && (pattern[p] == kAnyOne || pattern[p] == id[i])) {
            ++i;
            ++p;
        } else if (p < patternLength && pattern[p] == kAnyRun) {
            star = p++;
            resume = i;
        } else if (star >= 0) {
            // Let the last '*' swallow one more character and try again from there.
            p = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == kAnyRun)
        ++p;
    return p == patternLength;
}
