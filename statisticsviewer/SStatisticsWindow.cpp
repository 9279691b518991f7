// SPDX-License-Identifier: GPL-3.0-or-later
#include "statisticsviewer/SStatisticsWindow.h"

#include "framework/Mu.h"
#include "misc/SGlobal.h"
#include "statistics/SStatisticsText.h"
#include "statisticsviewer/SHistogramChart.h"
#include "statisticsviewer/SStatisticsRows.h"
#include "statisticsviewer/SStatisticsTableModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QLabel *makeNote(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A page of a title line over a widget.
QWidget *page(QLabel *note, QWidget *content)
{
    auto *w = new QWidget;
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(note);
    layout->addWidget(content, 1);
    return w;
}

} // namespace

SStatisticsWindow::SStatisticsWindow(QWidget *parent) : QWidget(parent)
{
    Mu::debug("SStatisticsWindow");
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(tr("Statistics"));
    mTabs = new QTabWidget(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mTabs);
    mTabs->addTab(buildSummaryTab(), tr("&Summary"));
    mTabs->addTab(buildImagesTab(), tr("&Images"));
    mTabs->addTab(buildControlTab(), tr("&Control"));
    mTabs->addTab(buildPrecisionTab(), tr("&Precision"));
    mTabs->addTab(buildHistogramsTab(), tr("&Histograms"));
    resize(760, 520);
    clear();
}

SStatisticsWindow::~SStatisticsWindow() { Mu::debug("~SStatisticsWindow"); }

QTableView *SStatisticsWindow::makeTable(SStatisticsTableModel *model)
{
    auto *proxy = new QSortFilterProxyModel(model);
    proxy->setSourceModel(model);
    proxy->setSortRole(SStatisticsTableModel::kSortRole);
    auto *view = new QTableView;
    view->setModel(proxy);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder); // the statistics' own order until the user sorts
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

