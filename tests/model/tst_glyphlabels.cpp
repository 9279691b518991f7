// SPDX-License-Identifier: GPL-3.0-or-later
// Labels drawn as assembled glyph runs must be the pixels that drawText draws.
#include "misc/SGlyphLabels.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTest>

class TestGlyphLabels : public QObject {
    Q_OBJECT

private slots:
    void drawsLikeText_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<QString>("text");
        const QString kinds[] = {QStringLiteral("1111"), QStringLiteral("-204711"),
                                 QStringLiteral("X: -0.017 \u00b1 12.250"), QStringLiteral("Z: \u00b1 nan"),
                                 QStringLiteral("Pt 7\u00e9")}; // the last has letters outside the labels'
        for (const QString &family : {QStringLiteral("Arial"), QStringLiteral("DejaVu Serif")})
            for (int size : {8, 13})
                for (const QString &text : kinds)
                    QTest::addRow("%s %d %s", qPrintable(family), size, qPrintable(text)) << family << size << text;
    }
    void drawsLikeText()
    {
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        QFETCH(QString, text);
        QImage byText(240, 40, QImage::Format_RGB32), byLabels(240, 40, QImage::Format_RGB32);
        byText.fill(Qt::white);
        byLabels.fill(Qt::white);
        const QFont font(family, pointSize);
        const QPen pen(QColor(200, 30, 60), 0);
        {
            QPainter painter(&byText);
            painter.setFont(font);
            painter.setPen(pen);
            painter.drawText(5, 28, text);
        }
        SGlyphLabels labels;
        {
            QPainter painter(&byLabels);
            painter.setFont(font);
            painter.setPen(pen);
            labels.begin(painter);
            labels.draw(painter, 5, 28, text);
        }
        QCOMPARE(byLabels, byText);
        // Neither font kerns or joins the labels' characters: the fast path must be taken.
        QVERIFY(labels.exact());
    }
};

QTEST_MAIN(TestGlyphLabels)
#include "tst_glyphlabels.moc"
