// SPDX-License-Identifier: GPL-3.0-or-later
// The items of the project dock's image list, ordered by number rather than by text.
#pragma once

#include <QTreeWidgetItem>

// Image list: column 0 the image number, column 1 its number of points.
class SImageListItem : public QTreeWidgetItem {
public:
    SImageListItem(QTreeWidget *list, int imageId, int pointCount);
    bool operator<(const QTreeWidgetItem &other) const override;
};

// -1, 0 or 1 for the base-10 integers in two texts (a text that is no number counts as 0).
int compareNumericTexts(const QString &a, const QString &b);
