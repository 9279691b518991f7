// SPDX-License-Identifier: GPL-3.0-or-later
// The point-code choice of a search: one character per point-code index, "1" where the
// index is chosen. A shorter text chooses nothing beyond its end.
#pragma once

#include "misc/SGlobal.h"

#include <QString>
#include <array>

class SPointCodeMask {
public:
    explicit SPointCodeMask(const QString &mask);

    bool chosen(int pointCodeIndex) const;
    // The text form that the search tab sends.
    static QString toText(const std::array<bool, SGlobal::kPointCodeIndexCount> &chosen);

private:
    std::array<bool, SGlobal::kPointCodeIndexCount> mChosen{};
};
