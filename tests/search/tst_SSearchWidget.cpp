// The search tab: which requests it sends for which fields, and which it refuses with
// which warnings.
#include "Mu.h"
#include "SGlobal.h"
#include "SSearchWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(SGlobal::SearchModeE)

namespace {
const QString kNoValid = QStringLiteral("No valid parameters for search!");
} // namespace

class TestSSearchWidget : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startState();
    void groupsAreExclusive();
    void groupsStandInTabOrder();
    void radioButtonsEnableTheirRows();
    void minMaxRowsKeepTheirGap_data();
    void minMaxRowsKeepTheirGap();
    void idRanges_data();
    void idRanges();
    void idPatterns_data();
    void idPatterns();
    void numberFields_data();
    void numberFields();
    void numberFieldsRefuseBelowMinusOne_data();
    void numberFieldsRefuseBelowMinusOne();
    void pointCodeMask_data();
    void pointCodeMask();
    void blunderNeedsNothing();
    void selectionModeTravels();
    void deselectAll();

private:
    template <typename T> T *field(const QString &name)
    {
        T *w = mWidget->findChild<T *>(name);
        if (!w)
            qFatal("no field %s", qPrintable(name));
        return w;
    }
    QGroupBox *group(int mode) { return field<QGroupBox>(QStringLiteral("group_%1").arg(mode)); }
    void clickSelect() { field<QPushButton>(QStringLiteral("select"))->click(); }

    std::unique_ptr<SSearchWidget> mWidget;
    std::unique_ptr<QSignalSpy> mRequests;
    QStringList mWarnings;
};

void TestSSearchWidget::init()
{
    mWarnings.clear();
    Mu::setSink([this](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn)
            mWarnings << text;
    });
    mWidget = std::make_unique<SSearchWidget>(nullptr);
    mWidget->show();
    QApplication::setActiveWindow(mWidget.get());
    QVERIFY(QTest::qWaitForWindowActive(mWidget.get()));
    mRequests = std::make_unique<QSignalSpy>(mWidget.get(), &SSearchWidget::sigRequestSelection);
}

void TestSSearchWidget::cleanup()
{
    mRequests.reset();
    mWidget.reset();
    Mu::setSink(nullptr);
}

void TestSSearchWidget::startState()
{
    for (int mode = 0; mode < 7; ++mode)
        QCOMPARE(group(mode)->isChecked(), mode == SGlobal::SM_PointId);
    for (const char *name : {"pointIdMin", "pointIdMax", "imageIdMin", "imageIdMax", "linksMin", "linksMax"}) {
        auto *spin = field<QSpinBox>(QString::fromLatin1(name));
        QCOMPARE(spin->value(), -1);
        QCOMPARE(spin->text(), QStringLiteral("IGNORE"));
        QCOMPARE(spin->minimum(), -1);
        QCOMPARE(spin->maximum(), INT_MAX);
    }
    for (const char *name : {"residualsMin", "residualsMax", "sigmasMin", "sigmasMax", "pointIdPatternText"})
        QVERIFY(field<QLineEdit>(QString::fromLatin1(name))->text().isEmpty());
    QVERIFY(!field<QRadioButton>("pointIdRange")->isChecked());
    QVERIFY(!field<QRadioButton>("pointIdPattern")->isChecked());
    QVERIFY(field<QSpinBox>("pointIdMin")->isEnabled());
    QVERIFY(field<QLineEdit>("pointIdPatternText")->isEnabled());
    QVERIFY(!field<QSpinBox>("linksMin")->isEnabled()); // inside an unchecked group
    QVERIFY(field<QRadioButton>("selectionMode_0")->isChecked());
    QCOMPARE(field<QRadioButton>("selectionMode_0")->text(), QStringLiteral("Erase e&xisting Selection"));
    QCOMPARE(field<QRadioButton>("selectionMode_1")->text(), QStringLiteral("&Add to existing Selection"));
    QCOMPARE(mWidget->findChildren<QCheckBox *>().size(), 6); // no box for lonely image points

    // With nothing entered the point-id range is refused.
    clickSelect();
    QCOMPARE(mWarnings, QStringList({QStringLiteral("No parameters selected!"), kNoValid}));
    QCOMPARE(mRequests->count(), 0);
}

