// SPDX-License-Identifier: GPL-3.0-or-later
// The four preference pages: what they show for a configuration, what they write back,
// and the font dialog of the viewer pages.
#include "framework/MxCfg.h"
#include "framework/QtColorPicker.h"
#include "prefs/SPrefsImageViewer.h"
#include "prefs/SPrefsLinks.h"
#include "prefs/SPrefsObjectViewer.h"
#include "prefs/SPrefsPoints.h"
#include "prefs/SSettings.h"
#include "tests/common/ModalAnswer.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <memory>

using namespace SSettings;

namespace {

QStringList keysOf(const QString &group)
{
    QStringList keys;
    const auto all = Mx::CfgStore::all();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.key().startsWith(group + u'/'))
            keys << it.key().mid(group.size() + 1);
    }
    keys.sort();
    return keys;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

template <typename T> T *child(QWidget *page, const QString &name)
{
    T *w = page->findChild<T *>(name);
    if (!w)
        qFatal("no child %s", qPrintable(name));
    return w;
}

std::unique_ptr<Mx::PrefsTab> makePage(const QString &group)
{
    if (group == kGroupPoints)
        return std::make_unique<SPrefsPoints>(nullptr);
    if (group == kGroupImageViewer)
        return std::make_unique<SPrefsImageViewer>(nullptr);
    return std::make_unique<SPrefsObjectViewer>(nullptr);
}

QString expectedFontLabel(const QFont &font)
{
    return QStringLiteral("%1 [%2] %3").arg(font.family(), QFontDatabase::styleString(font)).arg(font.pointSize());
}

} // namespace

class TestSPrefsPages : public QObject {
    Q_OBJECT
private slots:
    void init() { Mx::CfgStore::clear(); }

