// SPDX-License-Identifier: GPL-3.0-or-later
// The selection of a point list as the tests compare it.
#pragma once

#include "misc/SObjectPoint.h"

#include <QStringList>

// Selected points as "p<id>" for object points and "c<id>" for projection centres, sorted.
inline QStringList selectedNames(const SObjectPointList &points)
{
    QStringList names;
    for (const SObjectPoint &p : points)
        if (p.isSelected())
            names << QStringLiteral("%1%2").arg(QLatin1Char(p.isProjectionCentre() ? 'c' : 'p')).arg(p.id());
    names.sort();
    return names;
}
