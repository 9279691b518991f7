// SPDX-License-Identifier: GPL-3.0-or-later
// A read-only table of statistics: typed columns, values kept as numbers so that a sort proxy
// orders them numerically (sortRole), shown as the program shows numbers (three decimals).
#pragma once

#include <QAbstractTableModel>
#include <QVariant>

#include <vector>

class SStatisticsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum ColumnKindE { CK_Count, CK_Value, CK_Text };
    struct Column {
        QString title;
        ColumnKindE kind;
    };
    using Row = std::vector<QVariant>;
    static constexpr int kSortRole = Qt::UserRole; // the raw value

    explicit SStatisticsTableModel(std::vector<Column> columns, QObject *parent = nullptr);

    // Replaces the columns (and keeps the rows).
    void setColumns(std::vector<Column> columns);
    // Replaces every row; an empty vector empties the table.
    void setRows(std::vector<Row> rows);
    // The raw value of a cell (a number or a text); invalid outside the table.
    QVariant value(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Column> mColumns;
    std::vector<Row> mRows;
};
