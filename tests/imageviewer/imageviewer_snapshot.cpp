// Shows an image viewer with a small hand-built block and saves what it shows, so the
// drawing can be looked at: imageviewer_snapshot OUT.png [zoom] [tab]
#include "SImageData.h"
#include "SImageView.h"
#include "SImageViewer.h"

#include <QApplication>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <cmath>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("imageviewer.png");

    SImageList images;
    for (int id = 101; id <= 103; ++id) {
        auto *image = new SImage();
        image->setId(id);
        image->setCameraId(1);
        image->setProjectionCentre(id, 1000.0f * id, 5000.0f, 1500.0f, 0.05f, 0.04f, 0.03f);
        int pointId = 1;
        for (int row = 0; row < 6; ++row) {
            for (int col = 0; col < 9; ++col, ++pointId) {
                const float x = -110.0f + 27.5f * col + 3.0f * std::sin(float(pointId));
                const float y = -110.0f + 44.0f * row;
                const float vx = 0.004f * std::cos(1.3f * float(pointId));
                const float vy = 0.004f * std::sin(0.7f * float(pointId));
                image->addImagePoint(pointId + (id - 101) * 9, pointId % 13 != 0, x, y, vx, vy, 1.0f);
                image->imagePoint(pointId + (id - 101) * 9)->setCode(pointId % 7 == 0 ? 300 : (pointId % 5 == 0 ? -1 : 0));
            }
        }
        image->setXmin(-115.0f);
        image->setXmax(115.0f);
        image->setYmin(-115.0f);
        image->setYmax(115.0f);
        images.append(image);
    }

    SImageViewer viewer(&images, nullptr, 102);
    viewer.setAttribute(Qt::WA_DeleteOnClose, false);
    viewer.resize(760, 720);
    SImageView *view = viewer.graphicalView();
    view->setPointSymbol(2, SImageView::SY_Triangle);
    view->setPointColor(2, Qt::blue);
    view->setPointSymbol(6, SImageView::SY_Cross);
    view->setPointColor(6, QColor(0, 140, 0));
    view->setResidualScale(1000.0f);
    view->slotTogglePointIds();
    view->slotToggleBlunders();
    view->slotToggleResiduals(VM_Graphical);
    view->slotToggleShowLinkCount();
    if (argc > 2)
        view->slotZoom(QString::fromLocal8Bit(argv[2]).toInt());
    if (argc > 3)
        viewer.tabWidget()->setCurrentIndex(QString::fromLocal8Bit(argv[3]).toInt());
    viewer.show();

    QTimer::singleShot(500, [&] {
        viewer.grab().save(out);
        app.quit();
    });
    return app.exec();
}
