// SPDX-License-Identifier: GPL-3.0-or-later
// Times what a user waits for in the real windows: from an action (a key, a rectangle, a
// menu entry) until the window responds (the event handled and every view painted) and until
// it is complete (every object view shows its finished picture, which large blocks paint on a
// worker thread). The program runs offscreen at the first layout a new user sees (three object
// viewers and one image viewer, tiled), and each action is repeated and reported as the median
// and worst of both times, with the number of paints it caused.
//
//   varlomin-bench-gui [--repeat N] [--goal MS] [--sync] [--image-only] PROJECT_FILE
//
// --sync paints every view in the paint event, as small blocks do: the times before the
// worker-thread paint. --image-only leaves out the object viewers' actions: for a block of
// few images with many points each, where the image viewer's toggles are what is measured.

#include "app/Varlomin.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SImageData.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

namespace {

// Counts the paints of every view, so that an action that paints nothing is visible.
class PaintCounter : public QObject {
public:
    int paints = 0;
    void watch(QWidget *viewport) { viewport->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Delivers the updates an action requested; the views paint inside this call.
void paintPending()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Waits until every object view shows the finished picture of its current state.
void waitForFinishedPictures()
{
    const auto finished = [] {
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            if (SObjectViewer *viewer = SObjectViewer::viewer(plane))
                if (viewer->view()->paintsAsync() && !viewer->view()->showsFinishedPicture())
                    return false;
        return true;
    };
    while (!finished())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    paintPending();
}

struct Bench {
    PaintCounter counter;
    int repeat = 5;
    double goalMs = 100.0;
    int overGoal = 0;

    // Runs `action` (and `undo` after it, untimed) `repeat` times and prints one row.
    void measure(const char *name, const std::function<void()> &action, const std::function<void()> &undo = {})
    {
        std::vector<double> responsive, complete;
        int paints = 0;
        for (int i = 0; i < repeat; ++i) {
            waitForFinishedPictures();
            counter.paints = 0;
            QElapsedTimer timer;
            timer.start();
            action();
            paintPending();
            responsive.push_back(double(timer.nsecsElapsed()) / 1e6);
            waitForFinishedPictures();
            complete.push_back(double(timer.nsecsElapsed()) / 1e6);
            paints = counter.paints;
            if (undo) {
                undo();
                paintPending();
            }
        }
        std::sort(responsive.begin(), responsive.end());
        std::sort(complete.begin(), complete.end());
        const double worst = responsive.back();
        overGoal += worst > goalMs;
        std::printf("%-44s %9.1f %9.1f %9.1f %9.1f %7d %s\n", name, responsive[responsive.size() / 2], worst,
                    complete[complete.size() / 2], complete.back(), paints, worst > goalMs ? "over" : "");
        std::fflush(stdout);
    }
};

void key(QWidget *target, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(target, k, modifiers);
}

// A rectangle over the middle half of the view, drawn in selection mode.
void dragSelection(SObjectView *view)
{
    QWidget *viewport = view->viewport();
    const QPoint from(viewport->width() / 4, viewport->height() / 4);
    const QPoint to(viewport->width() * 3 / 4, viewport->height() * 3 / 4);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
}

int largestImageId(const SImageList &images)
{
    int id = -1, most = -1;
    for (int i = 0; i < images.count(); ++i)
        if (images.at(i)->numberOfPoints() > most) {
            most = images.at(i)->numberOfPoints();
            id = images.at(i)->id();
        }
    return id;
}

void runObjectActions(Bench &bench)
{
    SObjectViewer *xy = SObjectViewer::viewer(0);
    SObjectView *view = xy->view();
    bench.measure(
        "zoom step in XY (+, then -)", [&] { view->slotZoomPlus(); }, [&] { view->slotZoomMinus(); });
    view->slotSetMode(SObjectView::MD_Selection);
    bench.measure(
        "rectangle selection in XY (all views mark)", [&] { dragSelection(view); },
        [&] { view->slotDeselectPoints(); });
    dragSelection(view);
    paintPending();
    const std::pair<const char *, Qt::Key> toggles[] = {
        {"toggle point ids (P) with selection", Qt::Key_P},   {"toggle image ids (I) with selection", Qt::Key_I},
        {"toggle link counts (L) with selection", Qt::Key_L}, {"toggle connections (C) with selection", Qt::Key_C},
        {"toggle blunders (B) with selection", Qt::Key_B},    {"toggle residuals (R) with selection", Qt::Key_R},
        {"toggle sigmas (S) with selection", Qt::Key_S}};
    for (const auto &[name, k] : toggles)
        bench.measure(
            name, [&] { key(xy, k); }, [&] { key(xy, k); });
    // Everything on at once: the heaviest picture of a selection.
    for (Qt::Key k : {Qt::Key_P, Qt::Key_I, Qt::Key_L, Qt::Key_C, Qt::Key_R})
        key(xy, k);
    paintPending();
    bench.measure(
        "zoom step in XY with all labels on", [&] { view->slotZoomPlus(); }, [&] { view->slotZoomMinus(); });
    bench.measure(
        "deselect all", [&] { view->slotDeselectPoints(); }, [&] { dragSelection(view); });
    for (Qt::Key k : {Qt::Key_P, Qt::Key_I, Qt::Key_L, Qt::Key_C, Qt::Key_R})
        key(xy, k);
    view->slotDeselectPoints();
    // The whole block in one view: every point counted into the density image.
    const int zoom = view->zoomPercent();
    view->slotZoomToFit();
    paintPending();
    QAction *density = xy->densityAction();
    bench.measure(
        "density on in every object view (XY fitted)", [&] { density->trigger(); }, [&] { density->trigger(); });
    view->slotZoom(zoom);
}

void runImageActions(Bench &bench, Varlomin &window)
{
    const int id = largestImageId(window.images());
    SImageViewer *viewer = window.createImageViewer(id);
    if (!viewer)
        return;
    bench.counter.watch(viewer->graphicalView()->viewport());
    paintPending();
    std::printf("largest image %d: %d points\n", id, viewer->currentImage()->numberOfPoints());
    QAction *select = viewer->selectionAction();
    bench.measure(
        "select the largest image's points (all views)", [&] { select->trigger(); },
        [&] { SObjectViewer::viewer(0)->view()->slotDeselectPoints(); });
    const std::pair<Qt::Key, Qt::KeyboardModifiers> toggles[] = {{Qt::Key_P, Qt::NoModifier},
                                                                 {Qt::Key_R, Qt::NoModifier},
                                                                 {Qt::Key_R, Qt::ShiftModifier},
                                                                 {Qt::Key_L, Qt::NoModifier},
                                                                 {Qt::Key_B, Qt::NoModifier}};
    for (const auto &[k, modifiers] : toggles) {
        const QByteArray name = "toggle image viewer key " + QKeySequence(k | modifiers).toString().toLatin1();
        bench.measure(
            name.constData(), [&] { key(viewer, k, modifiers); }, [&] { key(viewer, k, modifiers); });
    }
    QAction *next = viewer->navigationAction(SImageViewer::NV_Next);
    QAction *previous = viewer->navigationAction(SImageViewer::NV_Prev);
    if (viewer->atLastImage())
        std::swap(next, previous);
    bench.measure(
        "navigate back to the largest image", [&] { previous->trigger(); }, [&] { next->trigger(); });
    next->trigger();
    paintPending();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config; // default settings, and nothing of the user's touched
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"repeat", "Repetitions per action.", "N", "5"},
                       {"goal", "Goal per action.", "MS", "100"},
                       {"sync", "Paint every view in the paint event."},
                       {"image-only", "Only the image viewer's actions."}});
    parser.addPositionalArgument("project", "The project file.");
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr,
                     "usage: varlomin-bench-gui [--repeat N] [--goal MS] [--sync] [--image-only] PROJECT_FILE\n");
        return 1;
    }
    const QString project = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    qputenv("windir", QFileInfo(project).absolutePath().toLocal8Bit());

    // A dialog nobody answers would stop the run: reject it and say so. The progress of the
    // opening answers itself (and rejecting it cancels the opening).
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog && !qobject_cast<QProgressDialog *>(dialog)) {
            std::fprintf(stderr, "varlomin-bench-gui: dialog \"%s\" rejected\n", qPrintable(dialog->windowTitle()));
            dialog->reject();
        }
    });
    watchdog.start(1000);

    Bench bench;
    bench.repeat = std::max(1, parser.value("repeat").toInt());
    bench.goalMs = parser.value("goal").toDouble();
    Varlomin window{QPixmap()};
    window.resize(1600, 1000);
    window.show();
    QElapsedTimer opening;
    opening.start();
    window.openProject(project);
    if (parser.isSet("sync"))
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            if (SObjectViewer *viewer = SObjectViewer::viewer(plane))
                viewer->view()->setAsyncPointCount(std::numeric_limits<int>::max());
    paintPending();
    waitForFinishedPictures();
    std::printf("open with the first layout painted: %.0f ms\n", double(opening.nsecsElapsed()) / 1e6);
    if (!SObjectViewer::viewer(0)) {
        std::fprintf(stderr, "varlomin-bench-gui: %s did not open\n", qPrintable(project));
        return 1;
    }
    for (QWidget *view : window.findChildren<QAbstractScrollArea *>())
        if (qobject_cast<SObjectView *>(view) || qobject_cast<SImageView *>(view))
            bench.counter.watch(static_cast<QAbstractScrollArea *>(view)->viewport());
    std::printf("%-44s %19s %19s %7s\n", "", "responsive ms", "complete ms", "");
    std::printf("%-44s %9s %9s %9s %9s %7s\n", "action", "median", "worst", "median", "worst", "paints");
    if (!parser.isSet("image-only"))
        runObjectActions(bench);
    runImageActions(bench, window);
    std::printf("GUI %d of the actions over %.0f ms until responsive\n", bench.overGoal, bench.goalMs);
    SObjectViewer::closeAll();
    SImageViewer::closeAll();
    return 0;
}
