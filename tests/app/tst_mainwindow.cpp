// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on projects that the test writes itself: the project life cycle, the close
// dialog, placements and the first layout, the zoom box, selections shown everywhere, the info
// tab, the docks and the preferences reaching their viewers.
#include "app/ProjectInfo.h"
#include "app/SCloseDialog.h"
#include "app/SObjectListModel.h"
#include "app/SWorkspaceLayout.h"
#include "app/Varlomin.h"
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"
#include "search/SSearchRequest.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/ResultFiles.h"
#include "tests/common/SelectedPoints.h"

#include <QDir>
#include <QImage>
#include <QItemSelectionModel>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <QCheckBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QPushButton>
#include <QStatusBar>
#include <functional>

namespace {

// A small project: images 10, 9 and 2 (9 has ten points, 10 has nine, so that the
// "# Coords" column must sort numerically), object points of several codes.
QString writeProject(const QString &dir)
{
    using namespace PatbWriter;
    QByteArray i, e;
    const int images[] = {10, 9, 2};
    const int counts[] = {9, 10, 3};
    for (int k = 0; k < 3; ++k) {
        i += imageHeader(images[k]);
        for (int p = 0; p < counts[k]; ++p)
            i += imagePoint(p == 0 && k == 0 ? 1 : 0, 100 + p, p * 1.5, -p * 2.0, 0.01 * p, 0.02, 1.0);
        i += imageTrailer();
        e += orientationRecord(images[k], 7, 1000.0 * k, 2000.0, 1500.0, 4.0, 9.0, 16.0);
    }
    QByteArray o = statisticsRecord(0.85, 1.25, kInversionDone);
    o += objectRecord(0, 100, 10, 20, 30, 1, 1, 1);
    o += objectRecord(200, 101, 11, 21, 31, 1, 1, 1);
    o += objectRecord(500, 102, 12, 22, 32, 1, 1, 1);
    for (int p = 3; p < 9; ++p)
        o += objectRecord(0, 100 + p, 10 + p, 20 + p, 30, 1, 1, 1);
    o += objectRecord(0, 150, 5, 5, 5, 1, 1, 1);                           // measured in no image
    QByteArray c = observationRecord(OT_ControlZ, 1, 101, 31.0, 0.5, 0.1); // rejected: a blunder
    writeFile(dir + QStringLiteral("/camera.cam"), cameraRecord(7, -115, 115, 230, 230));
    return writeResultFiles(dir, "block", i, e, o, c, "camera.cam");
}

QStringList columnTexts(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

QStringList columnTexts(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QMdiSubWindow *frameOf(QWidget *viewer) { return qobject_cast<QMdiSubWindow *>(viewer->parentWidget()); }

// What the screen shows of the widget now, as the backing store holds it (no repaint).
QImage onScreen(QWidget *widget)
{
    QWidget *top = widget->window();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    return top->screen()->grabWindow(top->winId(), at.x(), at.y(), widget->width(), widget->height()).toImage();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mDir;
    QString mProject;
    QStringList mWarnings, mInfos;

private slots:
    void initTestCase()
    {
        qputenv("windir", mDir.path().toLocal8Bit()); // no Pat.ini there: camera beside the project
        mProject = writeProject(mDir.path());
        Mu::setSink(
            [this](Mu::Level level, const QString &text) { (level == Mu::Level::Warn ? mWarnings : mInfos) << text; });
    }

    void init()
    {
        Mx::CfgStore::clear();
        mWarnings.clear();
        mInfos.clear();
    }

    void openFillsListsAndInfo()
    {
        const QString project = mProject;
        Varlomin window{QPixmap()};
        window.openProject(project);
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(project));
        QCOMPARE(window.projectInfo()->value(6), QStringLiteral("0.850"));
        QCOMPARE(window.projectInfo()->value(7), QStringLiteral("1.250"));
        QCOMPARE(window.projectInfo()->value(8), QStringLiteral("3"));
        QCOMPARE(window.projectInfo()->value(9), QStringLiteral("13")); // 10 points + 3 centres
        QCOMPARE(window.projectInfo()->value(10), QStringLiteral("TRUE"));
        QCOMPARE(Mx::Cfg(QStringLiteral("Varlomin")).readString(QStringLiteral("Last project-file"), QString()),
                 window.projectFile());

        QTreeWidget *images = window.imageList();
        images->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(columnTexts(images, 1), (QStringList{"3", "9", "10"}));
        images->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(columnTexts(images, 0), (QStringList{"2", "9", "10"}));

        QTreeView *objects = window.objectList();
        SObjectListModel *model = window.objectListModel();
        QCOMPARE(model->rowCount(), 13);
        objects->sortByColumn(1, Qt::AscendingOrder);
        const QStringList types = columnTexts(model, 1);
        // By code number: control points (200, 500) before projection centres (900).
        QCOMPARE(types.indexOf(QStringLiteral("Vertical Control Point")), types.size() - 5);
        QCOMPARE(types.last(), QStringLiteral("Projection Centre"));
        objects->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(columnTexts(model, 0).first(), QStringLiteral("101")); // the blunder first
        QVERIFY(!model->index(0, 2).data(Qt::DecorationRole).isNull()); // its ball

        // Restoring placements with nothing saved: three object viewers and one image viewer.
        QCOMPARE(SImageViewer::viewers().size(), 1);
        for (int plane = 0; plane < 3; ++plane)
            QVERIFY(SObjectViewer::viewer(plane));

        // Expanding a point lists the images that measured it, once.
        const QModelIndex item = model->indexOfPoint(102);
        objects->expand(item);
        QCOMPARE(model->rowCount(item), 3);
        QCOMPARE(model->index(0, 0, item).data().toString(), QStringLiteral("2")); // sorted image list
        objects->collapse(item);
        objects->expand(item);
        QCOMPARE(model->rowCount(item), 3);
        // Sorting keeps the children with their point.
        objects->sortByColumn(0, Qt::DescendingOrder);
        const QModelIndex moved = model->indexOfPoint(102);
        QCOMPARE(model->rowCount(moved), 3);
        QCOMPARE(model->parent(model->index(2, 0, moved)), moved);
        // A point seen by no image gets no children and loses its expander.
        const QModelIndex lonely = model->indexOfPoint(150);
        objects->expand(lonely);
        QVERIFY(!model->hasChildren(lonely));
    }

    void openOtherAfterAFailedReadInitialisesOnce()
    {
        const QString good = mProject;
        const QString corrupt = mDir.filePath(QStringLiteral("corrupt.(p)"));
        PatbWriter::writeFile(corrupt, "IMAGE_FILE: block.(i)\r\n"); // the other keys are missing
        Varlomin window{QPixmap()};
        window.show();
        QString chooserStart;
        window.setProjectFileChooser([&](QWidget *, const QString &start) {
            chooserStart = start;
            return good;
        });
        QString dialogText;
        answerNextModal<QMessageBox>([&](QMessageBox *box) {
            dialogText = box->text();
            clickButton(box, QStringLiteral("&Open other"));
        });
        window.openProject(corrupt);
        QVERIFY(dialogText.startsWith(QStringLiteral("Project file corrupt!")));
        QCOMPARE(chooserStart, QStringLiteral("./examples/")); // nothing opened before
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(good));
        QCOMPARE(window.images().count(), 3);
        QCOMPARE(SImageViewer::viewers().size(), 1); // initialised exactly once
        SImageViewer::closeAll();
        SObjectViewer::closeAll();
    }

    void placementsSavedAndRestored()
    {
        const QString project = mProject;
        Varlomin window{QPixmap()};
        window.show();
        window.openProject(project); // one image viewer and three object viewers
        window.createImageViewer(10);
        window.createImageViewer(10);
        const QList<QRect> frames = {QRect(5, 6, 300, 200), QRect(40, 50, 310, 210), QRect(70, 80, 320, 220)};
        for (int i = 0; i < 3; ++i)
            SImageViewer::viewers().at(i)->parentWidget()->setGeometry(frames[i]);
        SObjectViewer::viewer(1)->parentWidget()->close(); // XZ closed
        QTRY_VERIFY(!SObjectViewer::viewer(1));
        window.saveViewerPlacements();
        Mx::Cfg images(QStringLiteral("ImageViewer"));
        QCOMPARE(images.readNum(QStringLiteral("#Viewer"), -1), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(images.readRect(QStringLiteral("Geometry_%1").arg(i), QRect()), frames[i]);
        Mx::Cfg objects(QStringLiteral("ObjectViewer"));
        QCOMPARE(objects.readNum(QStringLiteral("ViewerOn_1"), -1), 0);
        QVERIFY(!objects.hasKey(QStringLiteral("Geometry_1")));

        // Reopening shows the first three images of the sorted list in those frames, XZ closed.
        window.openProject(project);
        QCOMPARE(SImageViewer::viewers().size(), 3);
        const int firstImages[] = {2, 9, 10};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(SImageViewer::viewers().at(i)->currentImageNumber(), firstImages[i]);
            QCOMPARE(SImageViewer::viewers().at(i)->parentWidget()->geometry(), frames[i]);
        }
        QVERIFY(SObjectViewer::viewer(0) && !SObjectViewer::viewer(1) && SObjectViewer::viewer(2));
        SImageViewer::closeAll();
        SObjectViewer::closeAll();
    }

    // Every showing of the close dialog focuses "Yes"; "No" keeps the program running; the
    // group box decides whether anything is saved, and the dialog remembers its boxes.
    void closeDialogSemantics()
    {
        Varlomin window{QPixmap()};
        window.show();
        Mx::Cfg(QStringLiteral("Points")).writeEntry(QStringLiteral("PointOn_0"), 0);
        int focusedYes = 0;
        const auto answer = [&focusedYes](const std::function<void(SCloseDialog *)> &act) {
            answerNextModal<SCloseDialog>([&focusedYes, act](SCloseDialog *) {
                SCloseDialog *d = Varlomin::closeDialog();
                focusedYes += d->focusWidget() == d->yesButton();
                act(d);
            });
        };
        answer([](SCloseDialog *d) {
            d->noButton()->setFocus(); // as if "No" was clicked
            d->noButton()->click();
        });
        QVERIFY(!window.close());
        QVERIFY(window.isVisible() && !window.closeAccepted());

        // "Yes" with the group box unchecked saves nothing, even with the inner box checked.
        const QString userFile = mDir.filePath(QStringLiteral("user.cfg"));
        Mx::CfgStore::setUserFile(userFile);
        answer([](SCloseDialog *d) {
            d->preferencesBox()->setChecked(false);
            d->positionsBox()->setChecked(true);
            d->yesButton()->click();
        });
        QVERIFY(window.close() && window.closeAccepted());
        QVERIFY(!QFile::exists(userFile));

        // The next close shows the states chosen before; checking the group box saves.
        window.show();
        bool keptInner = false, keptOuter = true;
        answer([&](SCloseDialog *d) {
            keptInner = d->positionsBox()->isChecked();
            keptOuter = d->preferencesBox()->isChecked();
            d->preferencesBox()->setChecked(true);
            d->yesButton()->click();
        });
        QVERIFY(window.close());
        QVERIFY(keptInner && !keptOuter);
        QCOMPARE(focusedYes, 3);
        Mx::CfgStore::clear();
        QVERIFY(Mx::CfgStore::load(userFile));
        QCOMPARE(Mx::Cfg(QStringLiteral("Points")).readNum(QStringLiteral("PointOn_0"), 1), 0);
        // Positions were asked for too: the object viewers' switches were written.
        QVERIFY(Mx::Cfg(QStringLiteral("ObjectViewer")).hasKey(QStringLiteral("ViewerOn_0")));
        QCOMPARE(Mx::Cfg(QStringLiteral("ImageViewer")).readNum(QStringLiteral("#Viewer"), -1), 0);
    }

    // Closing empties the model, the lists, the info and the viewers; caught on a real display
    // (xcb), where the lost repaint left the closed project's rows.
    void closeEmptiesEverything()
    {
        Varlomin window{QPixmap()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.openProject(mProject);
        QTreeWidget *list = window.imageList();
        QTest::qWait(50);
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        QCOMPARE(SImageViewer::viewers().size(), 2); // the double click opened one more
        menuAction(window.menu(1), QStringLiteral("&Close"))->trigger();
        QTest::qWait(50);
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(onScreen(list->viewport()), list->viewport()->grab().toImage());
        QVERIFY(window.projectFile().isEmpty());
        QCOMPARE(window.objectPoints().count(), 0);
        QVERIFY(SImageViewer::viewers().isEmpty() && !SObjectViewer::viewer(0));
        for (int row = 0; row < ProjectInfo::kRows; ++row)
            QVERIFY(window.projectInfo()->value(row).isEmpty());
        QVERIFY(SImage::imagesOfPoint(100).isEmpty());
    }

    void placementsKeepTheWindowState_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("maximised") << int(Qt::WindowMaximized);
        QTest::newRow("minimised") << int(Qt::WindowMinimized);
    }
    void placementsKeepTheWindowState()
    {
        QFETCH(int, state);
        Varlomin window{QPixmap()};
        window.resize(1200, 900);
        window.show();
        window.openProject(mProject);
        QMdiSubWindow *frame = frameOf(SImageViewer::viewers().first());
        const QRect normal(20, 30, 600, 420);
        frame->setGeometry(normal);
        state == Qt::WindowMaximized ? frame->showMaximized() : frame->showMinimized();
        QVERIFY(frame->geometry() != normal);
        window.saveViewerPlacements();
        Mx::Cfg cfg(QStringLiteral("ImageViewer"));
        QCOMPARE(cfg.readRect(SSettings::geometryKey(0), QRect()), normal);

        window.openProject(mProject); // closes and restores
        QMdiSubWindow *restored = frameOf(SImageViewer::viewers().first());
        QCOMPARE(bool(restored->windowState() & Qt::WindowState(state)), true);
        restored->showNormal();
        QCOMPARE(restored->geometry(), normal);
    }

    void firstLayoutFillsTheWorkspace()
    {
        Varlomin window{QPixmap()};
        window.resize(1366, 768);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.openProject(mProject);
        const QRect area = window.workspace()->viewport()->rect();
        const QList<QMdiSubWindow *> frames = window.workspace()->subWindowList();
        QCOMPARE(frames.size(), 4);
        int covered = 0;
        for (QMdiSubWindow *frame : frames) {
            QVERIFY(area.contains(frame->geometry()));
            covered += frame->width() * frame->height();
            for (QMdiSubWindow *other : frames)
                QVERIFY(frame == other || !frame->geometry().intersects(other->geometry()));
        }
        QCOMPARE(covered, area.width() * area.height());
        // A viewer opened later lies wholly inside the workspace.
        SImageViewer *later = window.createImageViewer(2);
        QVERIFY(area.contains(frameOf(later)->geometry()));
    }

    void gridCells_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("cell");
        QTest::newRow("one") << 1 << 0 << QRect(0, 0, 1000, 500);
        QTest::newRow("four: last") << 4 << 3 << QRect(500, 250, 500, 250);
        QTest::newRow("three: lone last row") << 3 << 2 << QRect(0, 250, 1000, 250);
        QTest::newRow("five: third of the first row") << 5 << 2 << QRect(666, 0, 334, 250);
        QTest::newRow("five: second of the last two") << 5 << 4 << QRect(500, 250, 500, 250);
    }
    void gridCells()
    {
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(QRect, cell);
        QCOMPARE(SWorkspaceLayout::gridCell(QRect(0, 0, 1000, 500), count, index), cell);
    }

