// SPDX-License-Identifier: GPL-3.0-or-later
// The framework's main window: numbered menus and tool bars, the workspace for the
// document windows, the message window dock, and the preferences and information
// dialogs. Applications derive from it and replace slotFileOpen().
#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QTextBrowser>

class QMdiArea;
class QMenu;
class QToolBar;
class QDockWidget;

namespace Mx {

class PrefsDialog;
class InfoDialog;

// Parts of the window made by addStandardUIs.
enum StandardUI {
    UI_Menus = 0x01,   // menus 1 "&File", 2 "&Settings", 3 "&View", 4 "&Window", 5 "&Help"
    UI_ToolBar = 0x02, // tool bar 1
    UI_StatusBar = 0x04,
    UI_Workspace = 0x08,  // the workspace as central widget
    UI_MessageDock = 0x10 // the message window docked at the bottom
};

// Actions made by addStandardActions.
enum StandardAction {
    SA_Open = 0x2,             // menu 1 and tool bar 1: slotFileOpen()
    SA_Quit = 0x10,            // menu 1: close the window
    SA_Preferences = 0x400,    // menu 2: the preferences dialog
    SA_WindowTiling = 0x80000, // menu 4: tile and cascade the workspace windows
    SA_Information = 0x100000, // menu 5: the information dialog
    SA_Help = 0x200000         // menu 5: the manual
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(QWidget *parent, Qt::WindowFlags type, const QPixmap &icon, const QPixmap &splash);

    void addStandardUIs(int mask);
    void addStandardActions(int mask);
    QAction *addAction(int menu, const QString &text, const QKeySequence &shortcut, const QString &statusTip,
                       const QObject *receiver, const char *member, const QIcon &icon = QIcon(),
                       bool onToolBar = false);
    void addSeparator(int menu);

    QMenu *menu(int number) const { return mMenus.value(number); }
    QToolBar *toolBar(int number) const { return mToolBars.value(number); }
    PrefsDialog *prefsTab();
    InfoDialog *infoTab();
    QMdiArea *workspace() const { return mWorkspace; }
    QDockWidget *messageDock() const { return mMessageDock; }
    // The manual's window while it is open; there is at most one.
    QTextBrowser *helpWindow() const { return mHelpView; }
    void closeHelpWindow();
    QPixmap splashPixmap() const { return mSplash; }

    // Creates the process's message window; the main window docks it when it is built.
    static void setupMessageWindow();

public slots:
    virtual void slotFileOpen() {}
    void slotCfgSaveUser();
    void slotShowHelp();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QMap<int, QMenu *> mMenus;
    QMap<int, QToolBar *> mToolBars;
    QMdiArea *mWorkspace = nullptr;
    QDockWidget *mMessageDock = nullptr;
    PrefsDialog *mPrefs = nullptr;
    InfoDialog *mInfo = nullptr;
    QPixmap mSplash;
    QPointer<QTextBrowser> mHelpView;
};

} // namespace Mx
