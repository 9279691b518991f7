// SPDX-License-Identifier: GPL-3.0-or-later
// The widget-free search helpers: wildcard patterns, range bounds, point-code masks, and
// the requests that the command line and the search tab's fields make.
#include "search/SPatternMatch.h"
#include "search/SPointCodeMask.h"
#include "search/SSearchRange.h"
#include "search/SSearchRequest.h"

#include <QTest>

class TestSSearchCore : public QObject {
    Q_OBJECT
private slots:
    void patternMatches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("match");
        const auto row = [](const char *pattern, const char *id, bool match) {
            QTest::addRow("%s on %s", pattern, id) << QString::fromLatin1(pattern) << QString::fromLatin1(id) << match;
        };
        row("1?0*", "100", true);
        row("1?0*", "1105", true);
        row("1?0*", "190", true);
        row("1?0*", "10", false);
        row("1?0*", "2100", false);
        row("*", "123456", true);
        row("**", "7", true); // a star may match nothing
        row("", "100", false);
        row("*0", "100", true);
        row("1*", "1", true);
        row("*12", "1112", true); // the star must give back what it took
        row("1*2*3", "1223", true);
        row("*2*", "123", true);
        row("?", "12", false);
        row("??", "12", true);
        row("12", "123", false); // a pattern matches the whole id
        row("?*", "5", true);
        row("*1?", "1", false);
        // Ids written on the stack keep their sign and every digit.
        row("-?", "-5", true);
        row("-2*8", "-2147483648", true);
    }
    void patternMatches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, id);
        QFETCH(bool, match);
        QCOMPARE(SPatternMatch::matches(id, pattern), match);
        QCOMPARE(SPatternMatch(pattern).matches(id.toInt()), match);
    }

    void integerRanges_data()
    {
        QTest::addColumn<QString>("strMin");
        QTest::addColumn<QString>("strMax");
        QTest::addColumn<int>("bound");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("inside");

        const int both = SSearchRange::BD_Both, minOnly = SSearchRange::BD_MinOnly, maxOnly = SSearchRange::BD_MaxOnly;
        const auto row = [](const char *name, const QString &min, const QString &max, int bound, int value,
                            bool inside) { QTest::newRow(name) << min << max << bound << value << inside; };
        row("both, low end", "100", "200", both, 100, true);
        row("both, below", "100", "200", both, 99, false);
        row("both, above", "100", "200", both, 201, false);
        row("min only (null max)", "7", QString(), minOnly, 7, true);
        row("max only (null min)", QString(), "5", maxOnly, -100, true);
        row("both empty reads as at least 0", "", "", minOnly, 0, true);
        row("unreadable min reads as 0", "abc", "5", both, 0, true);
        row("min above max selects nothing", "9", "3", both, 5, false);
    }
    void integerRanges()
    {
        QFETCH(QString, strMin);
        QFETCH(QString, strMax);
        QFETCH(int, bound);
        QFETCH(int, value);
        QFETCH(bool, inside);
        const SSearchRange range = SSearchRange::fromIntegers(strMin, strMax);
        QCOMPARE(int(range.bound()), bound);
        QCOMPARE(range.contains(value), inside);
    }

    void floatRangeKeepsSinglePrecision()
    {
        // The model's residuals are floats; a bound typed as 0.01 must include a stored 0.01f.
        const SSearchRange maxOnly = SSearchRange::fromFloats(QString(), QStringLiteral("0.01"));
        QVERIFY(maxOnly.contains(0.01f) && maxOnly.contains(-3.5f) && !maxOnly.contains(0.0101f));
        const SSearchRange both = SSearchRange::fromFloats(QStringLiteral("0.05"), QStringLiteral("0.1"));
        QVERIFY(both.contains(0.05f) && both.contains(0.1f) && !both.contains(0.04999f));
        // Three values pass when one of them does on its own.
        QVERIFY(both.containsAny(0.0, 0.5, 0.07));
        QVERIFY(!both.containsAny(0.0, 0.5, -0.07));
    }

    void pointCodeMask_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QList<int>>("chosen");

        QTest::newRow("vertical and centres") << "0100100" << QList<int>{1, 4};
        QTest::newRow("short mask") << "01" << QList<int>{1};
        QTest::newRow("empty") << "" << QList<int>{};
        QTest::newRow("lonely via mask") << "0000001" << QList<int>{6};
        QTest::newRow("other characters") << "2x1 1111" << QList<int>{2, 4, 5, 6};
    }
    void pointCodeMask()
    {
        QFETCH(QString, mask);
        QFETCH(QList<int>, chosen);
        const SPointCodeMask m(mask);
        for (int i = -1; i <= SGlobal::kPointCodeIndexCount; ++i)
            QCOMPARE(m.chosen(i), chosen.contains(i));
    }

    // Rows: "cli" reads MODE:PAR1:PAR2[:pattern]; "spin" and "text" read MIN:MAX as the search
    // tab's spin boxes and number fields hold them. The result is "mode|par1|par2|pattern" with
    // "-" for a null text, or "refused".
    void requests_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *kind, const char *input, const char *result) {
            QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(input)
                                << QString::fromLatin1(result);
        };
        row("ids in range", "cli", "point-id:100:200", "0|100|200|0");
        row("equal bounds pass", "cli", "links:5:5", "2|5|5|0");
        row("max only", "cli", "image-id::7", "1|-|7|0");
        row("number as typed", "cli", "residuals:0.050", "3|0.050|-|0");
        row("empty pattern", "cli", "point-id:::pattern", "0||-|1");
        row("mask", "cli", "point-code:0000110", "6|0000110|-|0");
        row("min above max", "cli", "sigmas:0.2:0.1", "refused");
        row("letter in pattern", "cli", "image-id:1a::pattern", "refused");
        row("unused spin bound", "spin", "-1:7", "2|-|7|0");
        row("equal spin bounds", "spin", "7:7", "2|7|7|0");
        row("no spin bound", "spin", "-1:-1", "refused");
        row("empty field reads 0", "text", ":0.05", "3||0.05|0");
        row("negative field unused", "text", "0.05:-1", "3|0.05|-|0");
        row("empty max reads 0", "text", "0.05:", "refused");
    }
    void requests()
    {
        QFETCH(QString, kind);
        QFETCH(QString, input);
        QFETCH(QString, result);
        std::optional<SSearchRequest> request;
        const QStringList minMax = input.split(u':');
        if (kind == QLatin1String("cli")) {
            QString error;
            request = SSearchRequest::parse(input, &error);
            QCOMPARE(error.isEmpty(), bool(request));
        } else if (kind == QLatin1String("spin")) {
            request = SSearchRequest::fromSpinValues(SGlobal::SL_Add, SGlobal::SM_Links, minMax[0].toInt(),
                                                     minMax[1].toInt());
        } else {
            request = SSearchRequest::fromNumberTexts(SGlobal::SL_Add, SGlobal::SM_Residuals, minMax[0], minMax[1]);
        }
        const auto text = [](const QString &par) { return par.isNull() ? QStringLiteral("-") : par; };
        const QString got = request && request->isValid() ? QStringLiteral("%1|%2|%3|%4")
                                                                .arg(int(request->searchMode()))
                                                                .arg(text(request->strPar1()), text(request->strPar2()))
                                                                .arg(int(request->patternMatching()))
                                                          : QStringLiteral("refused");
        QCOMPARE(got, result);
    }
};

QTEST_GUILESS_MAIN(TestSSearchCore)
#include "tst_SSearchCore.moc"