QWidget *SStatisticsWindow::buildSummaryTab()
{
    mSummaryModel = new SStatisticsTableModel(SStatisticsRows::summaryColumns(), this);
    QTableView *view = makeTable(mSummaryModel);
    view->setSortingEnabled(false);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QWidget *SStatisticsWindow::buildImagesTab()
{
    mImageModel = new SStatisticsTableModel(SStatisticsRows::imageColumns(3.0), this);
    mImageTable = makeTable(mImageModel);
    mImageTable->setToolTip(tr("Double-click an image to show it in an image viewer"));
    connect(mImageTable, &QTableView::doubleClicked, this, &SStatisticsWindow::_slotImageActivated);
    mImageNote = makeNote(this);
    return page(mImageNote, mImageTable);
}

QWidget *SStatisticsWindow::buildControlTab()
{
    mAxisModel = new SStatisticsTableModel(SStatisticsRows::axisColumns(), this);
    mAcceptedModel = new SStatisticsTableModel(SStatisticsRows::controlColumns(), this);
    mRejectedModel = new SStatisticsTableModel(SStatisticsRows::controlColumns(), this);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(makeTable(mAxisModel));
    mAcceptedTable = makeTable(mAcceptedModel);
    QTableView *rejected = makeTable(mRejectedModel);
    for (QTableView *table : {mAcceptedTable, rejected}) {
        table->setToolTip(tr("Double-click an observation to select its point in the object viewers"));
        connect(table, &QTableView::doubleClicked, this, &SStatisticsWindow::_slotControlActivated);
    }
    auto *acceptedTitle = new QLabel(tr("Accepted observations"));
    auto *rejectedTitle = new QLabel(tr("Rejected observations"));
    splitter->addWidget(page(acceptedTitle, mAcceptedTable));
    splitter->addWidget(page(rejectedTitle, rejected));
    splitter->setStretchFactor(1, 3);
    splitter->setStretchFactor(2, 1);
    mControlNote = makeNote(this);
    return page(mControlNote, splitter);
}

QWidget *SStatisticsWindow::buildPrecisionTab()
{
    mPrecisionModel = new SStatisticsTableModel(SStatisticsRows::precisionColumns(), this);
    mPrecisionNote = makeNote(this);
    return page(mPrecisionNote, makeTable(mPrecisionModel));
}

QWidget *SStatisticsWindow::buildHistogramsTab()
{
    mHistogramChoice = new QComboBox;
    mChart = new SHistogramChart;
    mHistogramNote = makeNote(this);
    connect(mHistogramChoice, &QComboBox::currentIndexChanged, this, &SStatisticsWindow::showHistogram);
    auto *w = new QWidget;
    auto *layout = new QVBoxLayout(w);
    layout->addWidget(mHistogramChoice);
    layout->addWidget(mChart, 1);
    layout->addWidget(mHistogramNote);
    return w;
}

void SStatisticsWindow::setStatistics(const SBlockStatistics &stats, const QString &projectName)
{
    setWindowTitle(tr("Statistics - %1").arg(projectName));
    mSummaryModel->setRows(SStatisticsRows::summaryRows(stats));
    // The threshold is in a column title.
    mImageModel->setColumns(SStatisticsRows::imageColumns(stats.residuals.threshold));
    mImageModel->setRows(SStatisticsRows::imageRows(stats.residuals));
    mImageNote->setText(SStatisticsRows::blockLine(stats.residuals));

    mAxisModel->setRows(SStatisticsRows::axisRows(stats.control));
    mAcceptedModel->setRows(SStatisticsRows::controlRows(stats.control.accepted));
    mRejectedModel->setRows(SStatisticsRows::controlRows(stats.control.rejected));
    mControlNote->setText(stats.control.population);
    mPrecisionModel->setRows(SStatisticsRows::precisionRows(stats.precision));
    mPrecisionNote->setText(stats.precision.note);

    mHistograms = stats.histograms;
    mHistograms.push_back(multiplicityHistogram(stats.multiplicity));
    const QSignalBlocker block(mHistogramChoice);
    mHistogramChoice->clear();
    for (const SHistogram &h : mHistograms)
        mHistogramChoice->addItem(h.name);
    showHistogram(0);
}

void SStatisticsWindow::clear()
{
    setWindowTitle(tr("Statistics"));
    for (SStatisticsTableModel *model :
         {mSummaryModel, mImageModel, mAxisModel, mAcceptedModel, mRejectedModel, mPrecisionModel})
        model->setRows({});
    for (QLabel *note : {mImageNote, mControlNote, mPrecisionNote, mHistogramNote})
        note->setText(tr("No project open."));
    mHistograms.clear();
    const QSignalBlocker block(mHistogramChoice);
    mHistogramChoice->clear();
    mChart->clear();
}

void SStatisticsWindow::showHistogram(int index)
{
    if (index < 0 || size_t(index) >= mHistograms.size()) {
        mChart->clear();
        return;
    }
    const SHistogram &h = mHistograms[size_t(index)];
    const bool rays = size_t(index) + 1 == mHistograms.size();
    mChart->showHistogram(h, rays ? 0 : 3);
    QString note = tr("%1 values of %2; %3.").arg(h.total).arg(h.population, h.rule);
    if (h.overflow > 0)
        note += tr(" %1 values above %2 not drawn.").arg(h.overflow).arg(formatValue(h.edges.back()));
    if (h.skipped > 0)
        note += tr(" %1 values not finite, left out.").arg(h.skipped);
    mHistogramNote->setText(note);
}

void SStatisticsWindow::_slotImageActivated(const QModelIndex &index)
{
    const auto *proxy = static_cast<const QSortFilterProxyModel *>(index.model());
    const int row = proxy->mapToSource(index).row();
    const QVariant id = mImageModel->value(row, SStatisticsRows::kImageIdColumn);
    if (id.isValid())
        emit sigShowImage(id.toInt());
}

void SStatisticsWindow::_slotControlActivated(const QModelIndex &index)
{
    const auto *proxy = static_cast<const QSortFilterProxyModel *>(index.model());
    const auto *model = static_cast<const SStatisticsTableModel *>(proxy->sourceModel());
    const int row = proxy->mapToSource(index).row();
    const QVariant id = model->value(row, SStatisticsRows::kControlIdColumn);
    const int code = model->value(row, SStatisticsRows::kControlCodeColumn).toInt();
    if (id.isValid())
        emit sigShowPoint(id.toInt(),
                          code == SGlobal::kCodeProjectionCentre || code == SGlobal::kCodeObservedProjectionCentre);
}
