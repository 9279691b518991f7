// The four preference pages: what they show for a configuration, what they write back,
// and the font dialog of the viewer pages.
#include "Mu.h"
#include "MxCfg.h"
#include "QtColorPicker.h"
#include "SGlobal.h"
#include "SPrefsImageViewer.h"
#include "SPrefsLinks.h"
#include "SPrefsObjectViewer.h"
#include "SPrefsPoints.h"
#include "SSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// Answers the next modal font dialog, once it is up, through the given action.
void answerFontDialog(std::function<void(QFontDialog *)> action)
{
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [action, attempt](int left) {
        if (auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget())) {
            action(dialog);
        } else if (left > 0) {
            QTimer::singleShot(10, [attempt, left] { (*attempt)(left - 1); });
        }
    };
    QTimer::singleShot(0, [attempt] { (*attempt)(500); });
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

    void imagePageSavesItsSevenKeysUntouched();
    void imagePageRoundTripsStoredValues();
    void objectPageSavesItsFourKeys();
    void spinBoxesClampStoredValues_data();
    void spinBoxesClampStoredValues();
    void linksPageShowsAndSavesLineType_data();
    void linksPageShowsAndSavesLineType();
    void pointsPageSavesAllGroups();
    void pointsPageShowsSwitchedOffGroup();
    void pointsPageOffersRedMarkWhenAbsent();
    void fontDialogCancelChangesNothing();
    void fontDialogConfirmUpdatesLabelAndSave();
    void symbolIconsAreSharedPictures();
    void captionsHaveBuddies();
    void viewerPagesFirstRow_data();
    void viewerPagesFirstRow();
    void pagesLogTheirLifeCycle();
};

void TestSPrefsPages::imagePageSavesItsSevenKeysUntouched()
{
    SPrefsImageViewer page(nullptr);
    QCOMPARE(page.cfgSection(), QStringLiteral("ImageViewer"));
    page.initWidgets();
    QSignalSpy saved(&page, &Mx::PrefsTab::sigWidgetsSaved);
    page.slotSaveWidgetStates();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(Mx::CfgStore::all().size(), 7);
    QCOMPARE(keysOf(kGroupImageViewer), sorted({"BG_Color", "TextFont", "LargestResidualColor", "LargestResidualSize",
                                                "Scale", "PointIdsOn", "BlundersOn"}));
    const Mx::Cfg cfg(kGroupImageViewer);
    QCOMPARE(cfg.readColor(kBgColor, Qt::black), QColor(255, 255, 255));
    const QFont font = cfg.readFont(kTextFont, QFont());
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    QCOMPARE(font.pointSize(), 8);
    QCOMPARE(cfg.readColor(kLargestResidualColor, Qt::black), QColor(255, 0, 0));
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kLargestResidualSize), QStringLiteral("2"));
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kScale), QStringLiteral("1000"));
    // Flags go to the file as the numbers 0 and 1.
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kPointIdsOn), QStringLiteral("0"));
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kBlundersOn), QStringLiteral("0"));
}

void TestSPrefsPages::imagePageRoundTripsStoredValues()
{
    {
        Mx::Cfg cfg(kGroupImageViewer);
        cfg.writeEntry(kBgColor, QColor(10, 20, 30));
        cfg.writeEntry(kLargestResidualColor, QColor(0, 0, 255));
        cfg.writeEntry(kLargestResidualSize, 7);
        cfg.writeEntry(kScale, 250);
        cfg.writeEntry(kPointIdsOn, 1);
        cfg.writeEntry(kBlundersOn, 1);
    }
    SPrefsImageViewer page(nullptr);
    page.initWidgets();
    QCOMPARE(child<QtColorPicker>(&page, "bgColor")->currentColor(), QColor(10, 20, 30));
    QCOMPARE(child<QtColorPicker>(&page, "largestResidualColor")->currentColor(), QColor(0, 0, 255));
    QCOMPARE(child<QSpinBox>(&page, "largestResidualSize")->value(), 7);
    QCOMPARE(child<QSpinBox>(&page, "scale")->value(), 250);
    QVERIFY(child<QCheckBox>(&page, "pointIdsOn")->isChecked());
    QVERIFY(child<QCheckBox>(&page, "blundersOn")->isChecked());

    child<QCheckBox>(&page, "blundersOn")->setChecked(false);
    child<QSpinBox>(&page, "scale")->setValue(99999);
    page.slotSaveWidgetStates();
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kBlundersOn), QStringLiteral("0"));
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kPointIdsOn), QStringLiteral("1"));
    QCOMPARE(Mx::CfgStore::value(kGroupImageViewer, kScale), QStringLiteral("99999"));
    QCOMPARE(Mx::Cfg(kGroupImageViewer).readColor(kBgColor, Qt::black), QColor(10, 20, 30));
}

