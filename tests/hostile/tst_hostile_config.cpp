// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing of the user's configuration is lost: a failing save leaves the old file as it was,
// and a corrupt or unreadable file is reported, the defaults are used and the file is kept.
#include "app/SStartup.h"
#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kUserText = "[Points]\nPointSize_0=9\n";

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestHostileConfig : public QObject {
    Q_OBJECT
public:
    explicit TestHostileConfig(Mx::App &app) : mApp(app) {}

private:
    Mx::App &mApp;
    QTemporaryDir mDir;
    QStringList mWarnings;

    QString userFile() const { return mDir.filePath("user/Varlomin/Varlomin.cfg"); }

    void startWith(const QByteArray &userText)
    {
        Mx::CfgStore::clear();
        QDir(mDir.filePath("user")).removeRecursively();
        QDir().mkpath(mDir.filePath("system"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mDir.filePath("user")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(mDir.filePath("system")));
        writeFile(userFile(), userText);
        QVERIFY(mApp.init(false, "log", ".log", "cfg", ".cfg"));
        mWarnings.clear();
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Warn)
                mWarnings << text;
        });
    }

private slots:
    void cleanup() { Mu::setSink({}); }

    void atomicSave()
    {
        startWith(kUserText);
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        Mx::CfgStore::setValue("Points", "PointSize_0", "11");
        QVERIFY(Mx::CfgStore::save(userFile()));
        QCOMPARE(Mx::Cfg("Points").readNum("PointSize_0", 7), 11);
        QVERIFY(!QFile::exists(userFile() + ".tmp"));
        const QByteArray saved = contents(userFile());
        QVERIFY(saved.contains("PointSize_0=11"));

        // The temporary file cannot be made: the save fails and the old file stays whole.
        QVERIFY(QDir().mkpath(userFile() + ".tmp"));
        Mx::CfgStore::setValue("Points", "PointSize_0", "13");
        QString error;
        QVERIFY(!Mx::CfgStore::save(userFile(), &error));
        QVERIFY2(error.contains("Varlomin.cfg"), qPrintable(error));
        QCOMPARE(contents(userFile()), saved);
        QDir(userFile() + ".tmp").removeRecursively();
    }

    void corruptFileKeptAndDefaultsUsed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("binary garbage") << QByteArray("\x00\x01\x02\xff[[[\n=\n\x7f", 12);
        QTest::newRow("unclosed section") << QByteArray("[Points\nPointSize_0=9\n");
        QTest::newRow("wrong types") << QByteArray("[Points]\nPointSize_0=huge\n");
    }

    void corruptFileKeptAndDefaultsUsed()
    {
        QFETCH(QByteArray, text);
        startWith(text);
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        QCOMPARE(Mx::Cfg("Points").readNum("PointSize_0", 7), 7);
        QCOMPARE(contents(userFile()), text); // untouched until the user saves
    }

    void directoryInsteadOfConfiguration()
    {
        startWith(kUserText);
        QVERIFY(QFile::remove(userFile()));
        QVERIFY(QDir().mkpath(userFile()));
        QVERIFY(SStartup::readConfiguration(mApp, QString()));
        QVERIFY(!mWarnings.isEmpty());
        QCOMPARE(Mx::Cfg("Points").readNum("PointSize_0", 7), 7);
        QVERIFY(QFileInfo(userFile()).isDir());
    }
};

int main(int argc, char **argv)
{
    Mx::App app(QStringLiteral("Varlomin"), argc, argv);
    TestHostileConfig test(app);
    return QTest::qExec(&test, argc, argv);
}
#include "tst_hostile_config.moc"