void TestSSearchWidget::groupsAreExclusive()
{
    group(SGlobal::SM_Sigmas)->setChecked(true);
    for (int mode = 0; mode < 7; ++mode)
        QCOMPARE(group(mode)->isChecked(), mode == SGlobal::SM_Sigmas);
    QVERIFY(group(SGlobal::SM_Sigmas)->hasFocus());

    group(SGlobal::SM_PointCode)->setChecked(true);
    for (int mode = 0; mode < 7; ++mode)
        QCOMPARE(group(mode)->isChecked(), mode == SGlobal::SM_PointCode);

    group(SGlobal::SM_PointCode)->setChecked(false);
    for (int mode = 0; mode < 7; ++mode)
        QVERIFY(!group(mode)->isChecked());
    clickSelect();
    QCOMPARE(mWarnings, QStringList{QStringLiteral("No mode for searching points enabled!")});
    QCOMPARE(mRequests->count(), 0);
}

void TestSSearchWidget::groupsStandInTabOrder()
{
    const int order[] = {0, 1, 2, 3, 4, 6, 5};
    for (int i = 1; i < 7; ++i) {
        const int above = group(order[i - 1])->mapTo(mWidget.get(), QPoint()).y();
        const int below = group(order[i])->mapTo(mWidget.get(), QPoint()).y();
        QVERIFY2(above < below, qPrintable(QStringLiteral("%1 above %2").arg(order[i - 1]).arg(order[i])));
    }
}

void TestSSearchWidget::radioButtonsEnableTheirRows()
{
    QTest::mouseClick(field<QRadioButton>("pointIdPattern"), Qt::LeftButton);
    QVERIFY(!field<QSpinBox>("pointIdMin")->isEnabled());
    QVERIFY(!field<QSpinBox>("pointIdMax")->isEnabled());
    QVERIFY(field<QLineEdit>("pointIdPatternText")->isEnabled());
    QTest::mouseClick(field<QRadioButton>("pointIdRange"), Qt::LeftButton);
    QVERIFY(field<QSpinBox>("pointIdMin")->isEnabled());
    QVERIFY(field<QSpinBox>("pointIdMax")->isEnabled());
    QVERIFY(!field<QLineEdit>("pointIdPatternText")->isEnabled());

    // The image-id pair acts on its own row only.
    group(SGlobal::SM_ImageId)->setChecked(true);
    QTest::mouseClick(field<QRadioButton>("imageIdPattern"), Qt::LeftButton);
    QVERIFY(!field<QSpinBox>("imageIdMin")->isEnabled());
    QVERIFY(field<QLineEdit>("imageIdPatternText")->isEnabled());
    QVERIFY(field<QRadioButton>("pointIdRange")->isChecked());
}

void TestSSearchWidget::minMaxRowsKeepTheirGap_data()
{
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::newRow("point ids") << QStringLiteral("pointIdMin") << QStringLiteral("pointIdMax");
    QTest::newRow("links") << QStringLiteral("linksMin") << QStringLiteral("linksMax");
    QTest::newRow("residuals") << QStringLiteral("residualsMin") << QStringLiteral("residualsMax");
}

void TestSSearchWidget::minMaxRowsKeepTheirGap()
{
    QFETCH(QString, min);
    QFETCH(QString, max);
    auto *lo = field<QWidget>(min);
    auto *hi = field<QWidget>(max);
    QCOMPARE(hi->geometry().left() - lo->geometry().right() - 1, 10);
    const int widest = QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("10000000.99"));
    QVERIFY(lo->width() <= widest);
    QVERIFY(hi->width() <= widest);
}

