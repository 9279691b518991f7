// SPDX-License-Identifier: GPL-3.0-or-later
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
    // Writes the id in decimal on the stack, so that a pass over many points allocates nothing.
    bool matches(int id) const;

    static bool matches(QStringView id, QStringView pattern);

private:
    QString mPattern;
};
