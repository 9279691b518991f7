// Wildcard matching of ids against a search pattern: '?' stands for exactly one
// character, '*' for any run of characters (none included), every other character for
// itself. The whole id must match the whole pattern.
#pragma once

#include <QString>

class SPatternMatch {
public:
    explicit SPatternMatch(const QString &pattern) : mPattern(pattern) {}

    QString pattern() const { return mPattern; }
    // An empty pattern matches nothing.
    bool matches(const QString &id) const;
    bool matches(int id) const { return matches(QString::number(id)); }

    static bool matches(const QString &id, const QString &pattern);

private:
    QString mPattern;
};