void TestSPrefsPages::objectPageSavesItsFourKeys()
{
    Mx::Cfg(kGroupObjectViewer).writeEntry(kScale, 42);
    SPrefsObjectViewer page(nullptr);
    QCOMPARE(page.cfgSection(), QStringLiteral("ObjectViewer"));
    page.initWidgets();
    QCOMPARE(child<QSpinBox>(&page, "scale")->value(), 42);
    QSignalSpy saved(&page, &Mx::PrefsTab::sigWidgetsSaved);
    page.slotSaveWidgetStates();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(Mx::CfgStore::all().size(), 4);
    QCOMPARE(keysOf(kGroupObjectViewer), sorted({"BG_Color", "TextFont", "Scale", "BlundersOn"}));
    QCOMPARE(Mx::CfgStore::value(kGroupObjectViewer, kScale), QStringLiteral("42"));
    QCOMPARE(Mx::CfgStore::value(kGroupObjectViewer, kBlundersOn), QStringLiteral("0"));
    QCOMPARE(Mx::Cfg(kGroupObjectViewer).readColor(kBgColor, Qt::black), QColor(255, 255, 255));
}

void TestSPrefsPages::spinBoxesClampStoredValues_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");

    QTest::newRow("point size 2") << kGroupPoints << pointSizeKey(2) << "pointSize_2" << 2 << 3;
    QTest::newRow("point size 30") << kGroupPoints << pointSizeKey(5) << "pointSize_5" << 30 << 25;
    QTest::newRow("point size 12") << kGroupPoints << pointSizeKey(0) << "pointSize_0" << 12 << 12;
    QTest::newRow("mark size 0") << kGroupPoints << kMarkSize << "markSize" << 0 << 1;
    QTest::newRow("blunder size 11") << kGroupPoints << kBlunderSize << "blunderSize" << 11 << 10;
    QTest::newRow("largest residual -4") << kGroupImageViewer << kLargestResidualSize << "largestResidualSize" << -4 << 1;
    QTest::newRow("image scale 0") << kGroupImageViewer << kScale << "scale" << 0 << 1;
    QTest::newRow("object scale 200000") << kGroupObjectViewer << kScale << "scale" << 200000 << 100000;
}

void TestSPrefsPages::spinBoxesClampStoredValues()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, widget);
    QFETCH(int, stored);
    QFETCH(int, shown);

    Mx::Cfg(group).writeEntry(key, stored);
    std::unique_ptr<Mx::PrefsTab> page;
    if (group == kGroupPoints)
        page = std::make_unique<SPrefsPoints>(nullptr);
    else if (group == kGroupImageViewer)
        page = std::make_unique<SPrefsImageViewer>(nullptr);
    else
        page = std::make_unique<SPrefsObjectViewer>(nullptr);
    page->initWidgets();
    QCOMPARE(child<QSpinBox>(page.get(), widget)->value(), shown);
    page->slotSaveWidgetStates();
    QCOMPARE(Mx::Cfg(group).readNum(key, -999), shown);
}

void TestSPrefsPages::linksPageShowsAndSavesLineType_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("saved");

    QTest::newRow("absent") << 0 << false << "Solid Line" << 0;
    QTest::newRow("dash") << 1 << true << "Dash Line" << 1;
    QTest::newRow("dot") << 2 << true << "Dot Line" << 2;
    QTest::newRow("beyond the list") << 9 << true << "Dot Line" << 2;
    QTest::newRow("negative") << -3 << true << "Solid Line" << 0;
}

