// SPDX-License-Identifier: GPL-3.0-or-later
// The object viewer window: one viewer per plane, caption and help, zoom actions, keyboard
// toggles, the settings pass, placements in the configuration, and the picture export.
#include "framework/MxCfg.h"
#include "objectviewer/SObjectExport.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"
#include "tests/common/CanvasPicture.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestObjectViewer : public QObject {
    Q_OBJECT

private slots:
    void init() { Mx::CfgStore::clear(); }

    void cleanup()
    {
        SObjectViewer::closeAll();
        flushDeletes();
    }

    void onePerPlane()
    {
        SObjectViewer *xz = SObjectViewer::instance(1, nullptr);
        QCOMPARE(SObjectViewer::instance(1, nullptr), xz);
        QVERIFY(!SObjectViewer::viewer(0));
        QVERIFY(!SObjectViewer::instance(3, nullptr));
        QPointer<SObjectViewer> guard(xz);
        xz->view()->slotTogglePointIds();
        xz->close();
        flushDeletes();
        QVERIFY(guard.isNull() && !SObjectViewer::viewer(1));
        SObjectViewer *fresh = SObjectViewer::instance(1, nullptr);
        QVERIFY(fresh && !fresh->view()->canvas().pointIdsOn());
    }

    void settingsPass()
    {
        Mx::Cfg points(SSettings::kGroupPoints);
        points.writeEntry(SSettings::pointColorKey(0), QColor(0, 0, 255));
        points.writeEntry(SSettings::pointSizeKey(0), 11);
        points.writeEntry(SSettings::kMarkColor, QColor(0, 255, 0));
        Mx::Cfg viewer(SSettings::kGroupObjectViewer);
        viewer.writeEntry(SSettings::kBgColor, QColor(10, 20, 30));

        ObjectBlock block;
        block.points.setSelected(*block.points.at(0), true);
        SObjectViewer *v = SObjectViewer::instance(0, nullptr);
        v->setObjectPoints(&block.points, false);
        const QImage image = paintedCanvas(v->view()->canvas());
        // Point 0 (selected) sits at (40, 290), point 1 at (540, 40).
        QCOMPARE(image.pixelColor(10, 10), QColor(10, 20, 30));
        QCOMPARE(image.pixelColor(540 + 5, 40), QColor(0, 0, 255)); // size 11 reaches 5 pixels out
        QCOMPARE(image.pixelColor(40 + 6, 290), QColor(0, 255, 0)); // and the mark 2 beyond
    }

    void exportPicture()
    {
        QTemporaryDir dir;
        ObjectBlock block;
        block.add(10, 0, 1000.0f, 500.0f, 0.0f);
        const QString file = dir.filePath(QStringLiteral("xy.png"));
        QString error;
        bool hookRan = false;
        const QWidgetList widgetsBefore = QApplication::allWidgets();
        QVERIFY2(exportObjectPicture(block.points, false, 0, file, 200, {QStringLiteral("ids")}, true, &error,
                                     [&hookRan](SObjectCanvas &) { hookRan = true; }),
                 qPrintable(error));
        QCOMPARE(QApplication::allWidgets(), widgetsBefore); // the canvas paints without a widget
        QVERIFY(hookRan);
        QCOMPARE(block.points.selectedCount(), 3);
        const QImage image(file);
        // 200 %: the long side is 1000 pixels; the block is half as high.
        QCOMPARE(image.size(), QSize(1080, 580));
        QCOMPARE(image.pixelColor(540, 290), QColor(Qt::black));      // the middle point
        QCOMPARE(image.pixelColor(540 + 4, 290), QColor(Qt::yellow)); // its selection mark, 11 pixels
        QCOMPARE(image.pixelColor(540 + 6, 290), QColor(Qt::white));
        QCOMPARE(image.pixelColor(300, 450), QColor(Qt::white));
    }
};

QTEST_MAIN(TestObjectViewer)
#include "tst_objectviewer.moc"
