// The main window: its dock at start, the close dialog's semantics, and the project life
// cycle on projects that the test writes itself.
#include "Mu.h"
#include "MxCfg.h"
#include "PatbWriter.h"
#include "ProjectInfo.h"
#include "SCloseDialog.h"
#include "SImageViewer.h"
#include "SObjectViewer.h"
#include "Varlomin.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QDir>
#include <QCheckBox>
#include <QGroupBox>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

// Runs `answer` on the next modal dialog that comes up.
void onNextModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

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
    QByteArray c = observationRecord(OT_ControlZ, 1, 101, 31.0, 0.5, 0.1); // rejected: a blunder
    const ProjectFileNames names = projectFileNames(QStringLiteral("block"), QStringLiteral("camera.cam"));
    writeFile(dir + QStringLiteral("/block.(i)"), i);
    writeFile(dir + QStringLiteral("/block.(e)"), e);
    writeFile(dir + QStringLiteral("/block.(o)"), o);
    writeFile(dir + QStringLiteral("/block.(c)"), c);
    writeFile(dir + QStringLiteral("/camera.cam"), cameraRecord(7, -115, 115, 230, 230));
    writeFile(dir + QStringLiteral("/block.(p)"), projectFile(names));
    return dir + QStringLiteral("/block.(p)");
}

