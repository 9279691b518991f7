// SPDX-License-Identifier: GPL-3.0-or-later
// The image viewer window, its table and info views, its settings pass, the
// class-wide operations and the command-line picture export.
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageExport.h"
#include "imageviewer/SImageInfoView.h"
#include "imageviewer/SImageMapping.h"
#include "imageviewer/SImageTableView.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "prefs/SSettings.h"
#include "tests/imageviewer/ImageFixtures.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <QSpinBox>
#include <memory>

using namespace ImageFixtures;

class TestSImageViewer : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        qRegisterMetaType<SImage *>();
        Mx::CfgStore::clear();
        mMessages.clear();
        mLogDir = std::make_unique<QTemporaryDir>();
        QVERIFY(Mu::openLogFile(mLogDir->filePath(QStringLiteral("test.log"))));
        Mu::setSink([this](Mu::Level, const QString &text) { mMessages << text; });
        // Images 3, 5, 8 with a few points each.
        const int ids[] = {3, 5, 8};
        for (int id : ids) {
            SImage *image = makeImage(id, 0.0f, 0.0f, 2000.0f, 1000.0f);
            image->addImagePoint(100 + id, true, 500.0f, 500.0f, 0.01f, -0.02f, 1.0f);
            image->addImagePoint(200, false, 1500.0f, 250.0f, 0.5f, 0.5f, 2.0f);
            image->setProjectionCentre(id, 1000.5f, 2000.25f, 300.0f, 0.1f, 0.2f, 0.3f);
            mImages.append(image);
        }
    }

    void cleanup()
    {
        SImageViewer::closeAll();
        SImage::clearPointIndex();
        mImages.clear();
        Mu::setSink(nullptr);
        Mu::closeLogFile();
        mLogDir.reset();
    }

    void noWrapAround()
    {
        auto *viewer = new SImageViewer(&mImages, nullptr, 8);
        const QList<QPair<const char *, int>> steps{
            {"slotNavNext", 8}, {"slotNavPrev", 5}, {"slotNavFirst", 3}, {"slotNavPrev", 3}, {"slotNavLast", 8}};
        for (const auto &[slot, expected] : steps) {
            QMetaObject::invokeMethod(viewer, slot);
            QCOMPARE(viewer->currentImageNumber(), expected);
        }
        QCOMPARE(viewer->graphicalView()->image(), mImages.at(2));
        // The table, filled once its tab is shown, holds the rows of the image shown.
        viewer->show();
        SImageTableView *table = viewer->tableView();
        qobject_cast<QTabWidget *>(table->parentWidget()->parentWidget())->setCurrentWidget(table);
        QCOMPARE(table->topLevelItemCount(), 2);
        QCOMPARE(table->topLevelItem(0)->text(SImageTableView::CO_PointId), QStringLiteral("108"));
    }

    void zoomControls()
    {
        auto *viewer = new SImageViewer(&mImages, nullptr, 3);
        SImageView *view = viewer->graphicalView();
        view->slotZoom(10);
        QVERIFY(!viewer->zoomOutAction()->isEnabled());
        QVERIFY(viewer->zoomInAction()->isEnabled());
        QCOMPARE(viewer->zoomSpinBox()->value(), 10);
        viewer->zoomSpinBox()->setValue(250);
        QCOMPARE(view->zoom(), 250);
        view->slotZoom(SImageView::kZoomMax);
        QVERIFY(!viewer->zoomInAction()->isEnabled());

        viewer->fixedZoomAction(0)->trigger();
        QCOMPARE(view->zoom(), 400);
        viewer->zoomOutAction()->trigger();
        QCOMPARE(view->zoom(), 390);
    }

    void settingsDefaultsFromEmptyConfiguration()
    {
        auto *viewer = new SImageViewer(&mImages, nullptr, 3);
        SImageView *view = viewer->graphicalView();
        QCOMPARE(view->canvas().residualScale(), 1000.0f);
        QVERIFY(!view->canvas().pointIdsOn());
        QVERIFY(logged(QStringLiteral("applyPrefs: 0")));

        // A black circle of 7 pixels on white where the mapping puts the point; being the
        // only active point it carries the red largest-residual circle of 7 + 2 x 2 pixels.
        const SImage *image = mImages.at(0);
        const SImageMapping map(image->xmin(), image->ymin(), image->xmax(), image->ymax(), 100);
        const QImage canvas = paintedCanvas(view->canvas());
        const QPoint at = map.toCanvas(500.0f, 500.0f);
        QCOMPARE(canvas.pixelColor(at + QPoint(3, 0)), QColor(Qt::black));
        QCOMPARE(canvas.pixelColor(at + QPoint(5, 0)), QColor(Qt::red));
        QCOMPARE(canvas.pixelColor(at + QPoint(7, 0)), QColor(Qt::white));
        // The blunder (id 200) stays hidden.
        QCOMPARE(canvas.pixelColor(map.toCanvas(1500.0f, 250.0f)), QColor(Qt::white));
    }

    void settingsPassKeepsToggles()
    {
        auto *viewer = new SImageViewer(&mImages, nullptr, 3);
        SImageView *view = viewer->graphicalView();
        view->slotToggleResiduals(VM_Graphical);
        view->slotToggleShowLinkCount();
        view->slotTogglePointIds();

        Mx::Cfg cfg(SSettings::kGroupImageViewer);
        cfg.writeEntry(SSettings::kBgColor, QColor(10, 20, 30));
        cfg.writeEntry(SSettings::kScale, 250);
        cfg.writeEntry(SSettings::kBlundersOn, 1);
        cfg.beginGroup(SSettings::kGroupPoints);
        cfg.writeEntry(SSettings::pointSizeKey(0), 11);
        SImageViewer::applyPrefsToAll();

        QCOMPARE(view->canvas().backgroundColor(), QColor(10, 20, 30));
        QCOMPARE(view->canvas().residualScale(), 250.0f);
        QVERIFY(view->canvas().blundersOn());
        QVERIFY(!view->canvas().pointIdsOn()); // comes from the settings again
        QVERIFY(view->canvas().residualsOn(VM_Graphical));
        QVERIFY(view->canvas().linkCountOn());
        QVERIFY(logged(QStringLiteral("applyPrefs: 1")));
    }

    void tableSorting_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QList<int>>("order"); // point ids top to bottom, ascending
        QTest::newRow("PointID as integers") << int(SImageTableView::CO_PointId) << QList<int>{9, 10, 100};
        QTest::newRow("Residual X as numbers") << int(SImageTableView::CO_ResidualX) << QList<int>{10, 100, 9};
        QTest::newRow("Adjust Status as text") << int(SImageTableView::CO_AdjustStatus) << QList<int>{100, 9, 10};
    }
    void tableSorting()
    {
        QFETCH(int, column);
        QFETCH(QList<int>, order);
        std::unique_ptr<SImage> image(makeImage(1, 0, 0, 100, 100));
        image->addImagePoint(10, true, 1.0f, 2.0f, -2.5f, 0.0f, 12.0f);
        image->addImagePoint(9, true, 1.0f, 2.0f, 10.0f, 0.0f, 3.0f);
        image->addImagePoint(100, false, 1.0f, 2.0f, 1.0f, 0.0f, 2.5f);
        SImageTableView table;
        table.setImage(image.get());
        table.sortByColumn(column, Qt::AscendingOrder);
        QList<int> ids;
        for (int row = 0; row < table.topLevelItemCount(); ++row)
            ids << table.topLevelItem(row)->text(SImageTableView::CO_PointId).toInt();
        QCOMPARE(ids, order);
    }

    void exportWritesCanvas()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("image5.png"));
        QString error;
        const QWidgetList widgetsBefore = QApplication::allWidgets();
        QVERIFY2(exportImagePicture(mImages, 5, file, 100, {QStringLiteral("blunders")}, &error), qPrintable(error));
        QCOMPARE(QApplication::allWidgets(), widgetsBefore); // the canvas paints without a widget

        QImage picture(file);
        QCOMPARE(picture.size(), QSize(580, 330)); // extent 2000 x 1000 at 100 %
        const SImage *image = mImages.at(1);
        const SImageMapping map(image->xmin(), image->ymin(), image->xmax(), image->ymax(), 100);
        QCOMPARE(picture.pixelColor(map.toCanvas(500.0f, 500.0f)), QColor(Qt::black));
        // With blunders shown, the blunder's red disc shows around its symbol.
        QCOMPARE(picture.pixelColor(map.toCanvas(1500.0f, 250.0f) + QPoint(4, 0)), QColor(Qt::red));
        QCOMPARE(picture.pixelColor(QPoint(300, 100)), QColor(Qt::white));
    }

    void exportRefusesBadInput_data()
    {
        QTest::addColumn<int>("imageId");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QStringList>("show");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown image") << 77 << "a.png" << 100 << QStringList{} << "Image 77 is not in the project.";
        QTest::newRow("unknown show word") << 3 << "a.png" << 100 << QStringList{"ids", "sigmas"} << "'sigmas'";
        QTest::newRow("zoom too small") << 3 << "a.png" << 5 << QStringList{} << "Zoom 5 %";
        QTest::newRow("unknown format") << 3 << "a.bmp" << 100 << QStringList{} << "unknown format";
        QTest::newRow("raster too large") << 3 << "a.png" << 10000 << QStringList{} << "too large";
        QTest::newRow("missing folder") << 3 << "no/such/dir/a.png" << 100 << QStringList{} << "not writable";
    }
    void exportRefusesBadInput()
    {
        QFETCH(int, imageId);
        QFETCH(QString, file);
        QFETCH(int, zoom);
        QFETCH(QStringList, show);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString error;
        QVERIFY(!exportImagePicture(mImages, imageId, dir.filePath(file), zoom, show, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!QFileInfo::exists(dir.filePath(file)));
    }

private:
    // Debug traces go to the log only.

    bool logged(const QString &line) const
    {
        QFile log(Mu::logFilePath());
        return log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains(line);
    }

    SImageList mImages;
    QStringList mMessages;
    std::unique_ptr<QTemporaryDir> mLogDir;
};

QTEST_MAIN(TestSImageViewer)
#include "tst_SImageViewer.moc"
