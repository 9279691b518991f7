// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: holds the open project, shows it in the project dock, hosts the
// image and object viewers in the workspace, and routes searches, selections and
// preferences between them.
#pragma once

#include "framework/MxMainWindow.h"
#include "misc/SGlobal.h"
#include "patb/SPatbHandler.h"
#include "patb/SProjectData.h"

#include <QPointer>

#include <functional>
#include <memory>

class QDockWidget;
class QMenu;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QTreeView;
class QModelIndex;
class SObjectListModel;
class ProjectInfo;
class SCloseDialog;
class SImage;
class SImageViewer;
class SObjectViewer;
class SPrefsImageViewer;
class SPrefsLinks;
class SPrefsObjectViewer;
class SPrefsPoints;
class SSearchRequest;
class SSearchWidget;
class SProjectWatcher;
class SRecentProjects;
class SRecentProjectsMenu;
class SReloadBar;
class SStatisticsWindow;
struct ProjectFiles;

class Varlomin : public Mx::MainWindow, private SPatbHandler {
    Q_OBJECT
public:
    explicit Varlomin(const QPixmap &splash);
    ~Varlomin() override;

    bool openCurrentProjectFlag() const { return mOpenCurrentProject; }
    // The user confirmed the close dialog: the program is to end, whatever it was doing.
    bool closeAccepted() const { return mCloseAccepted; }
    // Opens PAT-B's current project (start-up with "-p").
    void openCurrentPATProject();
    // Reads a project file and initialises the window with it (no question, no dialog).
    void openProject(const QString &projectFile);

    // The open project; empty path when none is open.
    QString projectFile() const { return _strProjectFile; }
    SImageList &images() { return mData.mListImageData; }
    SObjectPointList &objectPoints() { return mData.mListObjectData; }
    const ProjectFiles *projectFiles() const { return mData.projectFiles.get(); }

    QTreeWidget *imageList() const { return mImageList; }
    QTreeView *objectList() const { return mObjectList; }
    SObjectListModel *objectListModel() const { return mObjectModel; }
    ProjectInfo *projectInfo() const { return mProjectInfo; }
    SSearchWidget *searchWidget() const { return mSearch; }
    QMenu *contextMenu() const { return mContextMenu; }
    static SCloseDialog *closeDialog();
    static bool viewersUndecorated();

    // Asks the user for a project file, starting at the given folder or file; empty when
    // cancelled. Replaceable so that scripted runs need no file dialog.
    using ProjectFileChooser = std::function<QString(QWidget *parent, const QString &start)>;
    void setProjectFileChooser(ProjectFileChooser chooser) { mChooseProjectFile = std::move(chooser); }
    // Asks where to write the quality report; empty when cancelled. Replaceable likewise.
    using ReportFileChooser = std::function<QString(QWidget *parent, const QString &suggestion)>;
    void setReportFileChooser(ReportFileChooser chooser) { mChooseReportFile = std::move(chooser); }

    // Opens a project named by the user outside the file dialog (command line, drop, recent
    // list), in any format the opener knows: with ask, the "Close current project?" question
    // comes first; a path that does not exist is only reported.
    void openProjectFile(const QString &projectFile, bool ask);
    // Reads the open project again at once, keeping the viewers, their zoom, scroll position
    // and images, and the selection; false (the project shown stays, the reason reported)
    // when the files cannot be read.
    bool reloadProject();
    SRecentProjects &recentProjects() { return *mRecent; }
    SRecentProjectsMenu *recentProjectsMenu() const { return mRecentMenu; }
    SProjectWatcher *projectWatcher() const { return mWatcher; }
    SReloadBar *reloadBar() const { return mReloadBar; }
    QString lastReloadError() const { return mLastReloadError; }

