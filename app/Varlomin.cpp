// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Varlomin.h"

#include "app/ProjectInfo.h"
#include "app/SAppInfo.h"
#include "app/SCloseDialog.h"
#include "app/SListItems.h"
#include "app/SObjectListModel.h"
#include "app/SRecentProjects.h"
#include "app/SStartup.h"
#include "app/SWorkspaceLayout.h"
#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"
#include "framework/MxFramePlacement.h"
#include "framework/MxInfoDialog.h"
#include "framework/MxPrefsDialog.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SException.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectViewer.h"
#include "patb/SPatbReader.h"
#include "prefs/SPrefsImageViewer.h"
#include "prefs/SPrefsLinks.h"
#include "prefs/SPrefsObjectViewer.h"
#include "prefs/SPrefsPoints.h"
#include "prefs/SSettings.h"
#include "report/SQualityReport.h"
#include "search/SSearchWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

// The built-in images live in this library; a static library has to register them.
static void initResources() { Q_INIT_RESOURCE(varlomin); }

namespace {

const QString kDefaultStartFolder = QStringLiteral("./examples/");
constexpr int kMenuProject = 1;
constexpr int kMenuDocks = 3;                             // the framework's "&View"
constexpr int kMenuWindow = 4;                            // the framework's "&Window"
constexpr qint64 kProgressThreshold = 50LL * 1024 * 1024; // bytes of result files
constexpr int kProgressSteps = 1000;
constexpr int kDockWidth = 360;            // pixels
constexpr int kPointTypeColumnWidth = 190; // the longest point type in full

SCloseDialog *gCloseDialog = nullptr;
bool gViewersUndecorated = false;

QString withoutAccelerators(QString text) { return text.remove(QLatin1Char('&')); }

// The cursor shown while the window works; the previous one comes back at the end.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

Varlomin::Varlomin(const QPixmap &splash)
    : Mx::MainWindow(nullptr, Qt::WindowFlags(), (initResources(), QPixmap(QStringLiteral(":/images/varlomin.png"))),
                     splash)
{
    Mu::debug("Varlomin");
    addStandardUIs(Mx::UI_Menus | Mx::UI_ToolBar | Mx::UI_StatusBar | Mx::UI_Workspace | Mx::UI_MessageDock);
    menu(kMenuProject)->setTitle(tr("&Project"));
    if (QToolBar *bar = toolBar(1))
        bar->setWindowTitle(tr("Project"));
    addStandardActions(Mx::SA_Open);
    addAction(kMenuProject, tr("&Close"), QKeySequence(), tr("Close the current project"), this,
              SLOT(_slotFileClose()));
    setupDesktop();
    addAction(kMenuProject, tr("Export Quality Report..."), QKeySequence(),
              tr("Write the adjustment report of the project as one HTML or PDF file"), this,
              SLOT(slotExportQualityReport()));
    addSeparator(kMenuWindow);
    addAction(kMenuWindow, tr("Decorate / Undecorate Viewer"), QKeySequence(Qt::Key_F11),
              tr("Toggle the decoration state of the active viewers"), this, SLOT(_slotToggleViewerInterface()));
    addAction(kMenuWindow, tr("Statistics"), QKeySequence(Qt::Key_F12), tr("Show the quality statistics of the block"),
              this, SLOT(_slotShowStatistics()));
    addStandardActions(Mx::SA_Quit | Mx::SA_Preferences | Mx::SA_WindowTiling | Mx::SA_Information | Mx::SA_Help);

    buildDock();
    fillViewMenu();

    // Preference pages, in the dialog's tab order.
    Mx::PrefsDialog *prefs = prefsTab();
    mPrefsImageViewer = new SPrefsImageViewer(prefs);
    mPrefsObjectViewer = new SPrefsObjectViewer(prefs);
    mPrefsLinks = new SPrefsLinks(prefs);
    mPrefsPoints = new SPrefsPoints(prefs);
    prefs->addTab(mPrefsImageViewer, tr("Ima&ge Viewer"));
    prefs->addTab(mPrefsObjectViewer, tr("Ob&ject Viewer"));
    prefs->addTab(mPrefsLinks, tr("Connec&tions / Links"));
    prefs->addTab(mPrefsPoints, tr("Point &Representation"));

    mContextMenu = new QMenu(this);

    Mx::InfoDialog *info = infoTab();
    info->setAboutText(SAppInfo::aboutText());
    mSupportView = new QTextBrowser(info);
    mSupportView->setReadOnly(true);
    mSupportView->setHtml(Mx::App::info(QStringLiteral("support")));
    info->addTab(mSupportView, tr("&Support"));

    connect(mImageList, &QTreeWidget::itemDoubleClicked, this, &Varlomin::_slotShowImage);
    connect(mObjectList, &QTreeView::expanded, this, &Varlomin::_slotShowObjectConnections);
    connect(mObjectList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Varlomin::_slotSelectListedPoints);
    connect(mImageList, &QWidget::customContextMenuRequested, this, &Varlomin::_slotSetupContextMenu);
    connect(mObjectList, &QWidget::customContextMenuRequested, this, &Varlomin::_slotSetupContextMenu);
    connect(this, &Varlomin::sigErrorQuitApp, qApp, &QCoreApplication::quit);
    connect(this, &Varlomin::sigErrorGetNewProjectFile, this, &Varlomin::slotFileOpen);

    connect(mSearch, &SSearchWidget::sigRequestDeselectAll, this, &Varlomin::_slotDeselectPointsInObjectViewers);
    connect(mSearch, &SSearchWidget::sigRequestSelection, this, &Varlomin::_slotSelectPointsInObjectViewers);

    connect(mPrefsImageViewer, &Mx::PrefsTab::sigWidgetsSaved, this, &Varlomin::_slotApplyImageViewerPrefs);
    connect(mPrefsObjectViewer, &Mx::PrefsTab::sigWidgetsSaved, this, &Varlomin::_slotApplyObjectViewerPrefs);
    for (Mx::PrefsTab *page : {static_cast<Mx::PrefsTab *>(mPrefsLinks), static_cast<Mx::PrefsTab *>(mPrefsPoints)}) {
        connect(page, &Mx::PrefsTab::sigWidgetsSaved, this, &Varlomin::_slotApplyImageViewerPrefs);
        connect(page, &Mx::PrefsTab::sigWidgetsSaved, this, &Varlomin::_slotApplyObjectViewerPrefs);
    }
    connect(this, &Varlomin::sigWidgetsSaved, this, &Varlomin::_slotApplyImageViewerPrefs);
    connect(this, &Varlomin::sigWidgetsSaved, this, &Varlomin::_slotApplyObjectViewerPrefs);

    // Any argument beginning with "-p", the program path included, asks for PAT-B's project.
    mOpenCurrentProject = SStartup::wantsCurrentProject(QCoreApplication::arguments());
    mChooseProjectFile = [](QWidget *parent, const QString &start) {
        return QFileDialog::getOpenFileName(
            parent, tr("Select a project file"), start,
            tr("PAT-B project (*.(p));;COLMAP model (cameras.txt cameras.bin);;BAL / Bundler (*.txt *.bz2 *.out);;"
               "All files (*.*)"));
    };
    mChooseReportFile = [](QWidget *parent, const QString &suggestion) {
        return QFileDialog::getSaveFileName(parent, tr("Export Quality Report"), suggestion,
                                            tr("HTML report (*.html);;PDF report (*.pdf)"));
    };
}

Varlomin::~Varlomin()
{
    Mu::debug("~Varlomin");
    SImageViewer::closeAll();
    SObjectViewer::closeAll();
    SImage::clearPointIndex();
}

void Varlomin::buildDock()
{
    mDock = new QDockWidget(tr("Project View"), this);
    mDock->setObjectName(QStringLiteral("ProjectView"));
    mDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                       QDockWidget::DockWidgetFloatable);
    mDock->setMinimumHeight(200);
    mTabs = new QTabWidget(mDock);