void TestSSearchWidget::idRanges_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("warning"); // empty: accepted
    QTest::addColumn<QString>("par1");    // "<null>" for a null string
    QTest::addColumn<QString>("par2");

    const struct {
        int mode;
        const char *prefix;
    } groups[] = {{SGlobal::SM_PointId, "point id"}, {SGlobal::SM_ImageId, "image id"}, {SGlobal::SM_Links, "links"}};
    for (const auto &g : groups) {
        auto row = [&g](const char *name) -> QTestData & { return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(g.prefix, name))); };
        row("min only") << g.mode << 100 << -1 << "" << "100" << "<null>";
        row("max only") << g.mode << -1 << 200 << "" << "<null>" << "200";
        row("both") << g.mode << 100 << 200 << "" << "100" << "200";
        row("equal") << g.mode << 0 << 0 << "" << "0" << "0";
        row("none") << g.mode << -1 << -1 << "No parameters selected!" << "" << "";
        row("min above max") << g.mode << 500 << 100 << "Minimum (500) > Maximum (100)!" << "" << "";
    }
}

void TestSSearchWidget::idRanges()
{
    QFETCH(int, mode);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QString, warning);
    QFETCH(QString, par1);
    QFETCH(QString, par2);

    const QString prefix = mode == SGlobal::SM_PointId   ? QStringLiteral("pointId")
                           : mode == SGlobal::SM_ImageId ? QStringLiteral("imageId")
                                                         : QStringLiteral("links");
    group(mode)->setChecked(true);
    if (mode != SGlobal::SM_Links)
        QTest::mouseClick(field<QRadioButton>(prefix + QStringLiteral("Range")), Qt::LeftButton);
    field<QSpinBox>(prefix + QStringLiteral("Min"))->setValue(min);
    field<QSpinBox>(prefix + QStringLiteral("Max"))->setValue(max);
    clickSelect();

    if (!warning.isEmpty()) {
        QCOMPARE(mWarnings, QStringList({warning, kNoValid}));
        QCOMPARE(mRequests->count(), 0);
        QVERIFY(field<QSpinBox>(prefix + QStringLiteral("Min"))->hasFocus());
        return;
    }
    QVERIFY(mWarnings.isEmpty());
    QCOMPARE(mRequests->count(), 1);
    const QList<QVariant> args = mRequests->takeFirst();
    QCOMPARE(args.at(0).value<SGlobal::SelectionModeE>(), SGlobal::SL_Erase);
    QCOMPARE(int(args.at(1).value<SGlobal::SearchModeE>()), mode);
    const QString sent1 = args.at(2).toString();
    const QString sent2 = args.at(3).toString();
    QCOMPARE(sent1.isNull(), par1 == QLatin1String("<null>"));
    QCOMPARE(sent2.isNull(), par2 == QLatin1String("<null>"));
    if (!sent1.isNull())
        QCOMPARE(sent1, par1);
    if (!sent2.isNull())
        QCOMPARE(sent2, par2);
    QCOMPARE(args.at(4).toBool(), false);
}

void TestSSearchWidget::idPatterns_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("warning");

    for (int mode : {int(SGlobal::SM_PointId), int(SGlobal::SM_ImageId)}) {
        const QString g = mode == SGlobal::SM_PointId ? QStringLiteral("point id") : QStringLiteral("image id");
        QTest::newRow(qPrintable(g + QStringLiteral(": digits and wildcards"))) << mode << "12*4?" << "";
        QTest::newRow(qPrintable(g + QStringLiteral(": empty"))) << mode << "" << "";
        QTest::newRow(qPrintable(g + QStringLiteral(": letter"))) << mode << "12a" << "Illegal character 'a' in Pattern!";
        QTest::newRow(qPrintable(g + QStringLiteral(": first bad one"))) << mode << "1 2x" << "Illegal character ' ' in Pattern!";
        QTest::newRow(qPrintable(g + QStringLiteral(": minus"))) << mode << "-1" << "Illegal character '-' in Pattern!";
        QTest::newRow(qPrintable(g + QStringLiteral(": non-ASCII digit"))) << mode << QStringLiteral("1\u0663")
                                                                        << QStringLiteral("Illegal character '\u0663' in Pattern!");
    }
}

