// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the program: the command-line modes run without a window; otherwise the
// application starts step by step behind its splash screen.
#include "app/SAppInfo.h"
#include "app/SCommandLine.h"
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
#include <new>

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

QStringList argumentList(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

int runGui(int argc, char **argv, const SCommandLine &cl)
{
    // 1-2: the application object and its files.
    auto *app = new Mx::App(QString::fromLatin1(SAppInfo::kAppName), argc, argv);
    if (!cl.configFile.isEmpty())
        Mx::App::setUserCfgOverride(QFileInfo(cl.configFile).absoluteFilePath());
    if (!app->init(true, QStringLiteral("log"), QStringLiteral(".log"), QStringLiteral("cfg"),
                   QStringLiteral(".cfg"))) {
        Mu::warnDlg("Can't initialise application '%s'!\nQuitting now.", SAppInfo::kAppName);
        delete app;
        return 1;
    }
    // 3-4.
    std::set_new_handler(outOfMemory);
    SAppInfo::fill();

    // 5: the splash screen.
    initResources();
    const QPixmap splashImage(QStringLiteral(":/images/splash.png"));
    auto *splash = new Mx::Splash(splashImage, SAppInfo::aboutText(), 200, 40, nullptr);
    splash->setMessageAlignment(Qt::AlignLeft | Qt::AlignBottom);
    splash->setMessageColor(Qt::black);
    splash->setMessageDelay(100);
    splash->show();

    // 6: from here on messages have a window to go to.
    splash->msg(Mu::tr("Initialising widget for displaying messages ..."));
    Mx::MainWindow::setupMessageWindow();

    // 7: configuration; a file named with --config must be usable.
    splash->msg(Mu::tr("Reading settings from configuration-file ..."));
    if (!SStartup::readConfiguration(*app, cl.configFile.isEmpty() ? QString() : Mx::CfgStore::userFile())) {
        delete splash;
        delete app;
        return 1;
    }

    // 8: plug-ins.
    QCoreApplication::setLibraryPaths({});
    splash->msg(Mu::tr("Initialising Plugin-directory ..."));
    if (!app->addLibraryPath(QStringLiteral("plugins")))
        Mu::warn("%s", qPrintable(Mu::tr("Can't initialise plugin-directory '%1'.").arg(QStringLiteral("plugins"))));

    // 9: the main window.
    splash->msg(Mu::tr("Initialising main window of application ..."));
    Varlomin *window = new (std::nothrow) Varlomin(splash->pixmap());
    if (!window) {
        Mu::warnDlg("%s", qPrintable(Mu::tr("Can't initialise main window of application!\nQuitting now.")));
        delete splash;
        delete app;
        return 1;
    }

    // 10-12.
    splash->msg(Mu::tr("Initialising help-file of application ..."));
    if (!app->setHelpFile(QStringLiteral("doc/manual.html")))
        Mu::warnDlg("%s", qPrintable(Mu::tr("Can't initialise help-file!")));
    splash->msg(Mu::tr("Checking number of log-files ..."));
    app->reduceLogFiles();
    splash->msg(Mu::tr("Start to display main window ..."));
    window->showMaximized();
    // The window can be closed at any moment from here on (the splash keeps events
    // flowing); start-up then stops and the program ends.
    QObject::connect(window, &Varlomin::sigCloseAccepted, app, &QCoreApplication::quit);

    // 13: PAT-B's current project.
    if (!window->closeAccepted() && window->openCurrentProjectFlag()) {
        splash->msg(Mu::tr("Opening current PAT project ..."));
        window->openCurrentPATProject();
    }

    // A project named on the command line (a file manager's "Open with").
    if (!cl.projectFile.isEmpty()) {
        splash->msg(Mu::tr("Opening project %1 ...").arg(QFileInfo(cl.projectFile).fileName()));
        window->openProjectFile(cl.projectFile, false);
    }

    // 14-17.
    if (!window->closeAccepted())
        splash->msg(Mu::tr("Ready."), Qt::darkGreen, 750);
    if (window->closeAccepted()) {
        delete splash;
        delete window;
        delete app;
        return 0;
    }
    Mu::info("%s", qPrintable(Mu::tr("Welcome to <em>%1</em>").arg(Mx::App::info(QStringLiteral("nameLong")))));
    Mu::status("%s", qPrintable(Mu::tr("Ready.")));
    splash->finish(window);
    delete splash;

    // 18: the event loop; the window is the application's main widget.
    window->setAttribute(Qt::WA_DeleteOnClose);
    const int result = window->closeAccepted() ? 0 : app->exec();
    delete app;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    SStartup::prepareRuntimeDir();
    const SCommandLine cl = SCommandLine::parse(argumentList(argc, argv));
    switch (cl.mode) {
    case SCommandLine::Mode::Error: std::fprintf(stderr, "varlomin: %s\n", qPrintable(cl.error)); return 1;
    case SCommandLine::Mode::Help: std::fputs(qPrintable(cl.helpText), stdout); return 0;
    case SCommandLine::Mode::Version: std::printf("%s %s\n", SAppInfo::kAppName, SAppInfo::kVersion); return 0;
    case SCommandLine::Mode::Report: {
        QCoreApplication app(argc, argv);
        return runReportMode(cl);
    }
    case SCommandLine::Mode::Export: return runExportMode(cl); // makes its own offscreen application
    case SCommandLine::Mode::Stats: {
        QCoreApplication app(argc, argv);
        return runStatsMode(cl);
    }
    case SCommandLine::Mode::QualityReport: return runQualityReportMode(cl); // makes its own offscreen application
    case SCommandLine::Mode::Gui: break;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "varlomin: no display found (DISPLAY is not set). Start it in a desktop session, "
                             "or use --report or --export, which need no display.\n");
        return 2;
    }
    return runGui(argc, argv, cl);
}
