// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageViewer.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "framework/MxFramePlacement.h"
#include "imageviewer/SImageExport.h"
#include "imageviewer/SImageIcons.h"
#include "imageviewer/SImageInfoView.h"
#include "imageviewer/SImageTableView.h"
#include "imageviewer/SImageView.h"
#include "misc/SImageData.h"
#include "prefs/SSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

QList<SImageViewer *> SImageViewer::sViewers;

namespace {

enum StatusLabelE { SL_ImageId = 0, SL_CameraId, SL_CoordCount };
constexpr int kToolBarIconPixels = 16;

QString withoutAccelerator(QString text) { return text.remove(QLatin1Char('&')); }

} // namespace

SImageViewer::SImageViewer(SImageList *images, QWidget *parent, int startImage) : QMainWindow(parent), mImages(images)
{
    Mu::debug("SImageViewer");
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    fillImageCombo();
    slotSetImage(startImage);
    slotZoomed(mView->zoom());
}

SImageViewer::~SImageViewer()
{
    Mu::debug("~SImageViewer");
    sViewers.removeAll(this);
}

// ---------------------------------------------------------------------------------------
// Window

QAction *SImageViewer::makeAction(const QString &text, int icon, const QKeySequence &shortcut)
{
    auto *action = new QAction(SImageIcons::icon(SImageIcons::IconE(icon)), text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Several viewers live in one main window: each answers only while it has focus.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    addAction(action);
    return action;
}

void SImageViewer::buildWindow()
{
    Mu::debug("SImageViewer::_initClass");
    setWindowTitle(Mu::tr("Image Viewer"));
    setWindowIcon(SImageIcons::icon(SImageIcons::IC_Window));

    mTabs = new QTabWidget(this);
    mView = new SImageView(mTabs);
    mTableView = new SImageTableView(mTabs);
    mInfoView = new SImageInfoView(mTabs);
    const QString graphicalTab = Mu::tr("&Graphical View");
    const QString tableTab = Mu::tr("&Table View");
    const QString infoTab = Mu::tr("&Info View");
    mTabs->addTab(mView, graphicalTab);
    mTabs->addTab(mTableView, tableTab);
    mTabs->addTab(mInfoView, infoTab);
    applyPrefs(false);
    setCentralWidget(mTabs);

    setWhatsThis(Mu::tr("The <font color=\"#0000ff\">%1</font> allows you to inspect image data in three different "
                        "ways:<p><ul><li><b>%2:</b> A 2D-viewing area with scrolling and zooming capabilities.</li>"
                        "<li><b>%3:</b> A table with a textual representation of the currently selected image.</li>"
                        "<li><b>%4:</b> Displays some basic informations about the image that is currently "
                        "selected.</li></ul>")
                     .arg(windowTitle(), withoutAccelerator(graphicalTab), withoutAccelerator(tableTab),
                          withoutAccelerator(infoTab)));

    // Small icons, so that all four tool bars fit a viewer of a tiled workspace.
    setIconSize(QSize(kToolBarIconPixels, kToolBarIconPixels));
    buildFileBar();
    buildNavigationBar();
    buildZoomBar();
    buildExtrasBar();

    for (int i = SL_ImageId; i <= SL_CoordCount; ++i) {
        mStatusLabels[i] = new QLabel(this);
        statusBar()->addPermanentWidget(mStatusLabels[i], 0);
    }

    mView->slotSetMode(SImageView::MD_Zoom);
    connect(mView, &SImageView::sigZoomChanged, this, &SImageViewer::slotZoomed);
    connect(mView, &SImageView::sigStatusMessage, statusBar(),
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(mView, &SImageView::sigStatusClear, statusBar(), &QStatusBar::clearMessage);
    // The table's current row and the graphical view's marked point follow each other.
    connect(mTableView, &QTreeWidget::currentItemChanged, mView,
            [this] { mView->setMarkedPoint(mTableView->currentPointId()); });
    connect(mView, &SImageView::sigPointClicked, mTableView, &SImageTableView::selectPoint);
    sViewers.append(this);
}

void SImageViewer::buildFileBar()
{
    QToolBar *bar = new QToolBar(Mu::tr("File"), this);
    bar->setObjectName(QStringLiteral("File"));
    addToolBar(Qt::TopToolBarArea, bar);
    QMenu *menu = menuBar()->addMenu(Mu::tr("&File"));

    mCloseAction = makeAction(Mu::tr("&Close"), SImageIcons::IC_Close, QKeySequence(Qt::CTRL | Qt::Key_Q));
    // In the workspace the frame is closed, which takes the viewer along.
    connect(mCloseAction, &QAction::triggered, this, [this] { frame()->close(); });
    mExportAction = makeAction(Mu::tr("Export picture..."), SImageIcons::IC_ExportPicture);
    connect(mExportAction, &QAction::triggered, this, &SImageViewer::_slotExportPicture);
    bar->addAction(mCloseAction);
    menu->addAction(mExportAction);
    menu->addSeparator();
    menu->addAction(mCloseAction);
}

void SImageViewer::buildNavigationBar()
{
    QToolBar *bar = new QToolBar(Mu::tr("Navigation"), this);
    bar->setObjectName(QStringLiteral("Navigation"));
    addToolBar(Qt::TopToolBarArea, bar);
    QMenu *menu = menuBar()->addMenu(Mu::tr("&Navigation"));

    mNavActions[NV_First] =
        makeAction(Mu::tr("Show first image"), SImageIcons::IC_NavFirst, QKeySequence(Qt::Key_Home));
    mNavActions[NV_Prev] = makeAction(Mu::tr("Previous image"), SImageIcons::IC_NavPrev, QKeySequence(Qt::Key_PageUp));
    mNavActions[NV_Next] = makeAction(Mu::tr("Next image"), SImageIcons::IC_NavNext, QKeySequence(Qt::Key_PageDown));
    mNavActions[NV_Last] = makeAction(Mu::tr("Show last image"), SImageIcons::IC_NavLast, QKeySequence(Qt::Key_End));
    connect(mNavActions[NV_First], &QAction::triggered, this, &SImageViewer::slotNavFirst);
    connect(mNavActions[NV_Prev], &QAction::triggered, this, &SImageViewer::slotNavPrev);
    connect(mNavActions[NV_Next], &QAction::triggered, this, &SImageViewer::slotNavNext);
    connect(mNavActions[NV_Last], &QAction::triggered, this, &SImageViewer::slotNavLast);

    mImageCombo = new QComboBox(bar);
    mImageCombo->setEditable(false);
    mImageCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(mImageCombo, &QComboBox::textActivated, this,
            static_cast<void (SImageViewer::*)(const QString &)>(&SImageViewer::slotSetImage));

    bar->addAction(mNavActions[NV_First]);
    bar->addAction(mNavActions[NV_Prev]);
    bar->addWidget(mImageCombo);
    bar->addAction(mNavActions[NV_Next]);
    bar->addAction(mNavActions[NV_Last]);
    for (QAction *action : mNavActions)
        menu->addAction(action);
}

void SImageViewer::buildZoomBar()
{
    QToolBar *bar = new QToolBar(Mu::tr("Zooming"), this);
    bar->setObjectName(QStringLiteral("Zooming"));
    addToolBar(Qt::TopToolBarArea, bar);
    QMenu *menu = menuBar()->addMenu(Mu::tr("&Zooming"));

    mZoomIn = makeAction(Mu::tr("Zoom &in"), SImageIcons::IC_ZoomIn, QKeySequence(Qt::Key_Plus));
    mZoomOut = makeAction(Mu::tr("Zoom &out"), SImageIcons::IC_ZoomOut, QKeySequence(Qt::Key_Minus));
    connect(mZoomIn, &QAction::triggered, mView, &SImageView::slotZoomPlus);
    connect(mZoomOut, &QAction::triggered, mView, &SImageView::slotZoomMinus);

    mZoomSpin = new QSpinBox(bar);
    mZoomSpin->setRange(SImageView::kZoomMin, SImageView::kZoomMax);
    mZoomSpin->setSuffix(Mu::tr(" %"));
    // Room for zooms up to 999999 %, not for the 100000000 % limit: the tool bars stay short.
    mZoomSpin->setMaximumWidth(mZoomSpin->sizeHint().width() -
                               mZoomSpin->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    mZoomSpin->setKeyboardTracking(false); // zoom once the number is complete, not per digit
    mZoomSpin->setValue(mView->zoom());
    connect(mZoomSpin, &QSpinBox::valueChanged, mView, &SImageView::slotZoom);
    // The viewer's keys act on the canvas: once a zoom is typed, the canvas has the focus again.
    // The view as context: the connection goes with it when the window is taken down.
    connect(mZoomSpin, &QAbstractSpinBox::editingFinished, mView, [this] {
        if (mZoomSpin->hasFocus() || !QApplication::focusWidget())
            mView->setFocus(Qt::OtherFocusReason);
    });

    mFitWindow = makeAction(Mu::tr("Fit to &Window"), SImageIcons::IC_FitWindow, QKeySequence(Qt::Key_F));
    connect(mFitWindow, &QAction::triggered, mView, &SImageView::slotZoomToFit);

    bar->addAction(mZoomIn);
    bar->addWidget(mZoomSpin);
    bar->addAction(mZoomOut);
    bar->addAction(mFitWindow);

    menu->addAction(mZoomIn);
    menu->addAction(mZoomOut);
    menu->addAction(mFitWindow);
    QMenu *fixed = menu->addMenu(SImageIcons::icon(SImageIcons::IC_FixedZoom), Mu::tr("&Fixed Zoom"));
    for (int i = 0; i < kFixedZoomCount; ++i) {
        const int percent = kFixedZooms[size_t(i)];
        QAction *action = new QAction(Mu::tr("%1 %").arg(percent), this);
        if (percent == 100) {
            action->setIcon(SImageIcons::icon(SImageIcons::IC_Zoom100));
            action->setShortcut(QKeySequence(Qt::Key_F3));
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
        connect(action, &QAction::triggered, mView, [this, percent] { mView->slotZoom(percent); });
        fixed->addAction(action);
        mFixedZoomActions[size_t(i)] = action;
    }
}

void SImageViewer::buildExtrasBar()
{
    QToolBar *bar = new QToolBar(Mu::tr("Extras"), this);
    bar->setObjectName(QStringLiteral("Extras"));
    addToolBar(Qt::TopToolBarArea, bar);
    QMenu *menu = menuBar()->addMenu(Mu::tr("&Extras"));

    mModeGroup = new QActionGroup(this);
    mModeGroup->setExclusive(true);
    mZoomModeAction = makeAction(Mu::tr("Zoom Mode"), SImageIcons::IC_ZoomMode);
    mScrollModeAction = makeAction(Mu::tr("Scroll Mode"), SImageIcons::IC_ScrollMode);
    mZoomModeAction->setCheckable(true);
    mScrollModeAction->setCheckable(true);
    mZoomModeAction->setChecked(true);
    mModeGroup->addAction(mZoomModeAction);
    mModeGroup->addAction(mScrollModeAction);
    connect(mZoomModeAction, &QAction::triggered, mView, [this] { mView->slotSetMode(SImageView::MD_Zoom); });
    connect(mScrollModeAction, &QAction::triggered, mView, [this] { mView->slotSetMode(SImageView::MD_Scroll); });

    mSelectAction = makeAction(Mu::tr("Select Points in Object Viewers..."), SImageIcons::IC_SelectPoints,
                               QKeySequence(Qt::Key_F9));
    mSelectAction->setCheckable(true);
    connect(mSelectAction, &QAction::toggled, this, &SImageViewer::_slotRequestSelection);

    mPrefsAction = makeAction(Mu::tr("&Preferences..."), SImageIcons::IC_Preferences);
    connect(mPrefsAction, &QAction::triggered, this, &SImageViewer::sigRequestImagePreferences);

    bar->addAction(mZoomModeAction);
    bar->addAction(mScrollModeAction);
    bar->addAction(mSelectAction);
    bar->addAction(mPrefsAction);
    menu->addAction(mZoomModeAction);
    menu->addAction(mScrollModeAction);
    menu->addSeparator();
    menu->addAction(mSelectAction);
    menu->addSeparator();
    buildViewExtras(menu);
    menu->addSeparator();
    menu->addAction(mPrefsAction);
}

QString SImageViewer::statusText(int i) const
{
    return (i >= 0 && i < int(mStatusLabels.size())) ? mStatusLabels[size_t(i)]->text() : QString();
}

// ---------------------------------------------------------------------------------------
// State

bool SImageViewer::isValid() const
{
    return mImages && mPosition >= 0 && !mImages->isEmpty() && mPosition < mImages->count();
}

SImage *SImageViewer::currentImage() const { return isValid() ? mImages->at(mPosition) : nullptr; }

int SImageViewer::currentImageNumber() const
{
    const SImage *image = currentImage();
    return image ? image->id() : -1;
}

bool SImageViewer::atFirstImage() const { return isValid() && mPosition == 0; }

bool SImageViewer::atLastImage() const { return isValid() && mPosition == mImages->count() - 1; }

void SImageViewer::fillImageCombo()
{
    mImageCombo->clear();
    if (!mImages)
        return;
    for (const SImage *image : *mImages)
        mImageCombo->addItem(QString::number(image ? image->id() : -1));
}

void SImageViewer::showCurrentImage()
{
    SImage *image = currentImage();
    if (!image)
        return;
    setWindowTitle(Mu::tr("Image Viewer: %1").arg(image->id()));
    mStatusLabels[SL_ImageId]->setText(Mu::tr("Image ID: %1 ").arg(image->id()));
    mStatusLabels[SL_CameraId]->setText(Mu::tr("Camera ID: %1 ").arg(image->cameraId()));
    mStatusLabels[SL_CoordCount]->setText(Mu::tr("# Coords: %1 ").arg(image->numberOfPoints()));
    mView->setImage(image);
    mTableView->setImageWhenShown(image);
    mInfoView->setImage(image);
    if (mSelectionRequestOn)
        emit sigRequestSelection(image);
}

void SImageViewer::updateNavigation()
{
    if (!isValid()) {
        for (QAction *action : mNavActions)
            action->setEnabled(false);
        if (mImageCombo->count() > 0)
            mImageCombo->clear();
        mImageCombo->setEnabled(false);
        return;
    }
    const bool first = atFirstImage();
    const bool last = atLastImage();
    mNavActions[NV_First]->setEnabled(!first);
    mNavActions[NV_Prev]->setEnabled(!first);
    mNavActions[NV_Next]->setEnabled(!last);
    mNavActions[NV_Last]->setEnabled(!last);
    mImageCombo->setEnabled(true);
    const QString number = QString::number(currentImageNumber());
    if (mImageCombo->currentText() != number)
        mImageCombo->setCurrentText(number);
}

void SImageViewer::navigate(int direction)
{
    if (!isValid())
        return;
    switch (direction) {
    case NV_First:
    case NV_Prev:
        if (atFirstImage())
            return;
        mPosition = direction == NV_First ? 0 : mPosition - 1;
        break;
    case NV_Next:
    case NV_Last:
        if (atLastImage())
            return;
        mPosition = direction == NV_Last ? mImages->count() - 1 : mPosition + 1;
        break;
    default: Mu::warn(">>> %s: %s (%d) <<<", qPrintable(Mu::tr("Wrong case!")), "SImageViewer", __LINE__); return;
    }
    showCurrentImage();
    updateNavigation();
}

void SImageViewer::slotNavFirst() { navigate(NV_First); }
void SImageViewer::slotNavPrev() { navigate(NV_Prev); }
void SImageViewer::slotNavNext() { navigate(NV_Next); }
void SImageViewer::slotNavLast() { navigate(NV_Last); }

void SImageViewer::slotSetImage(int iImage)
{
    if (!mImages || mImages->isEmpty()) {
        mPosition = -1;
        mTableView->setImage(nullptr); // no row may name an image that is gone
        updateNavigation();
        return;
    }
    mPosition = 0;
    for (int i = 0; i < mImages->count(); ++i) {
        const SImage *image = mImages->at(i);
        if (image && image->id() == iImage) {
            mPosition = i;
            break;
        }
    }
    showCurrentImage();
    updateNavigation();
}

void SImageViewer::slotImagesReloaded(int iImage)
{
    mPosition = -1; // the old position may lie beyond the new list
    fillImageCombo();
    slotSetImage(iImage);
    slotZoomed(mView->zoom());
}

void SImageViewer::slotSetImage(const QString &strImage)
{
    Mu::debug("%s => %s", "strImage", qPrintable(strImage));
    if (strImage.isEmpty())
        return;
    bool ok = false;
    const int number = strImage.toInt(&ok);
    if (!ok) {
        Mu::debug(qPrintable(Mu::tr("Can't decode number of image from '%s'!")), qPrintable(strImage));
        return;
    }
    slotSetImage(number);
}

void SImageViewer::slotZoomed(int percent)
{
    const bool valid = isValid();
    mZoomIn->setEnabled(valid && percent < SImageView::kZoomMax);
    mZoomOut->setEnabled(valid && percent > SImageView::kZoomMin);
    for (QAction *action : mFixedZoomActions)
        action->setEnabled(valid);
    mFitWindow->setEnabled(valid);
    mZoomSpin->setEnabled(valid);
    if (valid && mZoomSpin->value() != percent)
        mZoomSpin->setValue(percent);
}

void SImageViewer::_slotRequestSelection(bool on)
{
    mSelectionRequestOn = on;
    if (on && isValid())
        emit sigRequestSelection(currentImage());
}

// ---------------------------------------------------------------------------------------
// Keyboard

void SImageViewer::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_B:
    case Qt::Key_L:
    case Qt::Key_P:
    case Qt::Key_S:
        if (!plain) {
            event->ignore();
            return;
        }
        if (event->key() == Qt::Key_B)
            mView->slotToggleBlunders();
        else if (event->key() == Qt::Key_L)
            mView->slotToggleShowLinkCount();
        else if (event->key() == Qt::Key_P)
            mView->slotTogglePointIds();
        else
            askImageNumber();
        event->accept();
        return;
    case Qt::Key_R:
        mView->slotToggleResiduals(modifiers == Qt::ShiftModifier ? VM_Textual : VM_Graphical);
        event->accept();
        return;
    default: QMainWindow::keyPressEvent(event);
    }
}

void SImageViewer::askImageNumber()
{
    // Without images there is no range to offer.
    if (!isValid())
        return;
    bool ok = false;
    const int number =
        QInputDialog::getInt(this, Mu::tr("Input Number of Image"), Mu::tr("Number of Image:"), currentImageNumber(),
                             mImages->first()->id(), mImages->at(mImages->count() - 1)->id(), 1, &ok);
    if (!ok)
        return;
    if (SImageList::contains(number))
        slotSetImage(number);
    else
        Mu::warn(qPrintable(Mu::tr("The specified image with ID '%d' does not exist!")), number);
}

// ---------------------------------------------------------------------------------------
// Settings and picture

void SImageViewer::applyPrefs(bool repaint)
{
    Mu::debug("applyPrefs: %d", repaint ? 1 : 0);
    mView->applySettings(SSettings::readImageViewerSettings());
    if (mColourByGroup) // the first pass runs before the menus exist; they read the extras then
        applyExtras();
    if (repaint)
        mView->updateContents();
}

void SImageViewer::_slotExportPicture()
{
    if (!isValid()) {
        Mu::warnDlg("%s", qPrintable(Mu::tr("There is no image to export.")));
        return;
    }
    const QString file = QFileDialog::getSaveFileName(this, Mu::tr("Export picture"),
                                                      QStringLiteral("image_%1.png").arg(currentImageNumber()),
                                                      Mu::tr("Pictures (*.png *.pdf *.svg)"));
    if (file.isEmpty())
        return;
    QString error;
    if (!writeImageCanvasPicture(mView->canvas(), file, &error))
        Mu::warnDlg("%s", qPrintable(error));
    else
        Mu::info(qPrintable(Mu::tr("Picture written to '%s'.")), qPrintable(file));
}

// ---------------------------------------------------------------------------------------
// Class-wide

const QList<SImageViewer *> &SImageViewer::viewers() { return sViewers; }

void SImageViewer::applyPrefsToAll()
{
    for (SImageViewer *viewer : sViewers)
        viewer->applyPrefs(true);
}

QWidget *SImageViewer::frame()
{
    // In the workspace the viewer is wrapped in a sub-window frame.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return sub;
    return this;
}

void SImageViewer::closeAll()
{
    const QList<SImageViewer *> open = sViewers;
    for (SImageViewer *viewer : open) {
        QPointer<SImageViewer> guard(viewer);
        QWidget *outer = viewer->frame();
        delete outer;
        if (guard)
            delete guard.data();
    }
    sViewers.clear();
}

void SImageViewer::hideToolBars(bool hide)
{
    for (SImageViewer *viewer : sViewers) {
        viewer->statusBar()->setVisible(!hide);
        for (QToolBar *bar : viewer->findChildren<QToolBar *>()) {
            if (viewer->toolBarArea(bar) == Qt::TopToolBarArea)
                bar->setVisible(!hide);
        }
    }
}

void SImageViewer::saveViewerPlacements()
{
    Mu::debug("SImageViewer::saveViewerPlacements");
    Mx::Cfg cfg(SSettings::kGroupImageViewer);
    int index = 0;
    for (SImageViewer *viewer : sViewers) {
        cfg.writeEntry(SSettings::viewerKey(index), viewer->saveState());
        // A maximised or minimised viewer is saved with the geometry it has when shown normally.
        const QRect geometry = Mx::normalFrameGeometry(viewer->frame());
        cfg.writeEntry(SSettings::geometryKey(index), geometry);
        cfg.writeEntry(SSettings::windowStateKey(index), int(Mx::frameState(viewer->frame())));
        Mu::debug("I_GEO_%d: (%d, %d, %d, %d)", index, geometry.x(), geometry.y(), geometry.width(), geometry.height());
        ++index;
    }
    cfg.writeEntry(SSettings::kViewerCountKey, int(sViewers.count()));
}
