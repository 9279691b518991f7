// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration: every value type survives a write, a save to the INI file and a
// load; flags written as 1/0 read back as flags; bad values fall back to defaults.
#include "framework/MxCfg.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCfg : public QObject {
    Q_OBJECT
private slots:
    void init() { Mx::CfgStore::clear(); }

    void roundTripThroughFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("sub/Varlomin.cfg"));
        QFont font(QStringLiteral("Liberation Serif"), 11);
        font.setItalic(true);
        {
            Mx::Cfg cfg(QStringLiteral("ImageViewer"));
            cfg.writeEntry(QStringLiteral("Scale"), 2500);
            cfg.writeEntry(QStringLiteral("PointIdsOn"), 1);
            cfg.writeEntry(QStringLiteral("BlundersOn"), 0);
            cfg.writeEntry(QStringLiteral("BG_Color"), QColor(0, 0, 128));
            cfg.writeEntry(QStringLiteral("TextFont"), font);
            cfg.writeEntry(QStringLiteral("Geometry_0"), QRect(-5, 10, 300, 200));
            cfg.writeEntry(QStringLiteral("#Viewer"), 3);
            cfg.beginGroup(QStringLiteral("Varlomin"));
            cfg.writeEntry(QStringLiteral("Last project-file"), QStringLiteral("/data/a b/block.(p)"));
            cfg.writeEntry(QStringLiteral("Viewer_0"), QByteArray("\x00\x01layout", 8));
        }
        QString error;
        QVERIFY2(Mx::CfgStore::save(file, &error), qPrintable(error));
        QVERIFY(!QFile::exists(file + QStringLiteral(".tmp")));
        Mx::CfgStore::clear();
        QVERIFY2(Mx::CfgStore::load(file, &error), qPrintable(error));

        Mx::Cfg cfg(QStringLiteral("ImageViewer"));
        QCOMPARE(cfg.readNum(QStringLiteral("Scale"), 1000), 2500);
        QCOMPARE(cfg.readBool(QStringLiteral("PointIdsOn"), false), true);
        QCOMPARE(cfg.readBool(QStringLiteral("BlundersOn"), true), false);
        QCOMPARE(cfg.readColor(QStringLiteral("BG_Color"), Qt::white), QColor(0, 0, 128));
        const QFont back = cfg.readFont(QStringLiteral("TextFont"), QFont());
        QCOMPARE(back.family(), font.family());
        QCOMPARE(back.pointSize(), 11);
        QVERIFY(back.italic());
        QCOMPARE(cfg.readRect(QStringLiteral("Geometry_0"), QRect()), QRect(-5, 10, 300, 200));
        QCOMPARE(cfg.readNum(QStringLiteral("#Viewer"), 1), 3);
        cfg.beginGroup(QStringLiteral("Varlomin"));
        QCOMPARE(cfg.readString(QStringLiteral("Last project-file"), QString()), QStringLiteral("/data/a b/block.(p)"));
        QVERIFY(cfg.hasKey(QStringLiteral("Viewer_0")));
    }

    void handEditedValues_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("num");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QColor>("color");
        QTest::newRow("words") << QByteArray("[G]\nN=seven\nF=maybe\nC=notacolour\n") << 7 << true << QColor(Qt::black);
        QTest::newRow("spaces") << QByteArray("[G]\nN= 12 \nF=0\nC=#ff0000\n") << 12 << false << QColor(Qt::red);
        QTest::newRow("true/false") << QByteArray("[G]\nN=\nF=false\nC=\n") << 7 << false << QColor(Qt::black);
        QTest::newRow("hand-written colour")
            << QByteArray("[G]\nN=-3\nF=1\nC=\"#000080\"\n") << -3 << true << QColor(0, 0, 128);
    }

    void handEditedValues()
    {
        QFETCH(QByteArray, ini);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("x.cfg"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
        f.close();
        QVERIFY(Mx::CfgStore::load(file));
        Mx::Cfg cfg(QStringLiteral("G"));
        QTEST(cfg.readNum(QStringLiteral("N"), 7), "num");
        QTEST(cfg.readBool(QStringLiteral("F"), true), "flag");
        QTEST(cfg.readColor(QStringLiteral("C"), Qt::black), "color");
    }

    void missingFileLeavesMemoryAlone()
    {
        Mx::Cfg(QStringLiteral("G")).writeEntry(QStringLiteral("K"), 5);
        QString error;
        QVERIFY(!Mx::CfgStore::load(QStringLiteral("/nonexistent/file.cfg"), &error));
        QVERIFY(error.contains(QStringLiteral("/nonexistent/file.cfg")));
        QCOMPARE(Mx::Cfg(QStringLiteral("G")).readNum(QStringLiteral("K"), 0), 5);
    }
};

QTEST_GUILESS_MAIN(TestCfg)
#include "tst_cfg.moc"
