// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's ways to reach a project beside the file dialog (command line, drop,
// recent projects) and its following of a project that PAT-B writes again: the file watch,
// the reload bar and the reload that keeps the viewers.
#include "app/SProjectWatcher.h"
#include "app/SRecentProjects.h"
#include "app/SRecentProjectsMenu.h"
#include "app/SReloadBar.h"
#include "app/SReloadSummary.h"
#include "app/SViewerStates.h"
#include "app/Varlomin.h"
#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SException.h"
#include "objectviewer/SObjectRenderer.h"
#include "objectviewer/SObjectViewer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QVBoxLayout>

namespace {

constexpr int kMenuProject = 1;

// A read for a reload: errors are recorded instead of asked about.
class SReloadHandler : public SPatbHandler {
public:
    QString error;
    SReadErrorChoice readError(const QString &text) override
    {
        if (error.isEmpty())
            error = text;
        return SReadErrorChoice::Stop;
    }
};

// The recent list lives beside the configuration file: Varlomin.cfg -> Varlomin.recent.
QString recentProjectsFile()
{
    const QFileInfo cfg(Mx::CfgStore::userFile());
    if (cfg.fileName().isEmpty())
        return QString();
    return cfg.absolutePath() + QLatin1Char('/') + cfg.completeBaseName() + QStringLiteral(".recent");
}

// The project file of a drop: the first local file of the URLs.
QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

} // namespace

void Varlomin::setupDesktop()
{
    mRecent = std::make_unique<SRecentProjects>(recentProjectsFile());
    mRecentMenu = new SRecentProjectsMenu(*mRecent, this);
    connect(mRecentMenu, &SRecentProjectsMenu::sigOpenProject, this,
            [this](const QString &file) { openProjectFile(file, true); });
    if (QMenu *project = menu(kMenuProject))
        project->addMenu(mRecentMenu);
    addAction(kMenuProject, tr("&Reload"), QKeySequence(Qt::Key_F5),
              tr("Read the current project's files again, keeping the viewers"), this, SLOT(slotReload()));

    // The bar sits above the workspace, outside the viewers' frames.
    mReloadBar = new SReloadBar(this);
    QWidget *workspaceWidget = takeCentralWidget();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mReloadBar);
    layout->addWidget(workspaceWidget, 1);
    setCentralWidget(central);

    mWatcher = new SProjectWatcher(this);
    connect(mWatcher, &SProjectWatcher::sigFilesChanged, this, [this] {
        if (!mWatcher->waiting() && !_strProjectFile.isEmpty())
            mReloadBar->showChanged();
    });
    connect(mReloadBar, &SReloadBar::sigReload, this, &Varlomin::slotReload);
    connect(mReloadBar, &SReloadBar::sigIgnore, this, [this] {
        mWatcher->acceptCurrentState();
        mReloadBar->hide();
    });
    setAcceptDrops(true);
}

void Varlomin::noteProjectOpened()
{
    mRecent->add(_strProjectFile);
    mReloadBar->hide();
    // Standardized residuals in the image viewers divide by the block's sigma 0.
    SImageViewer::setSigma0(mData.projectFiles ? mData.projectFiles->sigma0 : 0.0);
    if (const ProjectFiles *p = mData.projectFiles.get())
        mWatcher->watch(
            {_strProjectFile, p->imageFile, p->orientationFile, p->objectFile, p->observationFile, p->cameraFile});
}

void Varlomin::noteProjectClosed()
{
    mWatcher->stop();
    mReloadBar->hide();
}

void Varlomin::openProjectFile(const QString &projectFile, bool ask)
{
    if (!QFileInfo::exists(projectFile)) { // a file, or a COLMAP model's folder
        Mu::warn(
            "%s",
            qPrintable(
                tr("Can't open the project '%1': there is no such file.").arg(QDir::toNativeSeparators(projectFile))));
        return;
    }
    if (ask && !confirmCloseCurrentProject())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    openProject(QFileInfo(projectFile).absoluteFilePath());
    QApplication::restoreOverrideCursor();
}

void Varlomin::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Varlomin::dropEvent(QDropEvent *event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // The question is modal: ask after the drop has finished, not inside it.
    QMetaObject::invokeMethod(
        this, [this, file] { openProjectFile(file, true); }, Qt::QueuedConnection);
}

// --- Reload --------------------------------------------------------------------------------

void Varlomin::slotReload()
{
    if (_strProjectFile.isEmpty())
        return;
    mReloadBar->showWaiting();
    mWatcher->whenStable([this] { reloadProject(); });
}

// Reads the project into fresh while the shown one is out of the class-wide indexes; the
// reason of a failure, or an empty string.
QString Varlomin::readForReload(SProjectData &fresh)
{
    const QStringList vanished = mWatcher->vanishedFiles();
    if (!vanished.isEmpty())
        return tr("The file '%1' is gone.").arg(QDir::toNativeSeparators(vanished.first()));
    SReloadHandler handler;
    try {
        SProjectOpener::read(_strProjectFile, fresh, handler);
    } catch (const SException &e) {
        return tr("Error %1: %2").arg(e.code()).arg(e.message());
    }
    if (!handler.error.isEmpty())
        return handler.error;
    if (!fresh.projectFiles)
        return tr("'%1' is no usable project file.").arg(QDir::toNativeSeparators(_strProjectFile));
    return QString();
}

bool Varlomin::reloadProject()
{
    if (_strProjectFile.isEmpty())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString name = QFileInfo(_strProjectFile).fileName();
    SProjectData fresh;
    SObjectRenderer::stopAll(); // the views' worker paints read the model that changes now
    mData.mListImageData.leaveIndexes();
    mLastReloadError = readForReload(fresh);
    if (!mLastReloadError.isEmpty()) {
        // The failed read's remains leave the indexes; the project shown comes back.
        fresh.mListImageData.leaveIndexes();
        mData.mListImageData.enterIndexes();
        QApplication::restoreOverrideCursor();
        Mu::warn("%s", qPrintable(tr("Reloading <b>%1</b> failed; the project shown is the one read before: %2")
                                      .arg(name, mLastReloadError)));
        mReloadBar->showFailed(mLastReloadError);
        return false;
    }
    fresh.sortImages();
    fresh.reconcilePointCodes();
    const SReloadSummary summary = SReloadSummary::compare(mData, fresh);
    copySelectionById(mData.mListObjectData, fresh.mListObjectData);
    const SViewerStates states = SViewerStates::capture();

    mData.swap(fresh); // fresh now holds the old project, which goes at the end of this block
    fillLists();
    if (mData.mListImageData.isEmpty())
        SImageViewer::closeAll();
    const bool sigmas = mData.projectFiles && mData.projectFiles->inversion;
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
        if (SObjectViewer *viewer = SObjectViewer::viewer(plane))
            viewer->setObjectPoints(&mData.mListObjectData, sigmas);
    states.restore();
    noteProjectOpened();
    refreshStatistics();
    QApplication::restoreOverrideCursor();

    Mu::info("%s", qPrintable(tr("Reloaded <b>%1</b>.").arg(name)));
    for (const QString &line : summary.lines())
        Mu::info("%s", qPrintable(line));
    return true;
}
