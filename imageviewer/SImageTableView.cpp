// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageTableView.h"

#include "framework/Mu.h"
#include "imageviewer/SImageIcons.h"
#include "misc/SImageData.h"

#include <QHeaderView>

namespace {

// A row that sorts the point id as an integer and the measured values as numbers;
// the adjust status keeps the text order (" false" before " true").
class SImageTableItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return compare(other, column) < 0;
    }

    int compare(const QTreeWidgetItem &other, int column) const
    {
        const QString a = text(column);
        const QString b = other.text(column);
        if (column == SImageTableView::CO_PointId)
            return sign(a.toLongLong(), b.toLongLong());
        if (column >= SImageTableView::CO_CoordX && column <= SImageTableView::CO_Weight)
            return sign(a.toDouble(), b.toDouble());
        return sign(QString::compare(a, b), 0);
    }

private:
    template <typename T> static int sign(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }
};

} // namespace

SImageTableView::SImageTableView(QWidget *parent) : QTreeWidget(parent)
{
    Mu::debug("SImageTableView");
    setColumnCount(CO_Count);
    setHeaderLabels({Mu::tr("PointID"), Mu::tr("Coord X"), Mu::tr("Coord Y"), Mu::tr("Residual X"),
                     Mu::tr("Residual Y"), Mu::tr("Weight"), Mu::tr("Adjust Status")});
    headerItem()->setTextAlignment(CO_AdjustStatus, Qt::AlignCenter);
    setRootIsDecorated(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true); // thousands of rows stay quick to lay out
    header()->setSortIndicatorShown(true);
    setSortingEnabled(true);
    sortByColumn(CO_PointId, Qt::AscendingOrder);
}

SImageTableView::~SImageTableView() { Mu::debug("~SImageTableView"); }

void SImageTableView::setImageWhenShown(const SImage *image)
{
    if (isVisible()) {
        setImage(image);
        return;
    }
    mPendingImage = image;
    mPending = true;
    setCurrentItem(nullptr); // as refilling does: no point of the old image stays chosen
}

void SImageTableView::fillPending()
{
    if (mPending)
        setImage(mPendingImage);
}

void SImageTableView::showEvent(QShowEvent *event)
{
    fillPending();
    QTreeWidget::showEvent(event);
}

void SImageTableView::selectPoint(int id)
{
    fillPending();
    const QList<QTreeWidgetItem *> rows = findItems(QString::number(id), Qt::MatchExactly, CO_PointId);
    if (rows.isEmpty())
        return;
    setCurrentItem(rows.first());
    scrollToItem(rows.first());
}

int SImageTableView::currentPointId() const
{
    if (mPending)
        return -1;
    const QTreeWidgetItem *row = currentItem();
    return row ? row->text(CO_PointId).toInt() : -1;
}

void SImageTableView::setImage(const SImage *image)
{
    mPending = false;
    mPendingImage = nullptr;
    clear();

    const QPixmap &red = SImageIcons::redBall();
    const QPixmap &green = SImageIcons::greenBall();
    if (red.isNull())
        Mu::assertFailed("! pRedBall", "SImageTableView", __LINE__);
    if (green.isNull())
        Mu::assertFailed("! pGreenBall", "SImageTableView", __LINE__);
    const QIcon redIcon = red.isNull() ? QIcon() : QIcon(red);
    const QIcon greenIcon = green.isNull() ? QIcon() : QIcon(green);

    if (!image)
        return;

    // Sorting each inserted row would cost a re-sort per row; sort once at the end.
    const bool sorting = isSortingEnabled();
    setSortingEnabled(false);
    const QString activeText = QStringLiteral(" true");
    const QString blunderText = QStringLiteral(" false");
    QList<QTreeWidgetItem *> rows;
    rows.reserve(image->numberOfPoints());
    for (const SImagePointEntry &entry : image->points()) {
        const SImagePoint &point = entry.point;
        auto *row = new SImageTableItem();
        row->setText(CO_AdjustStatus, point.isActive() ? activeText : blunderText);
        row->setIcon(CO_AdjustStatus, point.isActive() ? greenIcon : redIcon);
        row->setTextAlignment(CO_AdjustStatus, Qt::AlignCenter);
        row->setText(CO_PointId, QString::number(entry.id));
        row->setTextAlignment(CO_PointId, Qt::AlignLeft | Qt::AlignVCenter);
        const float values[] = {point.x(), point.y(), point.vx(), point.vy(), point.weight()};
        for (int c = CO_CoordX; c <= CO_Weight; ++c) {
            row->setText(c, QString::number(double(values[c - CO_CoordX]), 'f', kDecimals));
            row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        rows.append(row);
    }
    addTopLevelItems(rows);
    setSortingEnabled(sorting);
}
