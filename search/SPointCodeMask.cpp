// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SPointCodeMask.h"

namespace {
const QChar kChosen(u'1');
const QChar kNotChosen(u'0');
} // namespace

SPointCodeMask::SPointCodeMask(const QString &mask)
{
    for (int i = 0; i < SGlobal::kPointCodeIndexCount && i < mask.size(); ++i)
        mChosen[i] = mask[i] == kChosen;
}

bool SPointCodeMask::chosen(int pointCodeIndex) const
{
    return pointCodeIndex >= 0 && pointCodeIndex < SGlobal::kPointCodeIndexCount && mChosen[pointCodeIndex];
}

QString SPointCodeMask::toText(const std::array<bool, SGlobal::kPointCodeIndexCount> &chosen)
{
    QString text;
    for (bool on : chosen)
        text.append(on ? kChosen : kNotChosen);
    return text;
}
