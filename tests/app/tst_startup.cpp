// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the configuration is read from the user's file, else the system's, else
// the defaults are used with one warning; "-p" in any argument asks for PAT-B's project.
#include "app/SStartup.h"
#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"
#include "framework/MxMainWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
public:
    explicit TestStartup(Mx::App &app) : mApp(app) {}

private:
    Mx::App &mApp;
    QTemporaryDir mUser, mSystem;
    QStringList mWarnings;

    // Points the user and system configuration folders at fresh temporary folders.
    void resetFolders(bool withUser, bool withSystem, const QByteArray &userText = "[Points]\nPointSize_0=9\n",
                      const QByteArray &systemText = "[Points]\nPointSize_0=11\n")
    {
        Mx::CfgStore::clear();
        QDir(mUser.path()).removeRecursively();
        QDir(mSystem.path()).removeRecursively();
        QDir().mkpath(mUser.path());
        QDir().mkpath(mSystem.path());
        qputenv("XDG_CONFIG_HOME", mUser.path().toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", mSystem.path().toLocal8Bit());
        if (withUser)
            writeFile(mUser.path() + QStringLiteral("/Varlomin/Varlomin.cfg"), userText);
        if (withSystem)
            writeFile(mSystem.path() + QStringLiteral("/Varlomin/Varlomin.cfg"), systemText);
        QVERIFY(mApp.init(false, QStringLiteral("log"), QStringLiteral(".log"), QStringLiteral("cfg"),
                          QStringLiteral(".cfg")));
        mWarnings.clear();
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Warn)
                mWarnings << text;
        });
    }

private slots:
    void configurationSources_data()
    {
        QTest::addColumn<bool>("user");
        QTest::addColumn<bool>("system");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<int>("warnings");
        QTest::newRow("neither") << false << false << 7 << 1;
        QTest::newRow("system only") << false << true << 11 << 0;
        QTest::newRow("user only") << true << false << 9 << 0;
        QTest::newRow("both: the user's wins") << true << true << 9 << 0;
    }

    void configurationSources()
    {
        QFETCH(bool, user);
        QFETCH(bool, system);
        resetFolders(user, system);
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        QTEST(Mx::Cfg(QStringLiteral("Points")).readNum(QStringLiteral("PointSize_0"), 7), "pointSize");
        QTEST(int(mWarnings.size()), "warnings");
        if (!mWarnings.isEmpty())
            QCOMPARE(mWarnings.first(),
                     QStringLiteral("Can't find a valid configuration-file! Using internal defaults."));
    }

    void unreadableUserFileIsReportedAndKept()
    {
        resetFolders(true, false, QByteArray("[Points\n\x01\x02garbage=\n[[["));
        const QString file = mUser.path() + QStringLiteral("/Varlomin/Varlomin.cfg");
        QFile::setPermissions(file, QFileDevice::WriteOwner); // not readable
        SStartup::readConfiguration(mApp, QString());
        QVERIFY(!mWarnings.isEmpty());
        QCOMPARE(Mx::Cfg(QStringLiteral("Points")).readNum(QStringLiteral("PointSize_0"), 7), 7);
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(QFile::exists(file)); // never replaced behind the user's back
    }

    void configOverrideMustBeReadable()
    {
        resetFolders(true, false);
        Mu::setDialogHook([this](Mu::Level, const QString &text) { mWarnings << text; });
        QVERIFY(!SStartup::readConfiguration(mApp, mUser.path() + QStringLiteral("/missing.cfg")));
        QVERIFY(mWarnings.last().contains(QStringLiteral("missing.cfg")));
        const QString house = mUser.path() + QStringLiteral("/house.cfg");
        writeFile(house, "[ObjectViewer]\nBG_Color=#000080\n");
        QVERIFY(SStartup::readConfiguration(mApp, house));
        QCOMPARE(Mx::Cfg(QStringLiteral("ObjectViewer")).readColor(QStringLiteral("BG_Color"), Qt::white),
                 QColor(0, 0, 128));
        Mu::setDialogHook(nullptr);
    }

    void optionP_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("wanted");
        QTest::newRow("none") << QStringList{"varlomin"} << false;
        QTest::newRow("-p") << QStringList{"varlomin", "-p"} << true;
        QTest::newRow("-pfoo") << QStringList{"varlomin", "-pfoo"} << true;
        QTest::newRow("other options") << QStringList{"varlomin", "-x", "p", "--p", "x-p"} << false;
        QTest::newRow("program path") << QStringList{"-programs/varlomin"} << true;
    }

    void optionP()
    {
        QFETCH(QStringList, args);
        QTEST(SStartup::wantsCurrentProject(args), "wanted");
    }

    // The manual is found beside the program (where the build copies it), never through the
    // working folder, which may hold anything.
    void helpFileBesideTheProgram()
    {
        QTemporaryDir elsewhere;
        writeFile(elsewhere.path() + QStringLiteral("/doc/manual.html"), "<p>not ours</p>");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        const bool found = mApp.setHelpFile(QStringLiteral("doc/manual.html"));
        QDir::setCurrent(previous);
        QVERIFY(found);
        QCOMPARE(mApp.helpFile(),
                 QFileInfo(mApp.applicationDirPath() + QStringLiteral("/doc/manual.html")).absoluteFilePath());
    }

    // F1 twice gives one manual window, owned by the main window, which does not keep the
    // program running and goes with the main window.
    void oneManualWindow()
    {
        QVERIFY(mApp.setHelpFile(QStringLiteral("doc/manual.html")));
        auto *window = new Mx::MainWindow(nullptr, Qt::WindowFlags(), QPixmap(), QPixmap());
        window->show();
        window->slotShowHelp();
        QPointer<QTextBrowser> manual = window->helpWindow();
        QVERIFY(manual);
        window->slotShowHelp();
        QCOMPARE(window->helpWindow(), manual.data());
        QCOMPARE(manual->parentWidget(), window);
        QVERIFY(manual->isWindow());
        QVERIFY(!manual->testAttribute(Qt::WA_QuitOnClose));
        delete window;
        QVERIFY(!manual);
    }
};

int main(int argc, char **argv)
{
    Mx::App app(QStringLiteral("Varlomin"), argc, argv);
    TestStartup test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
