// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window: the quality statistics of the open block in tabs (Summary, Images,
// Control, Precision, Histograms), as sortable tables and charts. It shows what it is given and
// asks the main window, by signals, to show an image or a point.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class SHistogramChart;
class SStatisticsTableModel;

class SStatisticsWindow : public QWidget {
    Q_OBJECT
public:
    explicit SStatisticsWindow(QWidget *parent = nullptr);
    ~SStatisticsWindow() override;

    // Shows the statistics of a block; the project name goes into the title.
    void setStatistics(const SBlockStatistics &stats, const QString &projectName);
    // Empties every table and chart (no project open).
    void clear();

    QTabWidget *tabs() const { return mTabs; }
    QTableView *imageTable() const { return mImageTable; }
    QTableView *controlTable() const { return mAcceptedTable; }
    SHistogramChart *chart() const { return mChart; }

signals:
    void sigShowImage(int imageId);
    // A control point (projection centre false) or an observed projection centre.
    void sigShowPoint(int pointId, bool projectionCentre);

private:
    QWidget *buildSummaryTab();
    QWidget *buildImagesTab();
    QWidget *buildControlTab();
    QWidget *buildPrecisionTab();
    QWidget *buildHistogramsTab();
    QTableView *makeTable(SStatisticsTableModel *model);
    void showHistogram(int index);
    void _slotImageActivated(const QModelIndex &index);
    void _slotControlActivated(const QModelIndex &index);

    QTabWidget *mTabs = nullptr;
    SStatisticsTableModel *mSummaryModel = nullptr;
    SStatisticsTableModel *mImageModel = nullptr;
    SStatisticsTableModel *mAxisModel = nullptr;
    SStatisticsTableModel *mAcceptedModel = nullptr;
    SStatisticsTableModel *mRejectedModel = nullptr;
    SStatisticsTableModel *mPrecisionModel = nullptr;
    QTableView *mImageTable = nullptr;
    QTableView *mAcceptedTable = nullptr;
    QLabel *mImageNote = nullptr;
    QLabel *mControlNote = nullptr;
    QLabel *mPrecisionNote = nullptr;
    QLabel *mHistogramNote = nullptr;
    QComboBox *mHistogramChoice = nullptr;
    SHistogramChart *mChart = nullptr;
    std::vector<SHistogram> mHistograms; // the statistics' histograms, then the multiplicity
};
