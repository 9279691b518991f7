// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectViewer.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "framework/MxFramePlacement.h"
#include "framework/MxPicture.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectIcons.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SSelectionSnapshot.h"
#include "prefs/SSettings.h"
#include "search/SSearchRequest.h"

#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

std::array<SObjectViewer *, SGlobal::kPlaneCount> SObjectViewer::_viewer{};

namespace {

// Placement keys of the group ObjectViewer; %1 is the plane.

constexpr int kToolBarIconPixels = 16;

QString planeLabel(int plane) { return QString::fromLatin1(planeName(plane)); }

} // namespace

SObjectViewer::SObjectViewer(int plane, QWidget *parent) : QMainWindow(parent), mPlane(plane)
{
    Mu::debug("SObjectViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Mu::tr("Object Viewer %1").arg(planeLabel(plane)));
    setWindowIcon(SObjectIcons::window());

    mView = new SObjectView(plane, this);
    applyPrefs(false);
    setCentralWidget(mView);
    // A viewer activated in the workspace gives the focus to its view, so that its keys work
    // at once.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(mView);

    setWhatsThis(Mu::tr("The <font color=\"#0000ff\">%1</font> allows you to inspect object data, which is "
                        "projected in the %2-plane. The 2D-viewing area offers scrolling, zooming and "
                        "selection-capabilities.")
                     .arg(windowTitle(), planeLabel(plane)));
    // Small icons like the image viewer's; the status bar tells the selection.
    setIconSize(QSize(kToolBarIconPixels, kToolBarIconPixels));
    createActions();
    statusBar();

    mCursorLabel = new QLabel(this);
    statusBar()->addPermanentWidget(mCursorLabel);
    const char *axes[] = {"X", "Y", "Z"};
    const QString cursorFormat = QStringLiteral("%1: %3   %2: %4")
                                     .arg(QLatin1String(axes[std::max(0, planeHorizontalAxis(plane))]),
                                          QLatin1String(axes[std::max(0, planeVerticalAxis(plane))]));
    connect(mView, &SObjectView::sigCursorMoved, mCursorLabel, [this, cursorFormat](const QPointF &at) {
        mCursorLabel->setText(cursorFormat.arg(at.x(), 0, 'f', 3).arg(at.y(), 0, 'f', 3));
    });
    connect(mView, &SObjectView::sigCursorLeft, mCursorLabel, &QLabel::clear);

    mView->slotSetMode(SObjectView::MD_Zoom);
    connect(mView, &SObjectView::sigZoomChanged, this, &SObjectViewer::slotZoomed);
    // A selection in one view shows in all of them at once.
    connect(mView, &SObjectView::sigSelectionChanged, this, &SObjectViewer::selectionChanged);
}

SObjectViewer::~SObjectViewer()
{
    Mu::debug("~SObjectViewer");
    if (mPlane >= 0 && mPlane < SGlobal::kPlaneCount && _viewer[size_t(mPlane)] == this)
        _viewer[size_t(mPlane)] = nullptr;
}

void SObjectViewer::createActions()
{
    QToolBar *fileBar = addToolBar(Mu::tr("File"));
    QToolBar *zoomBar = addToolBar(Mu::tr("Zooming"));
    QToolBar *extrasBar = addToolBar(Mu::tr("Extras"));
    // Names make the saved window layout find its tool bars again.
    fileBar->setObjectName(QStringLiteral("FileToolBar"));
    zoomBar->setObjectName(QStringLiteral("ZoomToolBar"));
    extrasBar->setObjectName(QStringLiteral("ExtrasToolBar"));
    QMenu *fileMenu = menuBar()->addMenu(Mu::tr("&File"));
    QMenu *zoomMenu = menuBar()->addMenu(Mu::tr("&Zooming"));
    QMenu *extrasMenu = menuBar()->addMenu(Mu::tr("&Extras"));

    QAction *exportAction = fileMenu->addAction(Mu::tr("Export picture..."));
    connect(exportAction, &QAction::triggered, this, &SObjectViewer::_slotExportPicture);
    QAction *closeAction = new QAction(SObjectIcons::close(), Mu::tr("&Close"), this);
    closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(closeAction, &QAction::triggered, this, &SObjectViewer::closeWindow);
    fileBar->addAction(closeAction);
    fileMenu->addAction(closeAction);

    createZoomActions(zoomBar, zoomMenu);

    auto *modes = new QActionGroup(this);
    modes->setExclusive(true);
    const struct {
        const char *text;
        QIcon icon;
        int mode;
    } modeEntries[] = {{"Zoom Mode", SObjectIcons::zoomMode(), SObjectView::MD_Zoom},
                       {"Scroll Mode", SObjectIcons::scrollMode(), SObjectView::MD_Scroll},
                       {"Selection Mode", SObjectIcons::selectionMode(), SObjectView::MD_Selection}};
    for (const auto &entry : modeEntries) {
        QAction *action = modes->addAction(entry.icon, Mu::tr(entry.text));
        action->setCheckable(true);
        action->setChecked(entry.mode == SObjectView::MD_Zoom);
        const int mode = entry.mode;
        connect(action, &QAction::triggered, mView, [this, mode] { mView->slotSetMode(mode); });
        extrasBar->addAction(action);
        extrasMenu->addAction(action);
    }
    extrasMenu->addSeparator();
    buildViewExtras(extrasMenu);
    extrasMenu->addSeparator();
    QAction *prefsAction = new QAction(SObjectIcons::preferences(), Mu::tr("&Preferences..."), this);
    connect(prefsAction, &QAction::triggered, this, &SObjectViewer::sigRequestObjectPreferences);
    extrasBar->addAction(prefsAction);
    extrasMenu->addAction(prefsAction);
}

void SObjectViewer::createZoomActions(QToolBar *zoomBar, QMenu *zoomMenu)
{
    mZoomInAction = new QAction(SObjectIcons::zoomIn(), Mu::tr("Zoom &in"), this);
    mZoomInAction->setShortcut(QKeySequence(Qt::Key_Plus));
    connect(mZoomInAction, &QAction::triggered, mView, &SObjectView::slotZoomPlus);
    zoomBar->addAction(mZoomInAction);
    zoomMenu->addAction(mZoomInAction);

    mZoomSpinBox = new QSpinBox(zoomBar);
    mZoomSpinBox->setRange(SObjectView::kZoomMin, SObjectView::kZoomMax);
    mZoomSpinBox->setSuffix(QStringLiteral(" %"));
    // Room for zooms up to 999999 %, not for the 100000000 % limit: the tool bars stay short.
    mZoomSpinBox->setMaximumWidth(mZoomSpinBox->sizeHint().width() -
                                  mZoomSpinBox->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    mZoomSpinBox->setValue(mView->zoomPercent());
    mZoomSpinBox->setKeyboardTracking(false); // zoom once the number is complete, not per digit
    connect(mZoomSpinBox, &QSpinBox::valueChanged, mView, &SObjectView::slotZoom);
    // The viewer's keys act on the canvas: once a zoom is typed, the canvas has the focus again.
    // The view as context: the connection goes with it when the window is taken down.
    connect(mZoomSpinBox, &QAbstractSpinBox::editingFinished, mView, [this] {
        if (mZoomSpinBox->hasFocus() || !QApplication::focusWidget())
            mView->setFocus(Qt::OtherFocusReason);
    });
    zoomBar->addWidget(mZoomSpinBox);

    mZoomOutAction = new QAction(SObjectIcons::zoomOut(), Mu::tr("Zoom &out"), this);
    mZoomOutAction->setShortcut(QKeySequence(Qt::Key_Minus));
    connect(mZoomOutAction, &QAction::triggered, mView, &SObjectView::slotZoomMinus);
    zoomBar->addAction(mZoomOutAction);
    zoomMenu->addAction(mZoomOutAction);

    mFitWindowAction = new QAction(SObjectIcons::fitWindow(), Mu::tr("Fit to &Window"), this);
    mFitWindowAction->setShortcut(QKeySequence(Qt::Key_F));
    // Three viewers share the main window: each answers only while it has the focus.
    mFitWindowAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(mFitWindowAction);
    connect(mFitWindowAction, &QAction::triggered, mView, &SObjectView::slotZoomToFit);
    zoomBar->addAction(mFitWindowAction);
    zoomMenu->addAction(mFitWindowAction);

    QMenu *fixedMenu = zoomMenu->addMenu(SObjectIcons::fixedZoom(), Mu::tr("&Fixed Zoom"));
    for (int i = 0; i < kFixedZoomCount; ++i) {
        const int percent = kFixedZooms[size_t(i)];
        QAction *action = fixedMenu->addAction(Mu::tr("%1 %").arg(percent));
        if (percent == SObjectView::kZoomDefault) {
            action->setIcon(SObjectIcons::zoom100());
            action->setShortcut(QKeySequence(Qt::Key_F3));
        }
        connect(action, &QAction::triggered, mView, [this, percent] { mView->slotZoom(percent); });
        mFixedZoomActions[size_t(i)] = action;
    }
}

bool SObjectViewer::setObjectPoints(SObjectPointList *list, bool sigmasAvailable)
{
    if (!mView)
        return false;
    const bool ok = mView->setObjectPoints(list, sigmasAvailable);
    slotZoomed(mView->zoomPercent());
    return ok;
}

bool SObjectViewer::isReady() const { return mView && mView->isReady(); }

void SObjectViewer::applyPrefs(bool update)
{
    Mu::debug("SObjectViewer::applyPrefs");
    mView->applySettings(SSettings::readObjectViewerSettings());
    if (mColourByGroup) // the first pass runs before the menus exist; they read the extras then
        applyExtras();
    if (update)
        mView->repaintCanvas();
}

void SObjectViewer::slotZoomed(int iPercent)
{
    const bool ready = isReady();
    mZoomInAction->setEnabled(ready && iPercent < SObjectView::kZoomMax);
    mZoomOutAction->setEnabled(ready && iPercent > SObjectView::kZoomMin);
    for (QAction *action : mFixedZoomActions)
        action->setEnabled(ready);
    mFitWindowAction->setEnabled(ready);
    mZoomSpinBox->setEnabled(ready);
    if (ready)
        mZoomSpinBox->setValue(iPercent);
}

void SObjectViewer::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_B:
    case Qt::Key_C:
    case Qt::Key_I:
    case Qt::Key_L:
    case Qt::Key_P:
        if (modifiers != Qt::NoModifier) {
            event->ignore();
            return;
        }
        switch (event->key()) {
        case Qt::Key_B: mView->slotToggleBlunders(); break;
        case Qt::Key_C: mView->slotToggleShowConnections(); break;
        case Qt::Key_I: mView->slotToggleImageIds(); break;
        case Qt::Key_L: mView->slotToggleShowLinkCount(); break;
        default: mView->slotTogglePointIds(); break;
        }
        event->accept();
        return;
    case Qt::Key_R:
    case Qt::Key_S: {
        event->accept();
        const bool residuals = event->key() == Qt::Key_R;
        ViewModeE mode;
        if (modifiers == Qt::NoModifier)
            mode = VM_Graphical;
        else if (modifiers == Qt::ShiftModifier)
            mode = VM_Textual;
        else
            return; // other modifiers: taken, but nothing to do
        if (residuals)
            mView->slotToggleResiduals(mode);
        else
            mView->slotToggleSigmas(mode);
        return;
    }
    default: QMainWindow::keyPressEvent(event);
    }
}

