// SPDX-License-Identifier: GPL-3.0-or-later
// Navigation of both graphical views: fit to window shows the whole canvas without scroll
// bars, and zooming keeps the canvas point of interest (the view's middle, or the cursor
// for Ctrl + wheel) in place.
#include "imageviewer/SImageView.h"
#include "objectviewer/SObjectView.h"
#include "tests/imageviewer/ImageFixtures.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <memory>

namespace {

// One of the two views behind a common face. Both blocks span 2000 x 1000 units.
struct AnyView {
    SImageList images; // the data outlives the view
    ObjectBlock block;
    std::unique_ptr<QAbstractScrollArea> widget;
    std::function<void(int)> zoom;
    std::function<void()> fit;
    std::function<int()> percent;
    std::function<float()> zoomFactor;
    std::function<QSize(int)> canvasAt;
    std::function<QPoint()> scroll;
    std::function<void(QPoint)> scrollTo;
};

std::unique_ptr<AnyView> makeView(bool image, QSize size)
{
    auto v = std::make_unique<AnyView>();
    if (image) {
        v->images.append(ImageFixtures::makeImage(1, 0.0f, 0.0f, 2000.0f, 1000.0f));
        auto *view = new SImageView;
        view->setImage(v->images.first());
        v->widget.reset(view);
        v->zoom = [view](int p) { view->slotZoom(p); };
        v->fit = [view] { view->slotZoomToFit(); };
        v->percent = [view] { return view->zoom(); };
        v->zoomFactor = [view] { return view->canvas().zoomFactor(); };
        v->canvasAt = [view](int p) { return view->canvas().canvasSizeAt(p); };
        v->scroll = [view] { return view->contentsPos(); };
        v->scrollTo = [view](QPoint p) { view->setContentsPos(p); };
    } else {
        auto *view = new SObjectView(0);
        view->setObjectPoints(&v->block.points, false);
        v->widget.reset(view);
        v->zoom = [view](int p) { view->slotZoom(p); };
        v->fit = [view] { view->slotZoomToFit(); };
        v->percent = [view] { return view->zoomPercent(); };
        v->zoomFactor = [view] { return view->canvas().zoomFactor(); };
        v->canvasAt = [view](int p) { return view->canvas().canvasSizeAt(p); };
        v->scroll = [view] { return view->scrollPosition(); };
        v->scrollTo = [view](QPoint p) { view->scrollTo(p); };
    }
    v->widget->resize(size);
    v->widget->show();
    QCoreApplication::processEvents(); // scroll bars come and go through queued events
    return v;
}

// Block coordinates (from the top left of the data) of a viewport position.
QPointF dataAt(const AnyView &v, QPoint viewportPos)
{
    const QPoint canvas = v.scroll() + viewportPos;
    return QPointF(canvas - QPoint(40, 40)) / double(v.zoomFactor());
}

} // namespace

class TestViewZoom : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SImage::clearPointIndex(); }

    void fitToWindow_data()
    {
        QTest::addColumn<bool>("image");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("startZoom");
        for (bool image : {true, false}) {
            const char *name = image ? "image" : "object";
            QTest::addRow("%s, smaller than 100 %%", name) << image << QSize(400, 300) << 300;
            QTest::addRow("%s, larger than 100 %%", name) << image << QSize(1300, 500) << 100;
        }
    }
    void fitToWindow()
    {
        QFETCH(bool, image);
        QFETCH(QSize, size);
        QFETCH(int, startZoom);
        auto v = makeView(image, size);
        v->zoom(startZoom);
        QCoreApplication::processEvents();
        v->fit();
        QCoreApplication::processEvents();
        QVERIFY(!v->widget->horizontalScrollBar()->isVisible());
        QVERIFY(!v->widget->verticalScrollBar()->isVisible());
        const QSize shown = v->widget->viewport()->size();
        const QSize canvas = v->canvasAt(v->percent());
        QVERIFY(canvas.width() <= shown.width() && canvas.height() <= shown.height());
        // The largest such zoom: one percent more leaves the viewport in one direction.
        const QSize larger = v->canvasAt(v->percent() + 1);
        QVERIFY(larger.width() > shown.width() || larger.height() > shown.height());
        QCOMPARE(v->scroll(), QPoint(0, 0));
    }

    void zoomKeepsPoint_data()
    {
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("to");    // zoom percent; 0: one Ctrl + wheel notch up
        QTest::addColumn<QPoint>("at"); // the point held: the middle, or the wheel's cursor
        const QPoint middle(-1, -1);
        for (bool image : {true, false}) {
            const char *name = image ? "image" : "object";
            QTest::addRow("%s, step in", name) << image << 410 << middle;
            QTest::addRow("%s, step out", name) << image << 390 << middle;
            QTest::addRow("%s, fixed 200", name) << image << 200 << middle;
            QTest::addRow("%s, typed 1234", name) << image << 1234 << middle;
            QTest::addRow("%s, Ctrl + wheel", name) << image << 0 << QPoint(70, 220);
        }
    }
    void zoomKeepsPoint()
    {
        QFETCH(bool, image);
        QFETCH(int, to);
        QFETCH(QPoint, at);
        auto v = makeView(image, QSize(400, 300));
        v->zoom(400);
        QCoreApplication::processEvents();
        v->scrollTo(QPoint(700, 500));
        QWidget *port = v->widget->viewport();
        const QPoint held = at.x() < 0 ? QPoint(port->width() / 2, port->height() / 2) : at;
        const QPointF before = dataAt(*v, held);
        if (to > 0) {
            v->zoom(to);
        } else {
            QWheelEvent wheel(held, port->mapToGlobal(held), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(port, &wheel);
            QVERIFY(v->percent() > 400);
        }
        QCoreApplication::processEvents();
        const QPointF after = dataAt(*v, held);
        // Within a canvas pixel at the new zoom.
        QVERIFY2(
            QLineF(before, after).length() * v->zoomFactor() <= 1.0,
            qPrintable(
                QStringLiteral("(%1, %2) -> (%3, %4)").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    }
};

QTEST_MAIN(TestViewZoom)
#include "tst_viewzoom.moc"
