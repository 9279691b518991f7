// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window: sorted tables that still name the right image and point, and its life
// with the main window (filled when a project opens, empty when it closes, points selected).
#include "app/Varlomin.h"
#include "objectviewer/SObjectViewer.h"
#include "patb/SPatbReader.h"
#include "statisticsviewer/SStatisticsWindow.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/StatisticsBlock.h"
#include "tests/common/StopHandler.h"

#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kProjectMenu = 1;
constexpr int kWindowMenu = 4;

// Double-clicks the first row of a table as it is sorted now.
void activateFirstRow(QTableView *table) { emit table->doubleClicked(table->model()->index(0, 0)); }

} // namespace

class TestStatisticsWindow : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;
    QString mProject;

private slots:
    void initTestCase() { mProject = StatisticsBlock::install(mDir.path()); }

    void sortedTablesNameTheirRows()
    {
        SProjectData data;
        StopHandler handler;
        SPatbReader(data, handler).readProjectFile(mProject);
        data.initialise();
        SStatisticsWindow window;
        window.setStatistics(computeBlockStatistics(data), QStringLiteral("p.(p)"));
        data.close();

        QSignalSpy images(&window, &SStatisticsWindow::sigShowImage);
        QTableView *table = window.imageTable();
        QCOMPARE(table->model()->rowCount(), 2);
        table->sortByColumn(5, Qt::AscendingOrder); // RMS |v|: image 2 (1.7) before image 1 (2.6)
        activateFirstRow(table);
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0][0].toInt(), 2);

        QSignalSpy points(&window, &SStatisticsWindow::sigShowPoint);
        QTableView *control = window.controlTable();
        control->sortByColumn(0, Qt::DescendingOrder); // point 105 first
        activateFirstRow(control);
        control->sortByColumn(0, Qt::AscendingOrder); // the observed centre of image 2 first
        activateFirstRow(control);
        QCOMPARE(points.size(), 2);
        QCOMPARE(points[0], (QList<QVariant>{105, false}));
        QCOMPARE(points[1], (QList<QVariant>{2, true}));

        window.clear();
        QCOMPARE(table->model()->rowCount(), 0);
    }

    void followsTheProject()
    {
        Varlomin main{QPixmap()};
        main.openProject(mProject);
        QAction *show = menuAction(main.menu(kWindowMenu), QStringLiteral("Statistics"));
        QVERIFY(show);
        show->trigger();
        auto *window = main.findChild<SStatisticsWindow *>();
        QVERIFY(window);
        QCOMPARE(window->imageTable()->model()->rowCount(), 2);

        // A control row selects its point in the object viewers, and nothing else.
        emit window->sigShowPoint(105, false);
        for (const SObjectPoint &p : main.objectPoints())
            QCOMPARE(p.isSelected(), p.id() == 105 && !p.isProjectionCentre());

        menuAction(main.menu(kProjectMenu), QStringLiteral("&Close"))->trigger();
        QCOMPARE(window->imageTable()->model()->rowCount(), 0);
        main.openProject(mProject);
        QCOMPARE(window->imageTable()->model()->rowCount(), 2);
    }
};

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
