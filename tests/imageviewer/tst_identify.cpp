// SPDX-License-Identifier: GPL-3.0-or-later
// Finding your way: which point lies under the cursor in both canvases, the ground
// coordinates under it, and the image viewer's table row and marked point following each
// other.
#include "imageviewer/SImageTableView.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "objectviewer/SObjectView.h"
#include "tests/imageviewer/ImageFixtures.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QTest>

class TestIdentify : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SImage::clearPointIndex(); }

    void hitTest_data()
    {
        QTest::addColumn<bool>("image");
        QTest::addColumn<QPoint>("offset"); // from the point's pixel
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("hit");
        for (bool image : {true, false}) {
            const char *name = image ? "image" : "object";
            QTest::addRow("%s, on the point", name) << image << QPoint(0, 0) << 7 << true << true;
            QTest::addRow("%s, at the least reach", name) << image << QPoint(3, -3) << 3 << true << true;
            QTest::addRow("%s, within a large symbol", name) << image << QPoint(-6, 6) << 13 << true << true;
            QTest::addRow("%s, beyond the symbol", name) << image << QPoint(5, 0) << 7 << true << false;
            QTest::addRow("%s, hidden point", name) << image << QPoint(0, 0) << 7 << false << false;
        }
    }
    void hitTest()
    {
        QFETCH(bool, image);
        QFETCH(QPoint, offset);
        QFETCH(int, size);
        QFETCH(bool, shown);
        QFETCH(bool, hit);
        QString tip;
        if (image) {
            SImageList images;
            images.append(ImageFixtures::makeImage(1, 0.0f, 0.0f, 500.0f, 500.0f));
            ImageFixtures::addNewPoint(images.first(), 42, true, 250.0f, 250.0f, 0.5f, -0.25f);
            SImageCanvas canvas;
            canvas.setImage(images.first());
            canvas.setPointSize(0, size);
            canvas.setPointOn(0, shown);
            const int id = canvas.pointAt(ImageFixtures::unitCanvas(250.0f, 250.0f) + offset);
            QCOMPARE(id, hit ? 42 : -1);
            tip = SImageView::pointToolTip(*images.first(), 42);
            QVERIFY(tip.contains(QStringLiteral("-0.250")));
        } else {
            ObjectBlock block; // XY 2000 x 1000 at 0.25 pixels per unit
            block.add(42, 0, 1000.0f, 500.0f, 7.0f);
            SObjectView view(0);
            view.setObjectPoints(&block.points, false);
            view.canvas().setPointSize(0, size);
            view.canvas().setPointOn(0, shown);
            const int index = view.canvas().pointAt(QPoint(290, 165) + offset);
            QCOMPARE(index, hit ? 2 : -1);
            tip = view.pointToolTip(2);
            QVERIFY(tip.contains(QStringLiteral("7.000")));
        }
        QVERIFY(tip.contains(QStringLiteral("42")));
    }

    void groundCoordinates()
    {
        ObjectBlock block;
        SObjectView view(2); // YZ: Y 0..1000, Z 0..400
        view.setObjectPoints(&block.points, false);
        view.slotZoom(370);
        const SObjectMapping &map = view.canvas().mapping();
        for (const QPointF &ground : {QPointF(0, 0), QPointF(1000, 400), QPointF(123.4, 321.9)}) {
            const QPointF back = map.toPlane(map.map(float(ground.x()), float(ground.y())));
            // Within one canvas pixel.
            QVERIFY(QLineF(back, ground).length() * view.canvas().zoomFactor() <= 1.0);
        }
    }

    void tableAndView()
    {
        SImageList images;
        SImage *image = ImageFixtures::makeImage(1, 0.0f, 0.0f, 500.0f, 500.0f);
        ImageFixtures::addNewPoint(image, 5, true, 100.0f, 100.0f);
        ImageFixtures::addNewPoint(image, 6, true, 400.0f, 400.0f);
        images.append(image);
        SImageViewer viewer(&images, nullptr, 1);
        viewer.resize(900, 900);
        viewer.show();
        SImageView *view = viewer.graphicalView();
        const QImage unmarked = paintedCanvas(view->canvas());

        viewer.tableView()->selectPoint(6);
        QCOMPARE(view->canvas().markedPointId(), 6);
        const QImage marked = paintedCanvas(view->canvas());
        const QPoint beside = ImageFixtures::unitCanvas(400.0f, 400.0f) + QPoint(4, 0); // symbol reaches 3
        QCOMPARE(marked.pixelColor(beside), QColor(Qt::yellow));
        QCOMPARE(unmarked.pixelColor(beside), QColor(Qt::white));

        const QPoint at = ImageFixtures::unitCanvas(100.0f, 100.0f) - view->contentsPos();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(viewer.tableView()->currentPointId(), 5);
        QCOMPARE(view->canvas().markedPointId(), 5);
    }
};

QTEST_MAIN(TestIdentify)
#include "tst_identify.moc"
