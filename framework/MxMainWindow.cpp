// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxMainWindow.h"

#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"
#include "framework/MxInfoDialog.h"
#include "framework/MxMessageWindow.h"
#include "framework/MxPrefsDialog.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace Mx {

namespace {
constexpr int kMessageDockHeight = 130; // a few lines of messages
}

MainWindow::MainWindow(QWidget *parent, Qt::WindowFlags type, const QPixmap &icon, const QPixmap &splash)
    : QMainWindow(parent, type), mSplash(splash)
{
    setObjectName(QStringLiteral("MainWindow"));
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));
    setWindowTitle(QCoreApplication::applicationName());
    // The whole screen: the workspace holds several viewers side by side, and on a small
    // screen every pixel counts.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900);
    resize(std::max(800, available.width()), std::max(600, available.height()));
    move(available.topLeft());
}

void MainWindow::addStandardUIs(int mask)
{
    if (mask & UI_Menus) {
        const char *titles[] = {"&File", "&Settings", "&View", "&Window", "&Help"};
        for (int i = 0; i < 5; ++i)
            mMenus.insert(i + 1, menuBar()->addMenu(tr(titles[i])));
    }
    if (mask & UI_ToolBar) {
        auto *bar = addToolBar(tr("File"));
        bar->setObjectName(QStringLiteral("ToolBar1"));
        mToolBars.insert(1, bar);
    }
    if (mask & UI_StatusBar)
        statusBar();
    if (mask & UI_Workspace) {
        mWorkspace = new QMdiArea(this);
        mWorkspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        mWorkspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setCentralWidget(mWorkspace);
    }
    if ((mask & UI_MessageDock) && MessageWindow::instance()) {
        mMessageDock = new QDockWidget(tr("Messages"), this);
        mMessageDock->setObjectName(QStringLiteral("MessageDock"));
        mMessageDock->setWidget(MessageWindow::instance());
        addDockWidget(Qt::BottomDockWidgetArea, mMessageDock);
        resizeDocks({mMessageDock}, {kMessageDockHeight}, Qt::Vertical);
        connect(MessageWindow::instance(), &MessageWindow::statusMessage, this,
                [this](const QString &text) { statusBar()->showMessage(text); });
    }
}

QAction *MainWindow::addAction(int menuNumber, const QString &text, const QKeySequence &shortcut,
                               const QString &statusTip, const QObject *receiver, const char *member, const QIcon &icon,
                               bool onToolBar)
{
    auto *action = new QAction(icon, text, this);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setStatusTip(statusTip);
    if (receiver && member)
        connect(action, SIGNAL(triggered()), receiver, member);
    if (QMenu *m = menu(menuNumber))
        m->addAction(action);
    if (onToolBar)
        if (QToolBar *bar = toolBar(menuNumber))
            bar->addAction(action);
    return action;
}

void MainWindow::addSeparator(int menuNumber)
{
    if (QMenu *m = menu(menuNumber))
        m->addSeparator();
}

void MainWindow::addStandardActions(int mask)
{
    if (mask & SA_Open) {
        QIcon icon = style()->standardIcon(QStyle::SP_DialogOpenButton);
        addAction(1, tr("&Open..."), QKeySequence::Open, tr("Open a project file"), this, SLOT(slotFileOpen()), icon,
                  true);
    }
    if (mask & SA_Quit)
        addAction(1, tr("E&xit"), QKeySequence(), tr("Leave the program"), this, SLOT(close()));
    if (mask & SA_Preferences) {
        auto *action =
            addAction(2, tr("&Preferences..."), QKeySequence(), tr("Edit the preferences"), nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this] { prefsTab()->show(); });
    }
    if ((mask & SA_WindowTiling) && mWorkspace) {
        addAction(4, tr("&Tile"), QKeySequence(), tr("Tile the windows"), mWorkspace, SLOT(tileSubWindows()));
        addAction(4, tr("&Cascade"), QKeySequence(), tr("Cascade the windows"), mWorkspace, SLOT(cascadeSubWindows()));
    }
    if (mask & SA_Information) {
        auto *action = addAction(5, tr("&Information..."), QKeySequence(), tr("About this program"), nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this] { infoTab()->show(); });
    }
    if (mask & SA_Help)
        addAction(5, tr("&Manual..."), QKeySequence::HelpContents, tr("Show the user manual"), this,
                  SLOT(slotShowHelp()));
}

PrefsDialog *MainWindow::prefsTab()
{
    if (!mPrefs)
        mPrefs = new PrefsDialog(this);
    return mPrefs;
}

InfoDialog *MainWindow::infoTab()
{
    if (!mInfo)
        mInfo = new InfoDialog(this);
    return mInfo;
}

void MainWindow::setupMessageWindow() { MessageWindow::setup(); }

void MainWindow::slotCfgSaveUser()
{
    QString error;
    if (!CfgStore::save(CfgStore::userFile(), &error))
        Mu::warn("Can't save the configuration: %s", qPrintable(error));
}

void MainWindow::slotShowHelp()
{
    if (mHelpView) { // one manual window: the next request brings it to the front
        mHelpView->showNormal();
        mHelpView->raise();
        mHelpView->activateWindow();
        return;
    }
    App *app = App::getRep();
    const QString file = app ? app->helpFile() : QString();
    if (file.isEmpty()) {
        Mu::warn("%s", qPrintable(tr("No help file available.")));
        return;
    }
    // A window of its own, but owned by this one, so that it goes when the program ends
    // and does not keep the program alive.
    mHelpView = new QTextBrowser(this);
    mHelpView->setWindowFlags(Qt::Window);
    mHelpView->setAttribute(Qt::WA_DeleteOnClose);
    mHelpView->setAttribute(Qt::WA_QuitOnClose, false);
    mHelpView->setWindowTitle(tr("%1 Manual").arg(QCoreApplication::applicationName()));
    mHelpView->setSource(QUrl::fromLocalFile(file));
    mHelpView->resize(760, 640);
    mHelpView->show();
}

void MainWindow::closeHelpWindow()
{
    if (mHelpView)
        mHelpView->close();
}

void MainWindow::keyPressEvent(QKeyEvent *event) { QMainWindow::keyPressEvent(event); }

} // namespace Mx
