// SPDX-License-Identifier: GPL-3.0-or-later
// The object list of the project dock as a model: one row per object point (id, point
// type, blunder ball), children (the images that measured the point) made on demand.
// A block has up to millions of points, so rows are small records, not widgets.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QPixmap>
#include <vector>

class SObjectPointList;

// One row: the point id, its PAT-B code and whether it is active (false marks a blunder).
struct SObjectListItem {
    int pointId;
    int code;
    bool active;

    // Column 0 by id, 1 by code (the number, not the name), 2 by the active flag (false
    // first); -1, 0 or 1. Any other column compares equal.
    static int compare(const SObjectListItem &a, const SObjectListItem &b, int column);
};

class SObjectListModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit SObjectListModel(QObject *parent = nullptr);

    void setPoints(const SObjectPointList &points);
    void clear();

    // The item shown in a top-level row, or null.
    const SObjectListItem *item(const QModelIndex &index) const;
    QModelIndex indexOfPoint(int pointId) const;
    bool childrenKnown(const QModelIndex &index) const;
    // Gives a top-level row its children, once.
    void setChildren(const QModelIndex &index, const std::vector<int> &imageIds);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    static constexpr quintptr kTopLevel = 0; // internal id of top-level rows; children: item + 1

    std::vector<SObjectListItem> mItems;          // in list order
    std::vector<int> mOrder;                      // shown row -> item
    std::vector<int> mRowOf;                      // item -> shown row
    QHash<int, std::vector<int>> mChildren;       // item -> image ids
    const QPixmap *mBall[2] = {nullptr, nullptr}; // red, green
};
