// SPDX-License-Identifier: GPL-3.0-or-later
// Messages: printf formatting, levels reaching the sink and the log, debug only in the log.
#include "framework/Mu.h"
#include "framework/MxMessageWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void formattingAndLevels()
    {
        QList<QPair<Mu::Level, QString>> got;
        Mu::setSink([&got](Mu::Level l, const QString &t) { got.append({l, t}); });
        Mu::warn("Pointcode for image-point %d is not unique!", 100017);
        Mu::info("Read <b>%d</b> Images.", 12);
        Mu::msg(0x42, "%s", "Operation aborted by user");
        Mu::debug("%s => %s", "a", "b");
        Mu::msg(Mu::MT_Log, "%s", "only in the log");
        Mu::assertFailed("! imagePoint", "Varlomin", 42);
        Mu::setSink(nullptr);
        QCOMPARE(got.size(), 4); // debug and a message typed for the log go to the log only
        QCOMPARE(got[0].first, Mu::Level::Warn);
        QCOMPARE(got[0].second, QStringLiteral("Pointcode for image-point 100017 is not unique!"));
        QCOMPARE(got[1].first, Mu::Level::Info);
        QCOMPARE(got[2].first, Mu::Level::Msg);
        QCOMPARE(got[3].second, QStringLiteral(">>> ERR: '! imagePoint' in Varlomin (42) <<<"));
    }

    void everythingReachesTheLog()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("Varlomin.log"));
        QVERIFY(Mu::openLogFile(log));
        Mu::debug("trace %d", 1);
        Mu::warn("warning %s", "two");
        Mu::closeLogFile();
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("DEBUG: trace 1"));
        QVERIFY(text.contains("WARN: warning two"));
    }

    void messageWindowShowsEmphasis()
    {
        Mx::MessageWindow *window = Mx::MessageWindow::setup();
        Mu::info("Welcome to <em>%s</em>", "Varlomin Version 1.0.5");
        Mu::debug("not shown");
        QVERIFY(window->toPlainText().contains(QStringLiteral("Welcome to Varlomin Version 1.0.5")));
        QVERIFY(!window->toPlainText().contains(QStringLiteral("not shown")));
        QVERIFY(window->toHtml().contains(QStringLiteral("font-style:italic")));
        Mu::setSink(nullptr);
        delete window;
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
