#include "SPatternMatch.h"

namespace {
const QChar kAnyOne(u'?');
const QChar kAnyRun(u'*');
} // namespace

bool SPatternMatch::matches(const QString &id) const { return matches(id, mPattern); }

bool SPatternMatch::matches(const QString &id, const QString &pattern)
{
    if (pattern.isEmpty())
        return false;
    const qsizetype idLength = id.size();
    const qsizetype patternLength = pattern.size();
    qsizetype i = 0; // position in the id
    qsizetype p = 0; // position in the pattern
    qsizetype star = -1; // most recent '*' in the pattern
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