void TestSSearchWidget::idPatterns()
{
    QFETCH(int, mode);
    QFETCH(QString, pattern);
    QFETCH(QString, warning);

    const QString prefix = mode == SGlobal::SM_PointId ? QStringLiteral("pointId") : QStringLiteral("imageId");
    group(mode)->setChecked(true);
    // A range that would be refused: with the pattern chosen it must not matter.
    field<QSpinBox>(prefix + QStringLiteral("Min"))->setValue(9);
    field<QSpinBox>(prefix + QStringLiteral("Max"))->setValue(1);
    QTest::mouseClick(field<QRadioButton>(prefix + QStringLiteral("Pattern")), Qt::LeftButton);
    auto *edit = field<QLineEdit>(prefix + QStringLiteral("PatternText"));
    edit->setText(pattern);
    clickSelect();

    if (!warning.isEmpty()) {
        QCOMPARE(mWarnings, QStringList({warning, kNoValid}));
        QCOMPARE(mRequests->count(), 0);
        QVERIFY(edit->hasFocus());
        return;
    }
    QVERIFY(mWarnings.isEmpty());
    QCOMPARE(mRequests->count(), 1);
    const QList<QVariant> args = mRequests->takeFirst();
    QCOMPARE(int(args.at(1).value<SGlobal::SearchModeE>()), mode);
    QCOMPARE(args.at(2).toString(), pattern);
    QVERIFY(args.at(3).toString().isNull());
    QCOMPARE(args.at(4).toBool(), true);
}

void TestSSearchWidget::numberFields_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("par1"); // "<null>" for a null string
    QTest::addColumn<QString>("par2");

    for (int mode : {int(SGlobal::SM_Residuals), int(SGlobal::SM_Sigmas)}) {
        const QString g = mode == SGlobal::SM_Residuals ? QStringLiteral("residuals") : QStringLiteral("sigmas");
        auto row = [&g](const char *name) -> QTestData & { return QTest::newRow(qPrintable(g + QStringLiteral(": ") + QLatin1String(name))); };
        row("empty max reads as 0") << mode << "0.05" << "" << "Minimum (0.05) > Maximum (0.00)!" << "" << "";
        row("max ignored") << mode << "0.05" << "-1" << "" << "0.05" << "<null>";
        row("empty min is sent empty") << mode << "" << "0.05" << "" << "" << "0.05";
        row("min ignored") << mode << "-0.5" << "2.5" << "" << "<null>" << "2.5";
        row("as typed") << mode << "0.500" << "1.25" << "" << "0.500" << "1.25";
        row("equal") << mode << "1" << "1.0" << "" << "1" << "1.0";
        row("both empty") << mode << "" << "" << "No parameters selected!" << "" << "";
        row("both negative") << mode << "-1" << "-0.1" << "No parameters selected!" << "" << "";
        row("min above max") << mode << "3" << "1.005" << "Minimum (3.00) > Maximum (1.00)!" << "" << "";
    }
}

void TestSSearchWidget::numberFields()
{
    QFETCH(int, mode);
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QString, warning);
    QFETCH(QString, par1);
    QFETCH(QString, par2);

    const QString prefix = mode == SGlobal::SM_Residuals ? QStringLiteral("residuals") : QStringLiteral("sigmas");
    group(mode)->setChecked(true);
    auto *minField = field<QLineEdit>(prefix + QStringLiteral("Min"));
    QTest::keyClicks(minField, min);
    QTest::keyClicks(field<QLineEdit>(prefix + QStringLiteral("Max")), max);
    QCOMPARE(minField->text(), min);
    clickSelect();

    if (!warning.isEmpty()) {
        QCOMPARE(mWarnings, QStringList({warning, kNoValid}));
        QCOMPARE(mRequests->count(), 0);
        QVERIFY(minField->hasFocus());
        return;
    }
    QVERIFY(mWarnings.isEmpty());
    QCOMPARE(mRequests->count(), 1);
    const QList<QVariant> args = mRequests->takeFirst();
    QCOMPARE(int(args.at(1).value<SGlobal::SearchModeE>()), mode);
    const QString sent1 = args.at(2).toString();
    const QString sent2 = args.at(3).toString();
    QCOMPARE(sent1.isNull(), par1 == QLatin1String("<null>"));
    QCOMPARE(sent2.isNull(), par2 == QLatin1String("<null>"));
    if (!sent1.isNull())
        QCOMPARE(sent1, par1);
    if (!sent2.isNull())
        QCOMPARE(sent2, par2);
    QCOMPARE(args.at(4).toBool(), false);
}