void TestSPrefsPages::linksPageShowsAndSavesLineType()
{
    QFETCH(int, stored);
    QFETCH(bool, present);
    QFETCH(QString, shownText);
    QFETCH(int, saved);

    if (present)
        Mx::Cfg(kGroupLinks).writeEntry(kLinkLineType, stored);
    SPrefsLinks page(nullptr);
    QCOMPARE(page.cfgSection(), QStringLiteral("Links"));
    auto *combo = child<QComboBox>(&page, "lineType");
    QCOMPARE(combo->count(), 3);
    QVERIFY(!combo->isEditable());
    page.initWidgets();
    QCOMPARE(combo->currentText(), shownText);
    QSignalSpy spy(&page, &Mx::PrefsTab::sigWidgetsSaved);
    page.slotSaveWidgetStates();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(keysOf(kGroupLinks), QStringList{"LinkLineType"});
    QCOMPARE(Mx::CfgStore::value(kGroupLinks, kLinkLineType), QString::number(saved));
}

void TestSPrefsPages::pointsPageSavesAllGroups()
{
    SPrefsPoints page(nullptr);
    QCOMPARE(page.cfgSection(), QStringLiteral("Points"));
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
    for (int i = 0; i < kPointCodeCount; ++i)
        expected << pointOnKey(i) << pointSymbolKey(i) << pointColorKey(i) << pointSizeKey(i);
    QCOMPARE(keysOf(kGroupPoints), sorted(expected));
    QCOMPARE(Mx::CfgStore::all().size(), expected.size());

    const Mx::Cfg cfg(kGroupPoints);
    for (int i = 0; i < kPointCodeCount; ++i) {
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

void TestSPrefsPages::pointsPageShowsSwitchedOffGroup()
{
    Mx::Cfg cfg(kGroupPoints);
    cfg.writeEntry(pointOnKey(3), 0);
    cfg.writeEntry(pointSymbolKey(3), 1);
    cfg.writeEntry(pointColorKey(3), QColor(0, 0, 255));
    SPrefsPoints page(nullptr);
    page.initWidgets();
    for (int i = 0; i < kPointCodeCount; ++i)
        QCOMPARE(child<QGroupBox>(&page, QStringLiteral("pointGroup_%1").arg(i))->isChecked(), i != 3);
    QCOMPARE(child<QComboBox>(&page, "pointSymbol_3")->currentText(), QStringLiteral("Triangle"));
    QCOMPARE(child<QtColorPicker>(&page, "pointColor_3")->currentColor(), QColor(0, 0, 255));

    // The same page filled again after the key changed follows the new value.
    cfg.writeEntry(pointOnKey(3), 1);
    page.initWidgets();
    QVERIFY(child<QGroupBox>(&page, "pointGroup_3")->isChecked());
}

void TestSPrefsPages::pointsPageOffersRedMarkWhenAbsent()
{
    SPrefsPoints page(nullptr);
    page.initWidgets();
    QCOMPARE(child<QtColorPicker>(&page, "markColor")->currentColor(), QColor(255, 0, 0));
    page.slotSaveWidgetStates();
    QCOMPARE(Mx::Cfg(kGroupPoints).readColor(kMarkColor, Qt::black), QColor(255, 0, 0));

    Mx::Cfg(kGroupPoints).writeEntry(kMarkColor, QColor(255, 255, 0));
    page.initWidgets();
    QCOMPARE(child<QtColorPicker>(&page, "markColor")->currentColor(), QColor(255, 255, 0));
}

void TestSPrefsPages::fontDialogCancelChangesNothing()
{
    SPrefsImageViewer page(nullptr);
    page.show();
    page.initWidgets();
    auto *label = child<QLabel>(&page, "fontLabel");
    const QString before = label->text();
    QCOMPARE(before, expectedFontLabel(defaultTextFont()));

    bool answered = false;
    answerFontDialog([&answered](QFontDialog *dialog) {
        QFont other = dialog->currentFont();
        other.setPointSize(20);
        dialog->setCurrentFont(other); // changed, but then cancelled
        answered = true;
        dialog->reject();
    });
    child<QPushButton>(&page, "fontButton")->click();
    QVERIFY(answered);
    QCOMPARE(label->text(), before);
    page.slotSaveWidgetStates();
    QCOMPARE(Mx::Cfg(kGroupImageViewer).readFont(kTextFont, QFont()).pointSize(), 8);
}

void TestSPrefsPages::fontDialogConfirmUpdatesLabelAndSave()
{
    SPrefsObjectViewer page(nullptr);
    page.show();
    page.initWidgets();
    auto *label = child<QLabel>(&page, "fontLabel");
    QFont chosen;
    answerFontDialog([&chosen](QFontDialog *dialog) {
        QFont font = dialog->currentFont();
        font.setPointSize(14);
        dialog->setCurrentFont(font);
        chosen = dialog->currentFont();
        dialog->accept();
    });
    child<QPushButton>(&page, "fontButton")->click();
    QCOMPARE(chosen.pointSize(), 14);
    QCOMPARE(label->text(), expectedFontLabel(chosen));
    QVERIFY(label->text().endsWith(QStringLiteral("] 14")));
    QVERIFY(Mx::CfgStore::all().isEmpty()); // nothing is written before the page is saved
    page.slotSaveWidgetStates();
    const QFont saved = Mx::Cfg(kGroupObjectViewer).readFont(kTextFont, QFont());
    QCOMPARE(saved.pointSize(), 14);
    QCOMPARE(saved.family(), chosen.family());
}

void TestSPrefsPages::symbolIconsAreSharedPictures()
{
    const QList<QIcon> &icons = SPrefsPoints::symbolIcons();
    QCOMPARE(icons.size(), 3);
    constexpr int size = 13, mid = 6;
    struct Probe {
        QPoint black;
        QPoint clear;
    };
    // circle: centre filled, corner clear; triangle: base filled, top corners clear;
    // cross: the arms filled, the space between them clear.
    const Probe probes[] = {{{mid, mid}, {0, 0}}, {{mid, size - 2}, {1, 1}}, {{mid, 1}, {2, 2}}};
    for (int s = 0; s < 3; ++s) {
        QVERIFY(!icons[s].isNull());
        const QImage image = icons[s].pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));
        const QColor on = image.pixelColor(probes[s].black);
        QCOMPARE(on.rgb() & 0xffffff, 0u);
        QVERIFY2(on.alpha() > 128, qPrintable(QString::number(s)));
        QCOMPARE(image.pixelColor(probes[s].clear).alpha(), 0);
    }
    QCOMPARE(&SPrefsPoints::symbolIcons(), &icons);

    SPrefsPoints first(nullptr), second(nullptr);
    for (int s = 0; s < 3; ++s) {
        const QIcon a = child<QComboBox>(&first, "pointSymbol_0")->itemIcon(s);
        const QIcon b = child<QComboBox>(&second, "pointSymbol_4")->itemIcon(s);
        QCOMPARE(a.cacheKey(), icons[s].cacheKey());
        QCOMPARE(b.cacheKey(), icons[s].cacheKey());
        QCOMPARE(child<QComboBox>(&first, "pointSymbol_0")->itemText(s), QString::fromLatin1(pointSymbolName(s)));
    }
}

