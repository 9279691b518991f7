// SPDX-License-Identifier: GPL-3.0-or-later
// Opening as users do (a file on the command line, the recent list, a drop) and following a
// project that is written again: the reload keeps the viewers, waits for a slow writer and
// keeps the project shown when the new files are damaged.
#include "app/SCommandLine.h"
#include "app/SProjectWatcher.h"
#include "app/SRecentProjects.h"
#include "app/SRecentProjectsMenu.h"
#include "app/SReloadBar.h"
#include "app/SReloadSummary.h"
#include "app/Varlomin.h"
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "patb/SProjectData.h"
#include "tests/common/ModalAnswer.h"
#include "tests/common/SelectedPoints.h"
#include "tools/BlockGenerator.h"
#include "tools/PatbWriter.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A generated block "demo" in dir; the seed changes coordinates, residuals and blunders.
QString writeBlock(const QString &dir, quint64 seed)
{
    BlockGenerator::Options options;
    options.imageCount = 8;
    options.pointCount = 120;
    options.seed = seed;
    options.outputDirectory = dir;
    options.name = QStringLiteral("demo");
    BlockGenerator generator(options);
    QString error;
    if (!generator.write(&error))
        qFatal("block not written: %s", qPrintable(error));
    return dir + QStringLiteral("/demo.(p)");
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
    QStringList mMessages;

private slots:
    void initTestCase()
    {
        Mu::setSink([this](Mu::Level, const QString &text) { mMessages << text; });
    }
    void init()
    {
        Mx::CfgStore::clear();
        mMessages.clear();
    }
    void cleanup()
    {
        SImageViewer::closeAll();
        SObjectViewer::closeAll();
    }

    void commandLineNamesTheProject_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("projectFile");
        QTest::newRow("file") << QStringList{"a.(p)"} << false << "a.(p)";
        QTest::newRow("-p and a file") << QStringList{"-p", "a.(p)"} << false << "a.(p)";
        QTest::newRow("no file") << QStringList{"-p"} << false << "";
        QTest::newRow("two files") << QStringList{"a.(p)", "b.(p)"} << true << "";
    }
    void commandLineNamesTheProject()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, error);
        QFETCH(QString, projectFile);
        const SCommandLine cl = SCommandLine::parse(QStringList{"varlomin"} + arguments);
        QCOMPARE(cl.mode == SCommandLine::Mode::Error, error);
        if (!error) {
            QCOMPARE(cl.mode, SCommandLine::Mode::Gui);
            QCOMPARE(cl.projectFile, projectFile);
        }
    }

    void recentListOrderLimitAndMissing()
    {
        QTemporaryDir dir;
        QStringList files;
        for (int i = 0; i < 10; ++i) {
            files << dir.filePath(QStringLiteral("p%1.(p)").arg(i));
            if (i != 8) // p8 is never written: a missing entry
                PatbWriter::writeFile(files.last(), QByteArray("x"));
        }
        const QString store = dir.filePath(QStringLiteral("Varlomin.recent"));
        {
            SRecentProjects recent(store);
            for (const QString &file : files)
                recent.add(file);
            recent.add(files[5]); // opened again: back on top, not twice
        }
        SRecentProjects recent(store); // read back from the file
        QCOMPARE(recent.entries(),
                 (QStringList{files[5], files[9], files[8], files[7], files[6], files[4], files[3], files[2]}));
        QVERIFY(QDir::isAbsolutePath(recent.entries().first()));

        SRecentProjectsMenu menu(recent);
        const QList<QAction *> actions = menu.actions();
        QVERIFY(actions[0]->isEnabled());
        QVERIFY2(!actions[2]->isEnabled(), "a project that no longer exists is greyed");
        QCOMPARE(recent.removeMissing(), 1);
        QVERIFY(!recent.entries().contains(files[8]));
        QCOMPARE(SRecentProjects(store).entries().size(), 7);
    }

    void fileArgumentAndDropOpenTheProject()
    {
        QTemporaryDir first, second;
        const QString a = writeBlock(first.path(), 1);
        const QString b = writeBlock(second.path(), 1);
        Varlomin window{QPixmap()};
        window.show();
        window.openProjectFile(QDir::current().relativeFilePath(a), false); // as typed in a shell
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(a));
        QCOMPARE(window.recentProjects().entries().first(), a);

        window.openProjectFile(first.filePath(QStringLiteral("missing.(p)")), true);
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(a));

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(b)});
        // A drop reaches the widget that accepted the drag's entering.
        auto dropOnWindow = [&] {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &drop);
        };
        bool asked = false;
        const auto answer = [&asked](const QString &button) {
            answerNextModal<QMessageBox>([&asked, button](QMessageBox *box) {
                asked = true;
                clickButton(box, button);
            });
        };
        answer(QStringLiteral("&No"));
        dropOnWindow();
        QTRY_VERIFY(asked);
        QCOMPARE(window.projectFile(), QDir::toNativeSeparators(a)); // "&No": the old project stays
        asked = false;
        answer(QStringLiteral("&Yes"));
        dropOnWindow();
        QTRY_COMPARE(window.projectFile(), QDir::toNativeSeparators(b));
        QVERIFY(asked);
        QCOMPARE(window.recentProjects().entries().mid(0, 2), (QStringList{b, a}));
    }

    void reloadSummaryCountsTheChanges()
    {
        // Image 2 holds points 100, 101, 102; `eliminated` names those not active there.
        auto project = [](const QList<int> &images, const QList<int> &eliminated, const QList<int> &points,
                          double sigma0) {
            auto data = std::make_unique<SProjectData>();
            for (int id : images) {
                auto *image = new SImage;
                image->setId(id);
                for (int point : {100, 101, 102})
                    image->addImagePoint(point, id != 2 || !eliminated.contains(point), 1, 1, 0, 0, 1);
                data->mListImageData.append(image);
            }
            for (int id : points)
                data->mListObjectData.append(SObjectPoint(id, 0, 1, 2, 3, 0, 0, 0));
            data->projectFiles = std::make_unique<ProjectFiles>();
            data->projectFiles->sigma0 = sigma0;
            return data;
        };
        const auto before = project({1, 2}, {101, 102}, {100, 101, 102}, 1.5);
        const auto after = project({2, 3}, {100}, {100, 101, 102, 103}, 1.25);
        const SReloadSummary s = SReloadSummary::compare(*before, *after);
        QCOMPARE(s.imagesAdded, QList<int>{3});
        QCOMPARE(s.imagesRemoved, QList<int>{1});
        QCOMPARE(s.pointsAdded, QList<int>{103});
        QCOMPARE(s.pointsRemoved, QList<int>{});
        QCOMPARE(s.imagePointsEliminated, 1);
        QCOMPARE(s.imagePointsRestored, 2);
        QCOMPARE(s.lines().first(), QStringLiteral("Sigma 0: 1.500 -> 1.250"));
    }

    void reloadKeepsViewersZoomImageAndSelection()
    {
        QTemporaryDir dir;
        const QString project = writeBlock(dir.path(), 1);
        Varlomin window{QPixmap()};
        window.resize(1200, 900);
        window.show();
        window.openProject(project);
        QVERIFY(!SImageViewer::viewers().isEmpty() && SObjectViewer::viewer(0));
        SImageViewer *imageViewer = SImageViewer::viewers().first();
        SObjectViewer *objectViewer = SObjectViewer::viewer(0);
        const int third = window.images().at(2)->id();
        imageViewer->slotSetImage(third);
        imageViewer->graphicalView()->slotZoom(400);
        imageViewer->graphicalView()->setContentsPos(QPoint(100, 80));
        objectViewer->view()->slotZoom(300);
        objectViewer->view()->scrollTo(QPoint(120, 90));
        const QPoint imageScroll = imageViewer->graphicalView()->contentsPos();
        const QPoint objectScroll = objectViewer->view()->scrollPosition();
        QVERIFY(imageScroll != QPoint() && objectScroll != QPoint());
        for (int at : {3, 7})
            window.objectPoints().setSelected(*window.objectPoints().at(at), true);
        const QStringList selected = selectedNames(window.objectPoints());
        window.objectPoints().setSelectedCount(2);
        const double sigmaBefore = window.projectFiles()->sigma0;

        writeBlock(dir.path(), 2);
        QTRY_VERIFY(window.reloadBar()->isVisible());
        QCOMPARE(window.reloadBar()->label()->text(), QStringLiteral("The result files changed on disk"));
        QVERIFY(window.reloadProject());
        QVERIFY(!window.reloadBar()->isVisible());

        QVERIFY(window.projectFiles()->sigma0 != sigmaBefore);
        QCOMPARE(SImageViewer::viewers(), QList<SImageViewer *>{imageViewer});
        QCOMPARE(SObjectViewer::viewer(0), objectViewer);
        QCOMPARE(imageViewer->currentImageNumber(), third);
        QCOMPARE(imageViewer->currentImage(), window.images().at(2));
        QCOMPARE(imageViewer->graphicalView()->zoom(), 400);
        QCOMPARE(imageViewer->graphicalView()->contentsPos(), imageScroll);
        QCOMPARE(objectViewer->view()->zoomPercent(), 300);
        QCOMPARE(objectViewer->view()->scrollPosition(), objectScroll);
        QCOMPARE(selectedNames(window.objectPoints()), selected);
        QCOMPARE(window.objectPoints().selectedCount(), 2);
        QVERIFY(mMessages.contains(QStringLiteral("Sigma 0: %1 -> %2")
                                       .arg(sigmaBefore, 0, 'f', 3)
                                       .arg(window.projectFiles()->sigma0, 0, 'f', 3)));
    }

    void damagedRewriteKeepsTheProjectShown()
    {
        QTemporaryDir dir;
        const QString project = writeBlock(dir.path(), 1);
        Varlomin window{QPixmap()};
        window.show();
        window.openProject(project);
        const int images = window.images().count();
        const int points = window.objectPoints().count();
        const int firstImage = window.images().first()->id();
        SImageViewer *imageViewer = SImageViewer::viewers().first();

        // The orientations now name an image that the image file does not have.
        PatbWriter::writeFile(dir.filePath(QStringLiteral("demo.(e)")),
                              PatbWriter::orientationRecord(99999, 1, 0, 0, 0, 0, 0, 0));
        QVERIFY(!window.reloadProject());
        QVERIFY2(window.lastReloadError().contains(QStringLiteral("60868")), qPrintable(window.lastReloadError()));
        QVERIFY(window.reloadBar()->isVisible());
        QVERIFY(window.reloadBar()->label()->text().contains(window.lastReloadError()));
        QCOMPARE(window.images().count(), images);
        QCOMPARE(window.objectPoints().count(), points);
        QCOMPARE(SImageList::find(firstImage), window.images().first());
        // The class-wide point index answers from the project shown again.
        int pointId = -1, measuredIn = 0;
        for (int i = 0; i < window.objectPoints().count() && measuredIn == 0; ++i) {
            pointId = window.objectPoints().at(i)->id();
            for (const SImage *image : window.images())
                measuredIn += image->hasImagePoint(pointId) ? 1 : 0;
        }
        QVERIFY(measuredIn > 0);
        QCOMPARE(SImage::numberOfLinks(pointId), measuredIn);
        QCOMPARE(imageViewer->currentImage(), window.images().first());
        QVERIFY(std::any_of(mMessages.cbegin(), mMessages.cend(), [](const QString &m) {
            return m.startsWith(QStringLiteral("Reloading <b>demo.(p)</b> failed"));
        }));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
