// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the full program (varlomin-gui, which the lean varlomin starts for the window):
// the command-line modes run without a window; otherwise the application starts step by step
// behind its splash screen.
#include "app/SAppInfo.h"
#include "app/SCommandLine.h"
#include "app/SCommandLineRun.h"
#include "app/SStartup.h"
#include "app/Varlomin.h"
#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"
#include "framework/MxMainWindow.h"
#include "framework/MxSplash.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

static void initResources() { Q_INIT_RESOURCE(varlomin); }

namespace {

void outOfMemory()
{
    std::set_new_handler(nullptr); // the reports below must not come back here
    Mu::warn("%s", qPrintable(Mu::tr("No more free memory!")));
    Mu::warn("%s", qPrintable(Mu::tr("Aborting execution of program.")));
    Mu::fatalDlg("%s", qPrintable(Mu::tr("No more free memory!\nAborting execution of program.")));
}

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

// The splash screen tells the user what start-up is doing while the window is built.
std::unique_ptr<Mx::Splash> showSplash()
{
    initResources(); // the splash image lives in the static library's resources
    const QPixmap splashImage(QStringLiteral(":/images/splash.png"));
    auto splash = std::make_unique<Mx::Splash>(splashImage, SAppInfo::aboutText(), 200, 40, nullptr);
    splash->setMessageAlignment(Qt::AlignLeft | Qt::AlignBottom);
    splash->setMessageColor(Qt::black);
    splash->setMessageDelay(100);
    splash->show();
    return splash;
}

// PAT-B's current project with -p, then a project named on the command line (a file
// manager's "Open with"). The user may close the window meanwhile; then nothing opens.
void openStartProjects(Varlomin &window, Mx::Splash &splash, const SCommandLine &cl)
{
    if (!window.closeAccepted() && window.openCurrentProjectFlag()) {
        splash.msg(Mu::tr("Opening current PAT project ..."));
        window.openCurrentPATProject();
    }
    if (!cl.projectFile.isEmpty()) {
        splash.msg(Mu::tr("Opening project %1 ...").arg(QFileInfo(cl.projectFile).fileName()));
        window.openProjectFile(cl.projectFile, false);
    }
}

int runGui(int argc, char **argv, const SCommandLine &cl)
{
    // Declared first, destroyed last: everything below needs the application.
    auto app = std::make_unique<Mx::App>(QString::fromLatin1(SAppInfo::kAppName), argc, argv);
    if (!cl.configFile.isEmpty())
        Mx::App::setUserCfgOverride(QFileInfo(cl.configFile).absoluteFilePath());
    // Log and configuration side by side in the user's configuration folder, where the README
    // and the man page say they are.
    if (!app->init(true, QString(), QString::fromLatin1(SAppInfo::kLogExt), QString(),
                   QString::fromLatin1(SAppInfo::kCfgExt))) {
        Mu::warnDlg("Can't initialise application '%s'!\nQuitting now.", SAppInfo::kAppName);
        return 1;
    }
    std::set_new_handler(outOfMemory);
    SAppInfo::fill(); // the about text of the splash screen reads it

    std::unique_ptr<Mx::Splash> splash = showSplash();
    splash->msg(Mu::tr("Initialising widget for displaying messages ..."));
    Mx::MainWindow::setupMessageWindow(); // from here on messages have a window to go to

    // A configuration file named with --config must be usable; the user's own may be absent.
    splash->msg(Mu::tr("Reading settings from configuration-file ..."));
    if (!SStartup::readConfiguration(*app, cl.configFile.isEmpty() ? QString() : Mx::CfgStore::userFile()))
        return 1;

    // Plug-ins come from our own folder only, not from wherever Qt was installed.
    QCoreApplication::setLibraryPaths({});
    splash->msg(Mu::tr("Initialising Plugin-directory ..."));
    if (!app->addLibraryPath(QStringLiteral("plugins")))
        Mu::warn("%s", qPrintable(Mu::tr("Can't initialise plugin-directory '%1'.").arg(QStringLiteral("plugins"))));

    splash->msg(Mu::tr("Initialising main window of application ..."));
    std::unique_ptr<Varlomin> window(new (std::nothrow) Varlomin(splash->pixmap()));
    if (!window) {
        Mu::warnDlg("%s", qPrintable(Mu::tr("Can't initialise main window of application!\nQuitting now.")));
        return 1;
    }
    splash->msg(Mu::tr("Initialising help-file of application ..."));
    if (!app->setHelpFile(QStringLiteral("doc/manual.html")))
        Mu::warnDlg("%s", qPrintable(Mu::tr("Can't initialise help-file!")));
    splash->msg(Mu::tr("Checking number of log-files ..."));
    app->reduceLogFiles();
    splash->msg(Mu::tr("Start to display main window ..."));
    window->showMaximized();
    // The window can be closed at any moment from here on (the splash keeps events
    // flowing); start-up then stops and the program ends.
    QObject::connect(window.get(), &Varlomin::sigCloseAccepted, app.get(), &QCoreApplication::quit);
    openStartProjects(*window, *splash, cl);
    if (window->closeAccepted())
        return 0;
    splash->msg(Mu::tr("Ready."), Qt::darkGreen, 750);
    Mu::info("%s", qPrintable(Mu::tr("Welcome to <em>%1</em>").arg(Mx::App::info(QStringLiteral("nameLong")))));
    Mu::status("%s", qPrintable(Mu::tr("Ready.")));
    splash->finish(window.get());
    splash.reset();
    if (window->closeAccepted())
        return 0;
    // From here the window owns itself: it deletes itself when the user closes it.
    window->setAttribute(Qt::WA_DeleteOnClose);
    window.release();
    return app->exec();
}

} // namespace

int main(int argc, char **argv)
{
    SStartup::prepareRuntimeDir();
    const SCommandLine cl = SCommandLine::parse(argc, argv);
    if (const std::optional<int> status = runCommandLineMode(cl, argc, argv))
        return *status;
    if (!hasDisplay()) {
        std::fprintf(stderr, "varlomin: no display found (DISPLAY is not set). Start it in a desktop session, "
                             "or use --report or --export, which need no display.\n");
        return 2;
    }
    return runGui(argc, argv, cl);
}