void TestSPrefsPages::captionsHaveBuddies()
{
    std::vector<std::unique_ptr<QWidget>> pages;
    pages.push_back(std::make_unique<SPrefsImageViewer>(nullptr));
    pages.push_back(std::make_unique<SPrefsObjectViewer>(nullptr));
    pages.push_back(std::make_unique<SPrefsLinks>(nullptr));
    pages.push_back(std::make_unique<SPrefsPoints>(nullptr));
    for (const auto &page : pages) {
        int captions = 0;
        for (QLabel *label : page->findChildren<QLabel *>()) {
            if (label->objectName() == QLatin1String("fontLabel"))
                continue;
            QVERIFY2(label->buddy(), qPrintable(label->text()));
            QCOMPARE(label->buddy()->parentWidget(), label->parentWidget());
            ++captions;
        }
        QVERIFY(captions > 0);
    }
    SPrefsImageViewer image(nullptr);
    QLabel *fontCaption = nullptr;
    for (QLabel *label : image.findChildren<QLabel *>()) {
        if (label->text() == QLatin1String("&Font "))
            fontCaption = label;
    }
    QVERIFY(fontCaption);
    QCOMPARE(fontCaption->buddy(), child<QPushButton>(&image, "fontButton"));
    QCOMPARE(child<QPushButton>(&image, "fontButton")->width(), 30);
}

