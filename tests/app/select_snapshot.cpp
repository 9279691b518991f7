// Opens a project in the main window, selects a point-id range through the search tab and
// saves a grab of the whole window, to look at the marks in all three object viewers.
// Usage: select_snapshot PROJECT_FILE OUT.png [MIN MAX]. Not a test.
#include "MxCfg.h"
#include "SSearchWidget.h"
#include "Varlomin.h"

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QElapsedTimer>

#include <cstdio>

namespace {
constexpr int kWindowWidth = 1600;
constexpr int kWindowHeight = 1000;
constexpr int kSettleMs = 500; // lets the workspace lay out and paint its viewers
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: select_snapshot PROJECT_FILE OUT.png [MIN MAX]\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int min = argc > 4 ? QString::fromLocal8Bit(argv[3]).toInt() : 0;
    const int max = argc > 4 ? QString::fromLocal8Bit(argv[4]).toInt() : -1;
    Varlomin window{QPixmap()};
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    window.openProject(QString::fromLocal8Bit(argv[1]));

    SSearchWidget *search = window.searchWidget();
    search->findChild<QSpinBox *>(QStringLiteral("pointIdMin"))->setValue(min);
    search->findChild<QSpinBox *>(QStringLiteral("pointIdMax"))->setValue(max);
    search->findChild<QPushButton *>(QStringLiteral("select"))->click();
    int selected = 0;
    for (const SObjectPoint &p : window.objectPoints())
        selected += p.isSelected();
    std::printf("%d of %d points selected\n", selected, window.objectPoints().count());

    std::fflush(stdout);
    // No event loop to quit: quitting would ask the window to close, and its close dialog
    // would wait for an answer.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < kSettleMs)
        QApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
    return window.grab().save(out) ? 0 : 1;
}