    mImageList = new QTreeWidget(mTabs);
    mImageList->setHeaderLabels({tr("ID"), tr("# Coords")});
    mImageList->setRootIsDecorated(false);
    mImageList->setAllColumnsShowFocus(true);
    mImageList->setSortingEnabled(true);
    mImageList->sortByColumn(0, Qt::AscendingOrder);
    mImageList->header()->setSortIndicatorShown(true);
    mImageList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    mImageList->setUniformRowHeights(true);
    mImageList->setContextMenuPolicy(Qt::CustomContextMenu);
    mImageList->setWhatsThis(tr("Image Tab: Lists all images and their number of points."));
    const QString imageTab = tr("&Image");
    mTabs->addTab(mImageList, imageTab);

    mObjectList = new QTreeView(mTabs);
    mObjectModel = new SObjectListModel(mObjectList);
    mObjectList->setModel(mObjectModel);
    mObjectList->setRootIsDecorated(true);
    mObjectList->setAllColumnsShowFocus(true);
    mObjectList->setSortingEnabled(true);
    mObjectList->sortByColumn(0, Qt::AscendingOrder);
    mObjectList->header()->setSortIndicatorShown(true);
    mObjectList->setUniformRowHeights(true);
    mObjectList->setSelectionMode(QAbstractItemView::ExtendedSelection); // rows select points in the viewers
    mObjectList->header()->resizeSection(1, kPointTypeColumnWidth);
    mObjectList->setContextMenuPolicy(Qt::CustomContextMenu);
    mObjectList->setToolTip(tr("Object Tab: Lists all object points and their properties."));
    mObjectList->setWhatsThis(tr("Object Tab: Lists all object points and their properties."));
    const QString objectTab = tr("Ob&ject");
    mTabs->addTab(mObjectList, objectTab);