    // A typed zoom hands the keyboard back to the canvas, so that the viewer's keys work.
    void typedZoomGivesTheFocusBack()
    {
        Varlomin window{QPixmap()};
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.openProject(mProject);
        SObjectViewer *objects = SObjectViewer::viewer(0);
        SImageViewer *images = SImageViewer::viewers().first();
        struct {
            QWidget *viewer;
            QSpinBox *spin;
            QWidget *view;
        } cases[] = {{objects, objects->zoomSpinBox(), objects->view()},
                     {images, images->zoomSpinBox(), images->graphicalView()}};
        for (const auto &c : cases) {
            frameOf(c.viewer)->showMaximized(); // room for every tool bar
            c.spin->setFocus();
            QVERIFY(c.spin->hasFocus());
            c.spin->selectAll();
            QTest::keyClicks(c.spin, QStringLiteral("200"));
            QTest::keyClick(c.spin, Qt::Key_Return);
            QCOMPARE(c.spin->value(), 200);
            QVERIFY(c.view->hasFocus());
        }
        QCOMPARE(objects->view()->zoomPercent(), 200);
    }

    void selectionShowsInEveryViewer()
    {
        Varlomin window{QPixmap()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.openProject(mProject);
        SObjectView *xy = SObjectViewer::viewer(0)->view();
        SObjectView *xz = SObjectViewer::viewer(1)->view();
        QTest::qWait(50);
        const QImage before = onScreen(xz->viewport());
        xy->canvas().selectPointsInRect(QRect(QPoint(0, 0), xy->canvas().canvasSize()), false);
        emit xy->sigSelectionChanged(); // as the band's release does
        QTest::qWait(50);
        // The other view shows the marks at once, not only after a repaint of its own.
        QVERIFY(onScreen(xz->viewport()) != before);
        QCOMPARE(onScreen(xz->viewport()), xz->viewport()->grab().toImage());
        const int all = int(window.objectPoints().count());
        const QString summary = SObjectViewer::selectionSummary(all, all);
        QCOMPARE(SObjectViewer::viewer(1)->statusBar()->currentMessage(), summary);
        QVERIFY(mInfos.contains(summary));

        // A search selection keeps no count, yet the count and the menu entry follow it.
        SObjectViewer::deselectPoints();
        SObjectViewer::selectPoints(
            SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_PointId, QStringLiteral("101"), QStringLiteral("102")));
        QCOMPARE(SObjectViewer::viewer(2)->statusBar()->currentMessage(), SObjectViewer::selectionSummary(2, all));
        QVERIFY(menuAction(xz->fillContextMenu(), QStringLiteral("Deselect all Points")));
    }

    void objectListRowsSelectPoints()
    {
        Varlomin window{QPixmap()};
        window.show();
        window.openProject(mProject);
        SObjectListModel *model = window.objectListModel();
        QItemSelectionModel *rows = window.objectList()->selectionModel();
        rows->select(model->indexOfPoint(101), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        rows->select(model->indexOfPoint(103), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(selectedNames(window.objectPoints()), (QStringList{"p101", "p103"}));
        QCOMPARE(window.objectPoints().selectedCount(), 2);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
