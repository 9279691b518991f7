// SPDX-License-Identifier: GPL-3.0-or-later
// The "Table View" tab: one row per image point of the current image, sortable by
// clicking a header, numbers compared as numbers.
#pragma once

#include <QTreeWidget>

class SImage;

class SImageTableView : public QTreeWidget {
    Q_OBJECT

public:
    enum ColumnE {
        CO_PointId = 0,
        CO_CoordX,
        CO_CoordY,
        CO_ResidualX,
        CO_ResidualY,
        CO_Weight,
        CO_AdjustStatus,
        CO_Count
    };
    static constexpr int kDecimals = 3;

    explicit SImageTableView(QWidget *parent = nullptr);
    ~SImageTableView() override;

    // Refills the table from the image; null empties it. The view never owns the image.
    void setImage(const SImage *image);
    // The same, but while the table is hidden (another tab is current) only once it is shown
    // or asked to select a point: filling thousands of rows is most of the cost of moving to
    // another image. The image must live until then or until the next call.
    void setImageWhenShown(const SImage *image);
    // Makes the row of the point the current one (the table allows no selection) and shows it.
    void selectPoint(int id);
    // The point of the current row; -1 when there is none (or the rows are still to be filled).
    int currentPointId() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillPending();

    const SImage *mPendingImage = nullptr;
    bool mPending = false;
};