    mProjectInfo = new ProjectInfo(mTabs);
    mProjectInfo->setWhatsThis(tr("Info Tab: Lists information about the current project."));
    const QString infoTab = tr("In&fo");
    mTabs->addTab(mProjectInfo, infoTab);

    mSearch = new SSearchWidget(mTabs);
    mSearch->setWhatsThis(tr("Search Tab: Enables to select object points via their properties."));
    const QString searchTab = tr("&Search");
    mTabs->addTab(mSearch, searchTab);

    mDock->setWidget(mTabs);
    addDockWidget(Qt::LeftDockWidgetArea, mDock);
    // Room for the point types; on a small screen a little less, for the viewers.
    resizeDocks({mDock}, {std::min(kDockWidth, width() * 2 / 9)}, Qt::Horizontal);
    mDock->setWhatsThis(
        tr("The <font color=\"#0000ff\">%1</font> displays information about the current project and enables search "
           "functionality:<p><ul><li><b>%2:</b> Information about the images and image points.</li><li><b>%3:</b> "
           "Information about the object points and their properties.</li><li><b>%4:</b> General information about "
           "the project.</li><li><b>%5:</b> Lets you search for images and object points via their "
           "properties.</li></ul>")
            .arg(mDock->windowTitle(), withoutAccelerators(imageTab), withoutAccelerators(objectTab),
                 withoutAccelerators(infoTab), withoutAccelerators(searchTab)));
}

// The docks and tool bars can be closed; this menu is where they are found again.
void Varlomin::fillViewMenu()
{
    QMenu *view = menu(kMenuDocks);
    if (!view)
        return;
    view->addAction(mDock->toggleViewAction());
    if (QDockWidget *messages = messageDock())
        view->addAction(messages->toggleViewAction());
    view->addSeparator();
    for (QToolBar *bar : findChildren<QToolBar *>(Qt::FindDirectChildrenOnly))
        view->addAction(bar->toggleViewAction());
}

SCloseDialog *Varlomin::closeDialog() { return gCloseDialog; }

bool Varlomin::viewersUndecorated() { return gViewersUndecorated; }

// --- Opening, initialising, closing --------------------------------------------------

