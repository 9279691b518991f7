// SPDX-License-Identifier: GPL-3.0-or-later
#include "statisticsviewer/SStatisticsTableModel.h"

#include "statistics/SStatisticsText.h"

SStatisticsTableModel::SStatisticsTableModel(std::vector<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), mColumns(std::move(columns))
{}

void SStatisticsTableModel::setColumns(std::vector<Column> columns)
{
    beginResetModel();
    mColumns = std::move(columns);
    endResetModel();
}

void SStatisticsTableModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    mRows = std::move(rows);
    endResetModel();
}

QVariant SStatisticsTableModel::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QVariant();
    const Row &r = mRows[size_t(row)];
    return size_t(column) < r.size() ? r[size_t(column)] : QVariant();
}

int SStatisticsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int SStatisticsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mColumns.size());
}

QVariant SStatisticsTableModel::data(const QModelIndex &index, int role) const
{
    const QVariant v = value(index.row(), index.column());
    if (!v.isValid())
        return QVariant();
    const ColumnKindE kind = mColumns[size_t(index.column())].kind;
    switch (role) {
    case kSortRole: return v;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(kind == CK_Text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    case Qt::DisplayRole:
        if (kind == CK_Value && v.typeId() == QMetaType::Double)
            return formatValue(v.toDouble());
        return v.toString();
    default: return QVariant();
    }
}

QVariant SStatisticsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return mColumns[size_t(section)].title;
}