void TestSPrefsPages::viewerPagesFirstRow_data()
{
    QTest::addColumn<bool>("imagePage");
    QTest::addColumn<QString>("backgroundTitle");
    QTest::addColumn<QString>("textTitle");
    QTest::newRow("image viewer") << true << "Background:" << "Text:";
    QTest::newRow("object viewer") << false << "&Background:" << "&Text:";
}

void TestSPrefsPages::viewerPagesFirstRow()
{
    QFETCH(bool, imagePage);
    QFETCH(QString, backgroundTitle);
    QFETCH(QString, textTitle);
    std::unique_ptr<QWidget> page;
    if (imagePage)
        page = std::make_unique<SPrefsImageViewer>(nullptr);
    else
        page = std::make_unique<SPrefsObjectViewer>(nullptr);

    auto *background = qobject_cast<QGroupBox *>(child<QWidget>(page.get(), "bgColor")->parentWidget());
    auto *fontLabel = child<QLabel>(page.get(), "fontLabel");
    auto *text = qobject_cast<QGroupBox *>(fontLabel->parentWidget());
    QVERIFY(background && text);
    QCOMPARE(background->title(), backgroundTitle);
    QCOMPARE(text->title(), textTitle);
    QCOMPARE(fontLabel->frameStyle(), int(QFrame::Panel | QFrame::Sunken));
    QCOMPARE(fontLabel->lineWidth(), 2);

    // Caption, font label and button side by side in the text group.
    auto *grid = qobject_cast<QGridLayout *>(text->layout());
    QVERIFY(grid);
    QCOMPARE(grid->itemAtPosition(0, 1)->widget(), fontLabel);
    QCOMPARE(grid->itemAtPosition(0, 2)->widget(), child<QPushButton>(page.get(), "fontButton"));
    auto *caption = qobject_cast<QLabel *>(grid->itemAtPosition(0, 0)->widget());
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("&Font "));

    // Both groups share the first row of the page with stretch 2 each.
    auto *row = qobject_cast<QHBoxLayout *>(page->layout()->itemAt(0)->layout());
    QVERIFY(row);
    QCOMPARE(row->indexOf(background), 0);
    QCOMPARE(row->indexOf(text), 1);
    QCOMPARE(row->stretch(0), 2);
    QCOMPARE(row->stretch(1), 2);
}

void TestSPrefsPages::pagesLogTheirLifeCycle()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("prefs.log"));
    QVERIFY(Mu::openLogFile(logPath));
    {
        SPrefsImageViewer image(nullptr);
        SPrefsObjectViewer object(nullptr);
        SPrefsLinks links(nullptr);
        SPrefsPoints points(nullptr);
        for (Mx::PrefsTab *page : std::initializer_list<Mx::PrefsTab *>{&image, &object, &links, &points}) {
            page->initWidgets();
            page->slotSaveWidgetStates();
        }
    }
    Mu::closeLogFile();
    QFile file(logPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(file.readAll());
    for (const char *name : {"SPrefsImageViewer", "SPrefsObjectViewer", "SPrefsLinks", "SPrefsPoints"}) {
        const QString n = QString::fromLatin1(name);
        const qsizetype made = log.indexOf(QStringLiteral("DEBUG: ") + n + u'\n');
        const qsizetype filled = log.indexOf(QStringLiteral("DEBUG: ") + n + QStringLiteral("::initWidgets\n"));
        const qsizetype saved = log.indexOf(QStringLiteral("DEBUG: ") + n + QStringLiteral("::slotSaveWidgetStates\n"));
        const qsizetype gone = log.indexOf(QStringLiteral("DEBUG: ~") + n + u'\n');
        QVERIFY2(made >= 0 && made < filled && filled < saved && saved < gone, name);
    }
}

QTEST_MAIN(TestSPrefsPages)
#include "tst_SPrefsPages.moc"