void SObjectViewer::closeWindow()
{
    // Inside the workspace the frame closes, which closes (and deletes) this window first.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void SObjectViewer::_slotExportPicture()
{
    if (!isReady())
        return;
    const QString file =
        QFileDialog::getSaveFileName(this, Mu::tr("Export picture"), QString(), Mu::tr("Pictures (*.png *.pdf *.svg)"));
    if (file.isEmpty())
        return;
    SObjectCanvas &canvas = mView->canvas();
    const QRect whole(QPoint(0, 0), canvas.canvasSize());
    QString error;
    const bool ok = Mx::writePicture(
        file, whole.size(), [&canvas, whole](QPainter &painter) { canvas.paintCanvas(painter, whole); }, &error,
        [&canvas, whole](QImage &image) { canvas.paintInBands(image, whole, canvas.bandCountFor(whole)); });
    if (!ok)
        Mu::warnDlg("%s", qPrintable(error));
}

// ---- class-wide ---------------------------------------------------------------------------

SObjectViewer *SObjectViewer::instance(int plane, QWidget *parent)
{
    if (!MU_CHECK(plane >= 0 && plane < SGlobal::kPlaneCount, "SObjectViewer"))
        return nullptr;
    const size_t p = size_t(plane);
    if (!_viewer[p])
        _viewer[p] = new SObjectViewer(plane, parent);
    if (!_viewer[p]) {
        Mu::assertFailed("! _viewer[p]", "SObjectViewer", __LINE__);
        return nullptr;
    }
    return _viewer[p];
}

SObjectViewer *SObjectViewer::viewer(int plane)
{
    if (plane < 0 || plane >= SGlobal::kPlaneCount)
        return nullptr;
    return _viewer[size_t(plane)];
}

void SObjectViewer::applyPrefsToAll()
{
    for (SObjectViewer *v : _viewer)
        if (v)
            v->applyPrefs(true);
}

std::vector<SObjectView *> SObjectViewer::readyViews()
{
    std::vector<SObjectView *> views;
    for (SObjectViewer *v : _viewer)
        if (v && v->mView->isReady())
            views.push_back(v->mView);
    return views;
}

void SObjectViewer::showSelection(const std::vector<SObjectView *> &views, bool replace,
                                  std::span<SObjectPoint *const> centres)
{
    for (SObjectView *view : views) {
        view->canvas().takeSelectedCentres(replace, centres);
        view->repaintCanvas();
    }
}

// The class-wide selections change the shared list once, then every view takes the result;
// the count is reported once, also when no view shows points.
void SObjectViewer::deselectPoints()
{
    const std::vector<SObjectView *> views = readyViews();
    if (!views.empty()) {
        SSelectionSnapshot::deselectAll(*views.front()->canvas().objectPoints());
        showSelection(views, true, {});
    }
    selectionChanged();
}

void SObjectViewer::selectPoints(const SSearchRequest &request)
{
    Mu::debug("SObjectViewer::selectPoints");
    const std::vector<SObjectView *> views = readyViews();
    if (!views.empty()) {
        const bool replace = request.selectionMode() == SGlobal::SL_Erase;
        std::vector<SObjectPoint *> centres;
        try {
            request.select(*views.front()->canvas().objectPoints(), centres);
        } catch (...) {
            // The pass ended in the first view: only its table has the centres passed so far.
            views.front()->canvas().takeSelectedCentres(replace, centres);
            selectionChanged();
            throw;
        }
        showSelection(views, replace, centres);
    }
    selectionChanged();
}

void SObjectViewer::selectImagePoints(SImage *image)
{
    const std::vector<SObjectView *> views = readyViews();
    if (image && !views.empty()) {
        SObjectPointList &points = *views.front()->canvas().objectPoints();
        SSelectionSnapshot::deselectAll(points); // only the selected points, not the whole list
        SObjectPoint *centre = points.selectImagePoints(*image, false);
        showSelection(views, true, centre ? std::span(&centre, 1) : std::span<SObjectPoint *>());
    }
    selectionChanged();
}

void SObjectViewer::selectPointIds(const QSet<int> &pointIds, const QSet<int> &centreIds)
{
    const std::vector<SObjectView *> views = readyViews();
    if (!views.empty()) {
        std::vector<SObjectPoint *> centres;
        views.front()->canvas().objectPoints()->selectIds(pointIds, centreIds, centres);
        showSelection(views, true, centres);
    }
    selectionChanged();
}

QString SObjectViewer::selectionSummary(int selected, int total)
{
    return Mu::tr("%1 of %2 points selected.").arg(selected).arg(total);
}

void SObjectViewer::selectionChanged()
{
    const SObjectPointList *list = nullptr;
    for (SObjectViewer *v : _viewer)
        if (v && v->mView->canvas().objectPoints())
            list = v->mView->canvas().objectPoints();
    if (!list)
        return;
    // The snapshot counts the flags, and the views' paints take it from here.
    const QString summary = selectionSummary(SSelectionSnapshot::of(*list)->count(), list->count());
    for (SObjectViewer *v : _viewer) {
        if (!v)
            continue;
        v->mView->viewport()->update();
        v->statusBar()->showMessage(summary);
    }
    Mu::info("%s", qPrintable(summary));
    Mu::status("%s", qPrintable(summary));
}

void SObjectViewer::centreOn(const SObjectPoint &point)
{
    const QPoint at = mView->canvas().mapping().map(point.horizontal(mPlane), point.vertical(mPlane));
    const QSize shown = mView->viewport()->size();
    mView->scrollTo(at - QPoint(shown.width() / 2, shown.height() / 2));
}

void SObjectViewer::hideToolBars(bool hide)
{
    for (SObjectViewer *v : _viewer) {
        if (!v)
            continue;
        for (QToolBar *bar : v->findChildren<QToolBar *>())
            if (v->toolBarArea(bar) == Qt::TopToolBarArea)
                bar->setVisible(!hide);
    }
}

void SObjectViewer::saveViewerPlacements()
{
    Mu::debug("SObjectViewer::saveViewerPlacements");
    Mx::Cfg cfg(SSettings::kGroupObjectViewer);
    for (int p = 0; p < SGlobal::kPlaneCount; ++p) {
        SObjectViewer *v = _viewer[size_t(p)];
        cfg.writeEntry(SSettings::viewerOnKey(p), v ? 1 : 0);
        if (!v)
            continue;
        cfg.writeEntry(SSettings::viewerKey(p), v->saveState());
        const QWidget *frame = qobject_cast<QMdiSubWindow *>(v->parentWidget());
        if (!frame)
            frame = v;
        // A maximised or minimised viewer is saved with the geometry it has when shown normally.
        const QRect geometry = Mx::normalFrameGeometry(frame);
        Mu::debug("O_GEO_%d: (%d, %d, %d, %d)", p, geometry.x(), geometry.y(), geometry.width(), geometry.height());
        cfg.writeEntry(SSettings::geometryKey(p), geometry);
        cfg.writeEntry(SSettings::windowStateKey(p), int(Mx::frameState(frame)));
    }
}

void SObjectViewer::closeAll()
{
    for (SObjectViewer *v : _viewer) {
        if (!v)
            continue;
        // Inside the workspace the frame goes too, so that no empty frame stays behind.
        if (auto *frame = qobject_cast<QMdiSubWindow *>(v->parentWidget()))
            delete frame;
        else
            delete v;
    }
}