QStringList columnTexts(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir mDir;
    QStringList mWarnings;

private slots:
    void initTestCase()
    {
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Warn)
                mWarnings << text;
        });
    }

    void init()
    {
        Mx::CfgStore::clear();
        mWarnings.clear();
    }

    void emptyAtStart()
    {
        Varlomin window{QPixmap()};
        QCOMPARE(window.imageList()->topLevelItemCount(), 0);
        QCOMPARE(window.objectList()->topLevelItemCount(), 0);
        for (int row = 0; row < ProjectInfo::kRows; ++row)
            QVERIFY(window.projectInfo()->value(row).isEmpty());
        QVERIFY(window.projectFile().isEmpty());
        QCOMPARE(window.imageList()->headerItem()->text(1), QStringLiteral("# Coords"));
        QCOMPARE(window.objectList()->headerItem()->text(2), QStringLiteral("Blunder"));
    }


    void openFillsListsAndInfo()
    {
        qputenv("windir", mDir.path().toLocal8Bit()); // no Pat.ini there: camera beside the project
        const QString project = writeProject(mDir.path());
        Varlomin window{QPixmap()};
        window.openProject(project);
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(project));
        QCOMPARE(window.projectInfo()->value(6), QStringLiteral("0.850"));
        QCOMPARE(window.projectInfo()->value(7), QStringLiteral("1.250"));
        QCOMPARE(window.projectInfo()->value(8), QStringLiteral("3"));
        QCOMPARE(window.projectInfo()->value(9), QStringLiteral("12")); // 9 points + 3 centres
        QCOMPARE(window.projectInfo()->value(10), QStringLiteral("TRUE"));
        QCOMPARE(Mx::Cfg(QStringLiteral("Varlomin")).readString(QStringLiteral("Last project-file"), QString()),
                 window.projectFile());

        QTreeWidget *images = window.imageList();
        images->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(columnTexts(images, 1), (QStringList{"3", "9", "10"}));
        images->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(columnTexts(images, 0), (QStringList{"2", "9", "10"}));

        QTreeWidget *objects = window.objectList();
        objects->sortByColumn(1, Qt::AscendingOrder);
        const QStringList types = columnTexts(objects, 1);
        // By code number: control points (200, 500) before projection centres (900).
        QCOMPARE(types.indexOf(QStringLiteral("Vertical Control Point")), types.size() - 5);
        QCOMPARE(types.last(), QStringLiteral("Projection Centre"));
        objects->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(objects->topLevelItem(0)->text(0), QStringLiteral("101")); // the blunder first

        // Restoring placements with nothing saved: three object viewers and one image viewer.
        QCOMPARE(SImageViewer::viewers().size(), 1);
        for (int plane = 0; plane < 3; ++plane)
            QVERIFY(SObjectViewer::viewer(plane));

        // Expanding a point lists the images that measured it, once.
        QTreeWidgetItem *item = objects->findItems(QStringLiteral("102"), Qt::MatchExactly, 0).first();
        item->setExpanded(true);
        QCOMPARE(item->childCount(), 3);
        item->setExpanded(false);
        item->setExpanded(true);
        QCOMPARE(item->childCount(), 3);
    }

    void closeEmptiesEverything()
    {
        qputenv("windir", mDir.path().toLocal8Bit());
        Varlomin window{QPixmap()};
        window.openProject(writeProject(mDir.path()));
        QVERIFY(!SImageViewer::viewers().isEmpty());
        QAction *close = nullptr;
        for (QAction *a : window.menu(1)->actions())
            if (a->text() == QStringLiteral("&Close"))
                close = a;
        QVERIFY(close);
        close->trigger();
        QVERIFY(window.projectFile().isEmpty());
        QCOMPARE(window.images().count(), 0);
        QCOMPARE(window.objectPoints().count(), 0);
        QVERIFY(SImageViewer::viewers().isEmpty());
        QVERIFY(!SObjectViewer::viewer(0));
        for (int row = 0; row < ProjectInfo::kRows; ++row)
            QVERIFY(window.projectInfo()->value(row).isEmpty());
        QVERIFY(SImage::imagesOfPoint(100).isEmpty());
    }

    void keyboardTogglesAndViewers()
    {
        Varlomin window{QPixmap()};
        window.show();
        Mx::Cfg points(QStringLiteral("Points"));
        QTest::keyClick(&window, Qt::Key_N, Qt::ShiftModifier);
        QCOMPARE(points.readNum(QStringLiteral("PointOn_0"), -1), 1); // absent reads as off here
        QTest::keyClick(&window, Qt::Key_N, Qt::ShiftModifier);
        QCOMPARE(points.readNum(QStringLiteral("PointOn_0"), -1), 0);
        QTest::keyClick(&window, Qt::Key_L, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(!points.hasKey(QStringLiteral("PointOn_6")));

        QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
        SObjectViewer *xz = SObjectViewer::viewer(1);
        QVERIFY(xz);
        QTest::keyClick(&window, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(SObjectViewer::viewer(1), xz); // only focused
        QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!SObjectViewer::viewer(2));
        SObjectViewer::closeAll();
    }

    void closeDialogSemantics()
    {
        Varlomin window{QPixmap()};
        window.show();
        Mx::Cfg(QStringLiteral("Points")).writeEntry(QStringLiteral("PointOn_0"), 0);

        // "No" keeps the program running.
        onNextModal([](QWidget *) { Varlomin::closeDialog()->noButton()->click(); });
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());

        // "Yes" with the group box unchecked saves nothing, even with the inner box checked.
        const QString userFile = mDir.filePath(QStringLiteral("user.cfg"));
        Mx::CfgStore::setUserFile(userFile);
        onNextModal([](QWidget *) {
            SCloseDialog *d = Varlomin::closeDialog();
            d->preferencesBox()->setChecked(false);
            d->positionsBox()->setChecked(true);
            d->yesButton()->click();
        });
        QVERIFY(window.close());
        QVERIFY(!QFile::exists(userFile));

        // The next close shows the states chosen before; checking the group box saves.
        window.show();
        bool keptInner = false, keptOuter = true;
        onNextModal([&](QWidget *) {
            SCloseDialog *d = Varlomin::closeDialog();
            keptInner = d->positionsBox()->isChecked();
            keptOuter = d->preferencesBox()->isChecked();
            d->preferencesBox()->setChecked(true);
            d->yesButton()->click();
        });
        QVERIFY(window.close());
        QVERIFY(keptInner);
        QVERIFY(!keptOuter);
        QVERIFY(QFile::exists(userFile));
        Mx::CfgStore::clear();
        QVERIFY(Mx::CfgStore::load(userFile));
        QCOMPARE(Mx::Cfg(QStringLiteral("Points")).readNum(QStringLiteral("PointOn_0"), 1), 0);
        // Positions were asked for too: the object viewers' switches were written.
        QVERIFY(Mx::Cfg(QStringLiteral("ObjectViewer")).hasKey(QStringLiteral("ViewerOn_0")));
        QCOMPARE(Mx::Cfg(QStringLiteral("ImageViewer")).readNum(QStringLiteral("#Viewer"), -1), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