void TestSSearchWidget::numberFieldsRefuseBelowMinusOne_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("minus one") << "-1" << "-1";
    QTest::newRow("minus one with zeros") << "-1.000" << "-1.000";
    QTest::newRow("minus two") << "-2" << "-";
    QTest::newRow("just below minus one") << "-1.5" << "-1.";
    QTest::newRow("negative fraction") << "-0.25" << "-0.25";
    QTest::newRow("many decimals") << "12.3456789" << "12.3456789";
    QTest::newRow("large") << "123456789012" << "123456789012";
    QTest::newRow("letters") << "1a2b" << "12";
    QTest::newRow("exponent") << "1e5" << "15";
    QTest::newRow("comma") << "1,5" << "15";
}

void TestSSearchWidget::numberFieldsRefuseBelowMinusOne()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    group(SGlobal::SM_Residuals)->setChecked(true);
    auto *edit = field<QLineEdit>("residualsMin");
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
}

void TestSSearchWidget::pointCodeMask_data()
{
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QString>("mask");

    QTest::newRow("vertical and centre") << QList<int>{1, 4} << "0100100";
    QTest::newRow("new points") << QList<int>{0} << "1000000";
    QTest::newRow("all boxes") << QList<int>{0, 1, 2, 3, 4, 5} << "1111110";
    QTest::newRow("none") << QList<int>{} << "";
}

void TestSSearchWidget::pointCodeMask()
{
    QFETCH(QList<int>, checked);
    QFETCH(QString, mask);
    group(SGlobal::SM_PointCode)->setChecked(true);
    for (int i : checked)
        field<QCheckBox>(QStringLiteral("pointCode_%1").arg(i))->setChecked(true);
    clickSelect();
    if (mask.isEmpty()) {
        QCOMPARE(mWarnings, QStringList({QStringLiteral("No point-code activated!"), kNoValid}));
        QCOMPARE(mRequests->count(), 0);
        return;
    }
    QCOMPARE(mRequests->count(), 1);
    const QList<QVariant> args = mRequests->takeFirst();
    QCOMPARE(args.at(1).value<SGlobal::SearchModeE>(), SGlobal::SM_PointCode);
    QCOMPARE(args.at(2).toString(), mask);
    QVERIFY(args.at(3).toString().isNull());
}

void TestSSearchWidget::blunderNeedsNothing()
{
    group(SGlobal::SM_Blunder)->setChecked(true);
    clickSelect();
    QVERIFY(mWarnings.isEmpty());
    QCOMPARE(mRequests->count(), 1);
    const QList<QVariant> args = mRequests->takeFirst();
    QCOMPARE(args.at(1).value<SGlobal::SearchModeE>(), SGlobal::SM_Blunder);
    QVERIFY(args.at(2).toString().isNull());
    QVERIFY(args.at(3).toString().isNull());
    QCOMPARE(args.at(4).toBool(), false);
}

void TestSSearchWidget::selectionModeTravels()
{
    QTest::mouseClick(field<QRadioButton>("selectionMode_1"), Qt::LeftButton);
    field<QSpinBox>("pointIdMin")->setValue(7);
    clickSelect();
    QCOMPARE(mRequests->count(), 1);
    QCOMPARE(mRequests->takeFirst().at(0).value<SGlobal::SelectionModeE>(), SGlobal::SL_Add);

    QTest::mouseClick(field<QRadioButton>("selectionMode_0"), Qt::LeftButton);
    clickSelect();
    QCOMPARE(mRequests->takeFirst().at(0).value<SGlobal::SelectionModeE>(), SGlobal::SL_Erase);
}

void TestSSearchWidget::deselectAll()
{
    QSignalSpy deselect(mWidget.get(), &SSearchWidget::sigRequestDeselectAll);
    field<QPushButton>("deselectAll")->click();
    QCOMPARE(deselect.count(), 1);
    QCOMPARE(mRequests->count(), 0);
    QVERIFY(mWarnings.isEmpty());
}

QTEST_MAIN(TestSSearchWidget)
#include "tst_SSearchWidget.moc"
