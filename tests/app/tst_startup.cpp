// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the configuration is read from the user's file, else the system's, else the
// defaults are used with one warning; a damaged user file is kept and a save is atomic; "-p"
// in any argument asks for PAT-B's project.
#include "app/SStartup.h"
#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"
#include "framework/MxMainWindow.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using TestFiles::readFile;
using TestFiles::writeFile;

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
        QVERIFY(mApp.init(false, QString(), QStringLiteral(".log"), QString(), QStringLiteral(".cfg")));
        mWarnings.clear();
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Warn)
                mWarnings << text;
        });
    }

private slots:
    // The configuration's folder is the one asked for, relative to the program's own.
    void configurationFolder()
    {
        resetFolders(false, false);
        QVERIFY(mApp.init(false, QString(), QStringLiteral(".log"), QStringLiteral("cfg"), QStringLiteral(".cfg")));
        QCOMPARE(mApp.userCfgFile(), mUser.path() + QStringLiteral("/Varlomin/cfg/Varlomin.cfg"));
        QVERIFY(QFileInfo(mUser.path() + QStringLiteral("/Varlomin/cfg")).isDir());
    }

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

    // A damaged user file is reported or ignored, the defaults are used and the file is kept
    // as it was until the user saves.
    void damagedUserFileKept_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("damage"); // 0 content only, 1 unreadable, 2 a folder in its place
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\x02\xff[[[\n=\n\x7f", 12) << 0;
        QTest::newRow("unclosed section") << QByteArray("[Points\nPointSize_0=9\n") << 0;
        QTest::newRow("wrong types") << QByteArray("[Points]\nPointSize_0=huge\n") << 0;
        QTest::newRow("unreadable") << QByteArray("[Points\n\x01\x02garbage=\n[[[") << 1;
        QTest::newRow("folder") << QByteArray() << 2;
    }

    void damagedUserFileKept()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, damage);
        resetFolders(true, false, text);
        const QString file = mUser.path() + QStringLiteral("/Varlomin/Varlomin.cfg");
        if (damage == 1)
            QFile::setPermissions(file, QFileDevice::WriteOwner);
        if (damage == 2)
            QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        QCOMPARE(Mx::Cfg(QStringLiteral("Points")).readNum(QStringLiteral("PointSize_0"), 7), 7);
        QVERIFY(damage == 0 || !mWarnings.isEmpty());
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (damage == 2)
            QVERIFY(QFileInfo(file).isDir());
        else
            QCOMPARE(readFile(file), text);
    }

    // A save goes through a temporary file: when that cannot be made, the old file stays whole.
    void atomicSave()
    {
        resetFolders(true, false);
        const QString file = mUser.path() + QStringLiteral("/Varlomin/Varlomin.cfg");
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        Mx::CfgStore::setValue("Points", "PointSize_0", "11");
        QVERIFY(Mx::CfgStore::save(file));
        QVERIFY(!QFile::exists(file + ".tmp"));
        const QByteArray saved = readFile(file);
        QVERIFY(saved.contains("PointSize_0=11"));
        QVERIFY(QDir().mkpath(file + ".tmp"));
        Mx::CfgStore::setValue("Points", "PointSize_0", "13");
        QString error;
        QVERIFY(!Mx::CfgStore::save(file, &error));
        QVERIFY2(error.contains("Varlomin.cfg"), qPrintable(error));
        QCOMPARE(readFile(file), saved);
        QDir(file + ".tmp").removeRecursively();
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
