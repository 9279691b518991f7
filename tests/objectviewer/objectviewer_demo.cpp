// Shows an XY object viewer with a small hand-built block, some points selected and all
// annotations on, and saves a grab of the window to the file named by the first argument.
#include "ObjectBlock.h"
#include "SObjectView.h"
#include "SObjectViewer.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cmath>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("objectviewer.png");

    ObjectBlock block(false);
    // Two strips of three images each, and a grid of tie and control points between them.
    int imageId = 100;
    for (int strip = 0; strip < 2; ++strip)
        for (int i = 0; i < 3; ++i)
            block.addImage(imageId++, 300.0f + 600.0f * i, 250.0f + 500.0f * strip, 1200.0f, {});
    int pointId = 1;
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 8; ++col) {
            const float x = 50.0f + 250.0f * col, y = 50.0f + 220.0f * row;
            const int code = (row + col) % 7 == 0 ? 500 : (row * col) % 5 == 3 ? 300 : 0;
            SObjectPoint *p = block.add(pointId, code, x, y, 100.0f + 10.0f * col, 0.8f + 0.1f * row);
            if (code != 0) {
                p->setObservation(0, x, 0.6f * float(std::sin(pointId)), 0.05f);
                p->setObservation(1, y, 0.6f * float(std::cos(pointId)), 0.05f);
                p->setAccepted(0, pointId % 3 != 0);
                p->setAccepted(1, true);
            }
            if (pointId % 13 == 0)
                p->setActive(false);
            for (SImage *image : block.images)
                if (std::abs(image->X0() - x) < 500.0f && std::abs(image->Y0() - y) < 350.0f)
                    image->addImagePoint(pointId, pointId % 11 != 0, 0, 0, 0, 0, 1);
            ++pointId;
        }
    }

    SObjectViewer *viewer = SObjectViewer::instance(0, nullptr);
    viewer->setObjectPoints(&block.points, true);
    SObjectView *view = viewer->view();
    view->slotToggleBlunders();
    view->slotZoom(120);
    // Select the middle of the block and two centres.
    view->selectPointsInRect(QRect(QPoint(200, 180), QSize(260, 200)), false);
    for (int id : {101, 104})
        view->selectPointsInRect(QRect(view->mapping().map(SImageList::find(id)->X0(), SImageList::find(id)->Y0()), QSize(1, 1)), true);
    view->slotTogglePointIds();
    view->slotToggleImageIds();
    view->slotToggleShowLinkCount();
    view->slotToggleResiduals(VM_Graphical);
    view->slotToggleSigmas(VM_Graphical);
    view->slotToggleShowConnections();
    viewer->resize(820, 640);
    viewer->show();

    QTimer::singleShot(300, [&] {
        viewer->grab().save(out);
        app.quit();
    });
    return app.exec();
}
