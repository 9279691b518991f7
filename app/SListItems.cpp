// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SListItems.h"

namespace {

constexpr int kImageListItemType = QTreeWidgetItem::UserType + 1;

int sign(long long d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

} // namespace

int compareNumericTexts(const QString &a, const QString &b)
{
    return sign(static_cast<long long>(a.toInt(nullptr, 10)) - b.toInt(nullptr, 10));
}

SImageListItem::SImageListItem(QTreeWidget *list, int imageId, int pointCount)
    : QTreeWidgetItem(list, kImageListItemType)
{
    setText(0, QString::number(imageId));
    setText(1, QString::number(pointCount));
}

bool SImageListItem::operator<(const QTreeWidgetItem &other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return compareNumericTexts(text(column), other.text(column)) < 0;
}