bool Varlomin::confirmCloseCurrentProject()
{
    if (_strProjectFile.isEmpty())
        return true;
    QMessageBox box(QMessageBox::Question, tr("Close current project?"),
                    tr("If you open a new project,the current project %1 will be closed.\nDo you really want "
                       "to open a new project?")
                        .arg(QFileInfo(_strProjectFile).fileName()),
                    QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(tr("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(tr("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void Varlomin::slotFileOpen()
{
    if (!confirmCloseCurrentProject())
        return;
    const QString start =
        Mx::Cfg(SSettings::kGroupVarlomin).readString(SSettings::kLastProjectFile, kDefaultStartFolder);
    const QString file = mChooseProjectFile(this, start);
    if (file.isEmpty()) {
        Mu::msg(Mu::kMsgProgress, "%s", qPrintable(tr("Operation aborted by user")));
        return;
    }
    WaitCursor wait;
    _slotFileClose();
    openRead(file);
}

void Varlomin::openProject(const QString &projectFile)
{
    _slotFileClose();
    openRead(projectFile);
}

void Varlomin::openRead(const QString &projectFile)
{
    QElapsedTimer timer;
    timer.start();
    if (!readProjectFile(projectFile))
        return;
    const qint64 readMs = timer.restart();
    _slotInitProject();
    Mu::debug("Opening '%s': read %lld ms, initialised %lld ms", qPrintable(projectFile), readMs, timer.elapsed());
}

void Varlomin::openCurrentPATProject()
{
    SPatbReader reader(mData, *this);
    const QString project = reader.findCurrentPATProject(mOpenCurrentProject);
    if (!project.isEmpty())
        openRead(project);
}

bool Varlomin::readProjectFile(const QString &projectFile)
{
    mNothingToInitialise = false;
    try {
        SProjectOpener::read(projectFile, mData, *this);
    } catch (const SException &e) {
        // An inconsistent file ends the read; what was read before the record stays.
        QMessageBox::warning(this, Mx::App::info(QStringLiteral("nameLong")),
                             tr("Error %1 while reading the project '%2':\n%3")
                                 .arg(e.code())
                                 .arg(QDir::toNativeSeparators(projectFile), e.message()));
        Mu::warn("%s", qPrintable(tr("Error %1: %2").arg(e.code()).arg(e.message())));
    }
    delete mProgress;
    mProgress = nullptr;
    // After "&Open other" the nested opening has already initialised the window.
    return !mNothingToInitialise;
}

SReadErrorChoice Varlomin::readError(const QString &text)
{
    delete mProgress;
    mProgress = nullptr;
    QMessageBox box(QMessageBox::Warning, Mx::App::info(QStringLiteral("nameLong")), text);
    QPushButton *other = box.addButton(tr("&Open other"), QMessageBox::AcceptRole);
    QPushButton *quit = box.addButton(tr("&Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(other);
    box.setEscapeButton(quit);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    return box.clickedButton() == other ? SReadErrorChoice::OpenOther : SReadErrorChoice::Quit;
}

void Varlomin::requestOtherProjectFile()
{
    mNothingToInitialise = true;
    // The failed read's remains go first, so that the next project starts from nothing.
    mData.close();
    emit sigErrorGetNewProjectFile();
    mNothingToInitialise = true; // the nested read reset it
}

void Varlomin::dataInputComplete() { emit sigDataInputComplete(); }

void Varlomin::readStarting(qint64 totalBytes)
{
    delete mProgress;
    mProgress = nullptr;
    if (totalBytes <= kProgressThreshold)
        return;
    mProgress = new QProgressDialog(this);
    mProgress->setWindowTitle(tr("Opening project"));
    mProgress->setWindowModality(Qt::WindowModal);
    mProgress->setMinimumDuration(0);
    mProgress->setRange(0, kProgressSteps);
    mProgress->setProperty("totalBytes", totalBytes);
    // Escape rejects the dialog, which would only hide it while the reading goes on unseen
    // and can no longer be cancelled: it cancels, as the button does.
    connect(mProgress, &QDialog::rejected, mProgress, &QProgressDialog::cancel);
    mProgressFile.clear();
    mProgressBase = mProgressLast = 0;
}

bool Varlomin::progress(const QString &file, qint64 done, qint64 /*total*/)
{
    if (!mProgress)
        return true;
    if (file != mProgressFile) {
        mProgressBase += mProgressLast;
        mProgressFile = file;
        mProgressLast = 0;
        mProgress->setLabelText(tr("Reading %1 ...").arg(QDir::toNativeSeparators(file)));
    }
    mProgressLast = done;
    const qint64 all = std::max<qint64>(1, mProgress->property("totalBytes").toLongLong());
    mProgress->setValue(int(std::min<qint64>(kProgressSteps, kProgressSteps * (mProgressBase + done) / all)));
    QCoreApplication::processEvents();
    if (!mProgress->wasCanceled())
        return true;
    // Cancelled: nothing of the project stays, as after closing.
    delete mProgress;
    mProgress = nullptr;
    mData.close();
    Mu::warn("%s", qPrintable(tr("Opening the project was cancelled; no project is open.")));
    mNothingToInitialise = true; // nothing to initialise
    return false;
}

void Varlomin::_slotInitProject()
{
    if (!mData.projectFiles)
        return; // no project file passed its check: nothing to show
    mData.initialise([this] {
        Mu::info("%s", qPrintable(tr("Read <b>%1</b> Images.").arg(mData.mListImageData.count())));
        Mu::info("%s", qPrintable(tr("Read <b>%1</b> Objects.").arg(mData.mListObjectData.count())));
    });
    Mu::msg(Mu::kMsgProgress, "%s", qPrintable(tr("Reading Projectfile ready.")));
    _strProjectFile = mData.projectFiles->projectFile;
    QElapsedTimer timer;
    timer.start();
    fillLists();
    const qint64 listMs = timer.restart();
    // Absolute, so that the next file dialog starts there whatever the working folder is.
    Mx::Cfg(SSettings::kGroupVarlomin)
        .writeEntry(SSettings::kLastProjectFile,
                    QDir::toNativeSeparators(QFileInfo(_strProjectFile).absoluteFilePath()));
    restoreViewerPlacements();
    noteProjectOpened();
    Mu::debug("Lists filled in %lld ms, viewers restored in %lld ms", listMs, timer.elapsed());
    refreshStatistics();
}

void Varlomin::fillLists()
{
    if (const ProjectFiles *p = mData.projectFiles.get())
        mProjectInfo->showProject(*p, mData.mListImageData.count(), mData.mListObjectData.count());
    // Sorting is switched off while filling: inserting into a sorted list is quadratic.
    mImageList->setSortingEnabled(false);
    mImageList->clear();
    for (const SImage *image : mData.mListImageData)
        new SImageListItem(mImageList, image->id(), image->numberOfPoints());
    mImageList->setSortingEnabled(true);

    mObjectModel->setPoints(mData.mListObjectData);
    mObjectModel->sort(mObjectList->header()->sortIndicatorSection(), mObjectList->header()->sortIndicatorOrder());
}

void Varlomin::_slotFileClose()
{
    if (_strProjectFile.isEmpty())
        return;
    Mu::info("%s", qPrintable(tr("Closing current project <b>%1</b>...").arg(QFileInfo(_strProjectFile).fileName())));
    WaitCursor wait;
    noteProjectClosed();
    SImageViewer::closeAll();
    SObjectViewer::closeAll();
    _strProjectFile.clear();
    mProjectInfo->clear();
    mImageList->clear();
    mObjectModel->clear();
    mData.close();
    refreshStatistics();
    // The lists' own repaint after clearing can be lost while the viewers' frames go;
    // ask again, so that no row of the closed project stays on screen.
    mImageList->viewport()->update();
    mObjectList->viewport()->update();
    Mu::info("%s", qPrintable(tr("Closing done.")));
}

// --- Viewers ---------------------------------------------------------------------------

namespace {

// Puts a viewer window into the workspace; the frame closes with the viewer.
QMdiSubWindow *addToWorkspace(QMdiArea *workspace, QWidget *viewer)
{
    QMdiSubWindow *frame = workspace->addSubWindow(viewer);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(viewer, &QObject::destroyed, frame, [frame] { frame->close(); });
    Mx::trackNormalGeometry(frame);
    return frame;
}

// Puts the viewer's frame where it was saved, in the state it was saved in; false when
// nothing usable was saved.
bool applyFrameGeometry(QWidget *viewer, const QString &group, const QString &key, const QString &stateKey)
{
    QWidget *frame = viewer->parentWidget() ? viewer->parentWidget() : viewer;
    Mx::Cfg cfg(group);
    const QRect rect = cfg.readRect(key, frame->geometry());
    if (rect.width() <= 0 || rect.height() <= 0)
        return false;
    Mx::restoreFrame(frame, rect, cfg.readNum(stateKey, Mx::FS_Normal));
    return cfg.hasKey(key);
}

} // namespace

SImageViewer *Varlomin::createImageViewer(int imageId)
{
    auto *viewer = new SImageViewer(&mData.mListImageData, workspace(), imageId);
    connect(viewer, &SImageViewer::sigRequestImagePreferences, this, &Varlomin::_slotShowImageViewerPreferences);
    connect(viewer, &SImageViewer::sigRequestSelection, this, &Varlomin::_slotSelectImagePointsInObjectViewers);
    QMdiSubWindow *frame = addToWorkspace(workspace(), viewer);
    if (gViewersUndecorated)
        viewer->hideToolBars(true);
    viewer->show();
    SWorkspaceLayout::keepInside(workspace(), frame);
    return viewer;
}

SObjectViewer *Varlomin::createObjectViewer(int plane)
{
    if (SObjectViewer *existing = SObjectViewer::viewer(plane)) {
        existing->setFocus();
        if (QMdiSubWindow *frame = qobject_cast<QMdiSubWindow *>(existing->parentWidget()))
            workspace()->setActiveSubWindow(frame);
        return existing;
    }
    SObjectViewer *viewer = SObjectViewer::instance(plane, workspace());
    if (!viewer)
        return nullptr;
    connect(viewer, &SObjectViewer::sigRequestObjectPreferences, this, &Varlomin::_slotShowObjectViewerPreferences);
    // Before any project was read there is no record: the viewer then gets no sigmas.
    viewer->setObjectPoints(&mData.mListObjectData, mData.projectFiles && mData.projectFiles->inversion);
    QMdiSubWindow *frame = addToWorkspace(workspace(), viewer);
    if (gViewersUndecorated)
        viewer->hideToolBars(true);
    viewer->show();
    SWorkspaceLayout::keepInside(workspace(), frame);
    viewer->setFocus();
    return viewer;
}

void Varlomin::_slotShowImage(QTreeWidgetItem *item, int /*column*/)
{
    if (!item || mData.mListImageData.isEmpty())
        return;
    bool ok = false;
    const int id = item->text(0).toInt(&ok, 10);
    if (!ok) {
        Mu::warn("%s", qPrintable(tr("Can't convert string to number!")));
        return;
    }
    createImageViewer(id);
}

void Varlomin::_slotShowObjectConnections(const QModelIndex &item)
{
    const SObjectListItem *point = mObjectModel->item(item);
    if (!point || mData.mListObjectData.count() == 0 || mObjectModel->childrenKnown(item))
        return;
    std::vector<int> imageIds;
    for (const SImage *image : mData.mListImageData)
        if (image->hasImagePoint(point->pointId))
            imageIds.push_back(image->id());
    mObjectModel->setChildren(item, imageIds);
}

namespace {

bool isCentreCode(int code) { return code == 900 || code == 901; }

} // namespace

// The rows chosen in the object list become the selection of the object viewers; the
// active viewer shows the first of them.
void Varlomin::_slotSelectListedPoints()
{
    if (mData.mListObjectData.isEmpty())
        return;
    QItemSelectionModel *selection = mObjectList->selectionModel();
    QSet<int> pointIds, centreIds;
    const SObjectListItem *first = nullptr; // the row clicked last, else the first chosen
    for (const QModelIndex &row : selection->selectedRows(0)) {
        const SObjectListItem *item = mObjectModel->item(row);
        if (!item)
            continue; // an image row under a point
        (isCentreCode(item->code) ? centreIds : pointIds).insert(item->pointId);
        if (!first)
            first = item;
    }
    SObjectViewer::selectPointIds(pointIds, centreIds);
    const QModelIndex current = selection->currentIndex();
    if (mObjectModel->item(current) && selection->isRowSelected(current.row(), current.parent()))
        first = mObjectModel->item(current);
    if (!first)
        return;
    SObjectViewer *active = nullptr;
    if (QMdiSubWindow *frame = workspace()->activeSubWindow())
        active = qobject_cast<SObjectViewer *>(frame->widget());
    for (int plane = 0; !active && plane < 3; ++plane)
        active = SObjectViewer::viewer(plane);
    if (!active)
        return;
    for (const SObjectPoint &point : mData.mListObjectData) {
        if (point.id() == first->pointId && isCentreCode(point.code()) == isCentreCode(first->code)) {
            active->centreOn(point);
            break;
        }
    }
}

void Varlomin::_slotSetupContextMenu(const QPoint &position)
{
    mContextMenu->clear();
    if (mData.mListObjectData.count() > 0) {
        const char *texts[] = {"Show XY-View", "Show XZ-View", "Show YZ-View"};
        for (int id = 0; id < 3; ++id)
            mContextMenu->addAction(tr(texts[id]), this, [this, id] { _slotHandleContextMenu(id); });
    }
    if (mContextMenu->isEmpty())
        return;
    auto *list = qobject_cast<QWidget *>(sender());
    mContextMenu->popup(list ? list->mapToGlobal(position) : QCursor::pos());
}

void Varlomin::_slotHandleContextMenu(int id)
{
    if (id >= 0 && id <= 2)
        createObjectViewer(id);
    else
        Mu::warn("%s", qPrintable(tr("Invalid case (%1)!").arg(id)));
}

void Varlomin::saveViewerPlacements()
{
    SImageViewer::saveViewerPlacements();
    SObjectViewer::saveViewerPlacements();
}

void Varlomin::restoreViewerPlacements()
{
    bool anySaved = false;
    Mx::Cfg objectCfg(SSettings::kGroupObjectViewer);
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane) {
        if (!objectCfg.readBool(SSettings::viewerOnKey(plane), SSettings::kDefaultViewerOn))
            continue;
        if (SObjectViewer *viewer = createObjectViewer(plane))
            anySaved |= applyFrameGeometry(viewer, SSettings::kGroupObjectViewer, SSettings::geometryKey(plane),
                                           SSettings::windowStateKey(plane));
    }
    const int count =
        Mx::Cfg(SSettings::kGroupImageViewer).readNum(SSettings::kViewerCountKey, SSettings::kDefaultViewerCount);
    for (int i = 0; i < count && i < mData.mListImageData.count(); ++i) {
        if (SImageViewer *viewer = createImageViewer(mData.mListImageData.at(i)->id()))
            anySaved |= applyFrameGeometry(viewer, SSettings::kGroupImageViewer, SSettings::geometryKey(i),
                                           SSettings::windowStateKey(i));
    }
    // Nothing saved yet (a first run): lay the windows out side by side rather than on top
    // of each other.
    if (!anySaved)
        SWorkspaceLayout::tile(workspace());
}

// --- Keyboard ----------------------------------------------------------------------------

void Varlomin::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers(); // compared exactly
    static const QList<int> planeKeys = {Qt::Key_1, Qt::Key_2, Qt::Key_3};
    static const QList<int> pointKeys = {Qt::Key_N, Qt::Key_V, Qt::Key_H, Qt::Key_F, Qt::Key_P, Qt::Key_O, Qt::Key_L};
    if (const int plane = planeKeys.indexOf(event->key()); plane >= 0) {
        if (mods != Qt::ControlModifier) {
            event->ignore();
            return;
        }
        createObjectViewer(plane);
        event->accept();
        return;
    }
    if (const int index = pointKeys.indexOf(event->key()); index >= 0) {
        if (mods != Qt::ShiftModifier) {
            event->ignore();
            return;
        }
        // Absent reads as off here, so the first toggle writes "on".
        Mx::Cfg cfg(SSettings::kGroupPoints);
        const bool on = cfg.readBool(SSettings::pointOnKey(index), false);
        cfg.writeEntry(SSettings::pointOnKey(index), on ? 0 : 1);
        emit sigWidgetsSaved();
        event->accept();
        return;
    }
    Mx::MainWindow::keyPressEvent(event);
}

// --- Preferences and decoration -----------------------------------------------------------

void Varlomin::_slotShowImageViewerPreferences()
{
    Mx::PrefsDialog *dialog = prefsTab();
    if (dialog->isVisible())
        return;
    dialog->showPage(mPrefsImageViewer);
    dialog->show();
}

void Varlomin::_slotShowObjectViewerPreferences()
{
    Mx::PrefsDialog *dialog = prefsTab();
    if (dialog->isVisible())
        return;
    dialog->showPage(mPrefsObjectViewer);
    dialog->show();
}

void Varlomin::_slotApplyImageViewerPrefs() { SImageViewer::applyPrefsToAll(); }

void Varlomin::_slotApplyObjectViewerPrefs() { SObjectViewer::applyPrefsToAll(); }

void Varlomin::_slotToggleViewerInterface()
{
    gViewersUndecorated = !gViewersUndecorated;
    SImageViewer::hideToolBars(gViewersUndecorated);
    SObjectViewer::hideToolBars(gViewersUndecorated);
}

// --- Selection routing ------------------------------------------------------------------

void Varlomin::_slotSelectImagePointsInObjectViewers(SImage *image) { SObjectViewer::selectImagePoints(image); }

void Varlomin::_slotDeselectPointsInObjectViewers() { SObjectViewer::deselectPoints(); }

void Varlomin::_slotSelectPointsInObjectViewers(const SSearchRequest &request)
{
    Mu::debug("Varlomin::_slotSelectPointsInObjectViewers");
    try {
        SObjectViewer::selectPoints(request);
    } catch (const SException &e) {
        QMessageBox::warning(this, Mx::App::info(QStringLiteral("nameLong")),
                             tr("Error %1 while selecting points:\n%2").arg(e.code()).arg(e.message()));
        Mu::warn("%s", qPrintable(tr("Error %1: %2").arg(e.code()).arg(e.message())));
    }
}

// --- Closing ------------------------------------------------------------------------------

void Varlomin::closeEvent(QCloseEvent *event)
{
    if (!gCloseDialog)
        gCloseDialog = new SCloseDialog(this);
    if (gCloseDialog->exec() != QDialog::Accepted) {
        event->ignore();
        return;
    }
    if (gCloseDialog->saveViewerPositions())
        saveViewerPlacements();
    if (gCloseDialog->savePreferences())
        slotCfgSaveUser();
    closeHelpWindow();
    mCloseAccepted = true;
    event->accept();
    emit sigCloseAccepted();
}

void Varlomin::slotExportQualityReport()
{
    if (_strProjectFile.isEmpty()) {
        Mu::warnDlg("%s", qPrintable(tr("Open a project first: the report describes the open project.")));
        return;
    }
    const QFileInfo project(_strProjectFile);
    const QString suggestion =
        project.absoluteDir().filePath(project.completeBaseName() + QStringLiteral("-report.html"));
    const QString file = mChooseReportFile ? mChooseReportFile(this, suggestion) : QString();
    if (file.isEmpty()) {
        Mu::msg(Mu::kMsgProgress, "%s", qPrintable(tr("Operation aborted by user")));
        return;
    }
    SQualityReportInput input;
    input.projectFile = QDir::fromNativeSeparators(_strProjectFile);
    input.version = QString::fromLatin1(SAppInfo::kVersion);
    input.createdAt = QDateTime::currentDateTimeUtc();
    input.thresholds = SReportSettings::readThresholds();
    QString error;
    bool written = false;
    {
        WaitCursor wait;
        written = writeQualityReport(mData, input, file, &error);
    }
    if (!written) {
        Mu::warnDlg("%s", qPrintable(error));
        return;
    }
    Mu::info("%s", qPrintable(tr("Quality report written to <b>%1</b>.").arg(QDir::toNativeSeparators(file))));
}
