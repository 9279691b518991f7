// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SObjectListModel.h"

#include "framework/Mu.h"
#include "misc/SGlobal.h"
#include "misc/SObjectPoint.h"

#include <algorithm>
#include <numeric>

namespace {

// The two balls are made once per process, at the first object item.
void makeBalls(const QPixmap *balls[2])
{
    static const QPixmap *pRedBall = nullptr;
    static const QPixmap *pGreenBall = nullptr;
    static bool made = false;
    if (!made) {
        made = true;
        const QPixmap red(QStringLiteral(":/images/ball-red.png"));
        const QPixmap green(QStringLiteral(":/images/ball-green.png"));
        if (!red.isNull())
            pRedBall = new QPixmap(red);
        if (!green.isNull())
            pGreenBall = new QPixmap(green);
        MU_CHECK(pRedBall, "Varlomin");
        MU_CHECK(pGreenBall, "Varlomin");
    }
    balls[0] = pRedBall;
    balls[1] = pGreenBall;
}

template <typename T> int sign(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

int SObjectListItem::compare(const SObjectListItem &a, const SObjectListItem &b, int column)
{
    switch (column) {
    case 0: return sign(a.pointId, b.pointId);
    case 1: return sign(a.code, b.code);
    case 2: return sign(int(a.active), int(b.active));
    default: return 0;
    }
}

SObjectListModel::SObjectListModel(QObject *parent) : QAbstractItemModel(parent) {}

void SObjectListModel::setPoints(const SObjectPointList &points)
{
    beginResetModel();
    mItems.clear();
    mChildren.clear();
    mItems.reserve(size_t(points.count()));
    for (const SObjectPoint &p : points)
        mItems.push_back({p.id(), p.code(), p.isActive()});
    mOrder.resize(mItems.size());
    std::iota(mOrder.begin(), mOrder.end(), 0);
    mRowOf = mOrder;
    if (!mItems.empty())
        makeBalls(mBall);
    endResetModel();
}

void SObjectListModel::clear()
{
    beginResetModel();
    mItems = {};
    mOrder = {};
    mRowOf = {};
    mChildren.clear();
    endResetModel();
}

const SObjectListItem *SObjectListModel::item(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() != kTopLevel || size_t(index.row()) >= mOrder.size())
        return nullptr;
    return &mItems[size_t(mOrder[size_t(index.row())])];
}

QModelIndex SObjectListModel::indexOfPoint(int pointId) const
{
    for (size_t i = 0; i < mItems.size(); ++i)
        if (mItems[i].pointId == pointId)
            return createIndex(mRowOf[i], 0, kTopLevel);
    return {};
}

bool SObjectListModel::childrenKnown(const QModelIndex &index) const
{
    return item(index) && mChildren.contains(mOrder[size_t(index.row())]);
}

void SObjectListModel::setChildren(const QModelIndex &index, const std::vector<int> &imageIds)
{
    if (!item(index) || childrenKnown(index))
        return;
    const int it = mOrder[size_t(index.row())];
    if (imageIds.empty()) {
        mChildren.insert(it, {});
        emit dataChanged(index, index); // the expander goes away
        return;
    }
    beginInsertRows(index, 0, int(imageIds.size()) - 1);
    mChildren.insert(it, imageIds);
    endInsertRows();
}

QModelIndex SObjectListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return {};
    if (!parent.isValid())
        return size_t(row) < mOrder.size() ? createIndex(row, column, kTopLevel) : QModelIndex();
    if (parent.internalId() != kTopLevel)
        return {};
    const int it = mOrder[size_t(parent.row())];
    const auto children = mChildren.constFind(it);
    if (children == mChildren.cend() || size_t(row) >= children->size())
        return {};
    return createIndex(row, column, quintptr(it) + 1);
}

QModelIndex SObjectListModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kTopLevel)
        return {};
    const size_t it = size_t(child.internalId() - 1);
    return createIndex(mRowOf[it], 0, kTopLevel);
}

int SObjectListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(mOrder.size());
    if (parent.internalId() != kTopLevel || parent.column() != 0)
        return 0;
    const auto children = mChildren.constFind(mOrder[size_t(parent.row())]);
    return children == mChildren.cend() ? 0 : int(children->size());
}

int SObjectListModel::columnCount(const QModelIndex &) const { return 3; }

bool SObjectListModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return !mOrder.empty();
    if (parent.internalId() != kTopLevel || parent.column() != 0)
        return false;
    // Unknown children show the expander, as for any point until it is opened.
    const auto children = mChildren.constFind(mOrder[size_t(parent.row())]);
    return children == mChildren.cend() || !children->empty();
}

QVariant SObjectListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() != kTopLevel) {
        if (role != Qt::DisplayRole || index.column() != 0)
            return {};
        return QString::number(mChildren.value(int(index.internalId() - 1)).at(size_t(index.row())));
    }
    const SObjectListItem *it = item(index);
    if (!it)
        return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return QString::number(it->pointId);
        if (index.column() == 1)
            return Mu::tr(pointCodeName(pointCodeIndex(it->code), false));
    }
    if (role == Qt::DecorationRole && index.column() == 2)
        if (const QPixmap *ball = mBall[it->active ? 1 : 0])
            return *ball;
    return {};
}

QVariant SObjectListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const char *titles[] = {"Point-ID", "Point-Type", "Blunder"};
    return section >= 0 && section < 3 ? Mu::tr(titles[section]) : QVariant();
}

void SObjectListModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> items; // the item behind each persistent top-level index
    items.reserve(size_t(before.size()));
    for (const QModelIndex &i : before)
        items.push_back(i.internalId() == kTopLevel ? mOrder[size_t(i.row())] : -1);

    std::stable_sort(mOrder.begin(), mOrder.end(), [this, column, order](int a, int b) {
        const int c = SObjectListItem::compare(mItems[size_t(a)], mItems[size_t(b)], column);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    for (size_t row = 0; row < mOrder.size(); ++row)
        mRowOf[size_t(mOrder[row])] = int(row);

    QModelIndexList after;
    after.reserve(before.size());
    for (int k = 0; k < before.size(); ++k)
        after << (items[size_t(k)] < 0 ? before[k]
                                       : createIndex(mRowOf[size_t(items[size_t(k)])], before[k].column(), kTopLevel));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