    SImageViewer *createImageViewer(int imageId);
    SObjectViewer *createObjectViewer(int plane);
    void saveViewerPlacements();
    void restoreViewerPlacements();

public slots:
    void slotFileOpen() override;
    // Reloads once the project's files have stopped changing (F5, Project > Reload, the bar).
    void slotReload();
    // "Export Quality Report...": the adjustment report of the open project, HTML or PDF.
    void slotExportQualityReport();

private slots:
    void _slotFileClose();
    void _slotShowImage(QTreeWidgetItem *item, int column);
    void _slotShowObjectConnections(const QModelIndex &item);
    void _slotShowImageViewerPreferences();
    void _slotShowObjectViewerPreferences();
    void _slotApplyImageViewerPrefs();
    void _slotApplyObjectViewerPrefs();
    void _slotToggleViewerInterface();
    void _slotSelectImagePointsInObjectViewers(SImage *image);
    void _slotDeselectPointsInObjectViewers();
    void _slotSelectPointsInObjectViewers(const SSearchRequest &request);
    void _slotSetupContextMenu(const QPoint &position);
    void _slotHandleContextMenu(int id);
    void _slotInitProject();
    // The statistics window (VarlominStatistics.cpp).
    void _slotShowStatistics();
    void _slotShowImageFromStatistics(int imageId);
    void _slotShowPointFromStatistics(int pointId, bool projectionCentre);
    void _slotSelectListedPoints();

signals:
    void sigDataInputComplete();
    void sigErrorGetNewProjectFile();
    void sigErrorQuitApp();
    void sigWidgetsSaved();
    void sigCloseAccepted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // What a read reports to the window.
    SReadErrorChoice readError(const QString &text) override;
    void requestOtherProjectFile() override;
    void dataInputComplete() override;
    void readStarting(qint64 totalBytes) override;
    bool progress(const QString &file, qint64 done, qint64 total) override;

    // Reads the project; false when "&Open other" handed the opening to a nested call.
    bool readProjectFile(const QString &projectFile);
    // Reads and, unless the read handed over to another opening, initialises.
    void openRead(const QString &projectFile);
    void fillLists();
    void buildDock();
    // "Close current project?"; true when no project is open or the user answered "&Yes".
    bool confirmCloseCurrentProject();
    // Recent projects, the reload bar, the file watch and dropping (VarlominDesktop.cpp).
    void setupDesktop();
    void noteProjectOpened();
    void noteProjectClosed();
    QString readForReload(SProjectData &fresh);
    // Recomputes the statistics window's figures for the open project, or empties it.
    void refreshStatistics();
    void fillViewMenu();

    SProjectData mData; // mListImageData, mListObjectData and the project record
    SPrefsImageViewer *mPrefsImageViewer = nullptr;
    SPrefsObjectViewer *mPrefsObjectViewer = nullptr;
    SPrefsLinks *mPrefsLinks = nullptr;
    SPrefsPoints *mPrefsPoints = nullptr;
    QTextBrowser *mSupportView = nullptr;
    QString _strProjectFile;
    ReportFileChooser mChooseReportFile;
    QTreeWidget *mImageList = nullptr;
    QTreeView *mObjectList = nullptr;
    SObjectListModel *mObjectModel = nullptr;
    ProjectInfo *mProjectInfo = nullptr;
    QMenu *mContextMenu = nullptr;
    bool mOpenCurrentProject = false;
    bool mCloseAccepted = false;
    ProjectFileChooser mChooseProjectFile;
    QPointer<SStatisticsWindow> mStatistics; // null until the user opens it

    QDockWidget *mDock = nullptr;
    QTabWidget *mTabs = nullptr;
    SSearchWidget *mSearch = nullptr;
    // The read ended with nothing to initialise: "&Open other" handed the opening to a
    // nested call, or the user cancelled.
    bool mNothingToInitialise = false;
    std::unique_ptr<SRecentProjects> mRecent;
    SRecentProjectsMenu *mRecentMenu = nullptr;
    SProjectWatcher *mWatcher = nullptr;
    SReloadBar *mReloadBar = nullptr;
    QString mLastReloadError;
    class QProgressDialog *mProgress = nullptr; // shown while a large project is read
    QString mProgressFile;                      // the file being read
    qint64 mProgressBase = 0;                   // bytes of the files read before it
    qint64 mProgressLast = 0;                   // bytes of it read so far
};