    void viewerPagesSaveTheirKeysUntouched_data()
    {
        QTest::addColumn<bool>("imagePage");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("image viewer: seven keys")
            << true << QStringList{"BG_Color",   "TextFont",  "LargestResidualColor", "LargestResidualSize", "Scale",
                                   "PointIdsOn", "BlundersOn"};
        QTest::newRow("object viewer: four keys")
            << false << QStringList{"BG_Color", "TextFont", "Scale", "BlundersOn"};
    }
    void viewerPagesSaveTheirKeysUntouched()
    {
        QFETCH(bool, imagePage);
        QFETCH(QStringList, keys);
        const QString group = imagePage ? kGroupImageViewer : kGroupObjectViewer;
        std::unique_ptr<Mx::PrefsTab> page = makePage(group);
        page->initWidgets();
        QSignalSpy saved(page.get(), &Mx::PrefsTab::sigWidgetsSaved);
        page->slotSaveWidgetStates();
        QCOMPARE(saved.count(), 1);
        QCOMPARE(keysOf(group), sorted(keys));
        QCOMPARE(Mx::CfgStore::all().size(), keys.size());

        const Mx::Cfg cfg(group);
        QCOMPARE(cfg.readColor(kBgColor, Qt::black), QColor(255, 255, 255));
        const QFont font = cfg.readFont(kTextFont, QFont());
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.pointSize(), 8);
        QCOMPARE(Mx::CfgStore::value(group, kScale), QStringLiteral("1000"));
        // Flags go to the file as the numbers 0 and 1.
        QCOMPARE(Mx::CfgStore::value(group, kBlundersOn), QStringLiteral("0"));
        if (imagePage) {
            QCOMPARE(cfg.readColor(kLargestResidualColor, Qt::black), QColor(255, 0, 0));
            QCOMPARE(Mx::CfgStore::value(group, kLargestResidualSize), QStringLiteral("2"));
            QCOMPARE(Mx::CfgStore::value(group, kPointIdsOn), QStringLiteral("0"));
        }
    }

    void linksPageShowsAndSavesLineType_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<int>("saved");

        QTest::newRow("absent") << 0 << false << "Solid Line" << 0;
        QTest::newRow("dash") << 1 << true << "Dash Line" << 1;
        QTest::newRow("beyond the list") << 9 << true << "Dot Line" << 2;
        QTest::newRow("negative") << -3 << true << "Solid Line" << 0;
    }
    void linksPageShowsAndSavesLineType()
    {
        QFETCH(int, stored);
        QFETCH(bool, present);
        QFETCH(QString, shownText);
        QFETCH(int, saved);

        if (present)
            Mx::Cfg(kGroupLinks).writeEntry(kLinkLineType, stored);
        SPrefsLinks page(nullptr);
        page.initWidgets();
        QCOMPARE(child<QComboBox>(&page, "lineType")->currentText(), shownText);
        page.slotSaveWidgetStates();
        QCOMPARE(keysOf(kGroupLinks), QStringList{"LinkLineType"});
        QCOMPARE(Mx::CfgStore::value(kGroupLinks, kLinkLineType), QString::number(saved));
    }

    void pointsPageSavesAllGroups()
    {
        SPrefsPoints page(nullptr);
        page.initWidgets();
        // Switch two groups off and change a switched-off group's widgets: they are saved anyway.
        child<QGroupBox>(&page, "pointGroup_1")->setChecked(false);
        child<QGroupBox>(&page, "pointGroup_6")->setChecked(false);
        child<QComboBox>(&page, "pointSymbol_6")->setCurrentIndex(2);
        child<QtColorPicker>(&page, "pointColor_6")->setCurrentColor(QColor(0, 128, 0));
        child<QSpinBox>(&page, "pointSize_6")->setValue(11);
        QSignalSpy saved(&page, &Mx::PrefsTab::sigWidgetsSaved);
        page.slotSaveWidgetStates();
        QCOMPARE(saved.count(), 1);

        QStringList expected{"MarkColor", "MarkSize", "BlunderColor", "BlunderSize"};
        for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i)
            expected << pointOnKey(i) << pointSymbolKey(i) << pointColorKey(i) << pointSizeKey(i);
        QCOMPARE(keysOf(kGroupPoints), sorted(expected));
        QCOMPARE(Mx::CfgStore::all().size(), expected.size());

        const Mx::Cfg cfg(kGroupPoints);
        for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
            const bool off = i == 1 || i == 6;
            QCOMPARE(Mx::CfgStore::value(kGroupPoints, pointOnKey(i)), off ? QStringLiteral("0") : QStringLiteral("1"));
            QCOMPARE(cfg.readNum(pointSymbolKey(i), -1), i == 6 ? 2 : 0);
            QCOMPARE(cfg.readColor(pointColorKey(i), Qt::white), i == 6 ? QColor(0, 128, 0) : QColor(0, 0, 0));
            QCOMPARE(cfg.readNum(pointSizeKey(i), -1), i == 6 ? 11 : 7);
        }
        QCOMPARE(cfg.readNum(kMarkSize, -1), 2);
        QCOMPARE(cfg.readColor(kBlunderColor, Qt::black), QColor(255, 0, 0));
        QCOMPARE(cfg.readNum(kBlunderSize, -1), 2);
    }

    void fontDialog_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("image page, cancelled") << kGroupImageViewer << false;
        QTest::newRow("object page, confirmed") << kGroupObjectViewer << true;
    }
    void fontDialog()
    {
        QFETCH(QString, group);
        QFETCH(bool, confirm);
        std::unique_ptr<Mx::PrefsTab> page = makePage(group);
        page->show();
        page->initWidgets();
        auto *label = child<QLabel>(page.get(), "fontLabel");
        QCOMPARE(label->text(), expectedFontLabel(defaultTextFont()));

        QFont chosen = defaultTextFont();
        bool answered = false;
        answerNextModal<QFontDialog>([&](QFontDialog *dialog) {
            QFont font = dialog->currentFont();
            font.setPointSize(14);
            dialog->setCurrentFont(font); // changed in either case
            answered = true;
            if (confirm) {
                chosen = dialog->currentFont();
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        child<QPushButton>(page.get(), "fontButton")->click();
        QVERIFY(answered);
        QCOMPARE(label->text(), expectedFontLabel(chosen));
        QVERIFY(Mx::CfgStore::all().isEmpty()); // nothing is written before the page is saved
        page->slotSaveWidgetStates();
        QCOMPARE(Mx::Cfg(group).readFont(kTextFont, QFont()).pointSize(), chosen.pointSize());
    }

    // "Arial" may be drawn by a metric-compatible face listed under its own name: the dialog
    // preselects that face, and OK without a change keeps the configured name.
    void fontDialogKeepsAnUntouchedFont()
    {
        std::unique_ptr<Mx::PrefsTab> page = makePage(kGroupObjectViewer);
        page->show();
        page->initWidgets();
        QString preselected;
        answerNextModal<QFontDialog>([&](QFontDialog *dialog) {
            preselected = dialog->currentFont().family();
            dialog->accept();
        });
        child<QPushButton>(page.get(), "fontButton")->click();
        QCOMPARE(preselected, QFontInfo(defaultTextFont()).family());
        page->slotSaveWidgetStates();
        QCOMPARE(Mx::Cfg(kGroupObjectViewer).readFont(kTextFont, QFont()).family(), defaultTextFont().family());
    }
};

QTEST_MAIN(TestSPrefsPages)
#include "tst_SPrefsPages.moc"
