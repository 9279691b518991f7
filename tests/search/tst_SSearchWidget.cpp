// SPDX-License-Identifier: GPL-3.0-or-later
// The search tab: which requests it sends for which fields, and which it refuses with
// which warnings.
#include "framework/Mu.h"
#include "misc/SGlobal.h"
#include "search/SSearchWidget.h"

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
const QString kNull = QStringLiteral("<null>"); // a null string argument
const QString kNoParameters = QStringLiteral("No parameters selected!");
// Object-name prefixes of each mode's fields.
const char *const kPrefix[] = {"pointId", "imageId", "links", "residuals", "sigmas", "", ""};
} // namespace

class TestSSearchWidget : public QObject {
    Q_OBJECT
private slots:
    void init()
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

    void cleanup()
    {
        mRequests.reset();
        mWidget.reset();
        Mu::setSink(nullptr);
    }

    void startState()
    {
        for (int mode = 0; mode < 7; ++mode)
            QCOMPARE(group(mode)->isChecked(), mode == SGlobal::SM_PointId);
        auto *spin = field<QSpinBox>("linksMin");
        QCOMPARE(spin->value(), -1);
        QCOMPARE(spin->text(), QStringLiteral("IGNORE"));
        QCOMPARE(spin->maximum(), INT_MAX);
        QVERIFY(!spin->isEnabled()); // inside an unchecked group
        QVERIFY(field<QRadioButton>("selectionMode_0")->isChecked());
        QCOMPARE(mWidget->findChildren<QCheckBox *>().size(), 6); // no box for lonely image points

        // With nothing entered the point-id range is refused.
        clickSelect();
        verifyRefused(kNoParameters);
    }

    void groupsAreExclusive()
    {
        group(SGlobal::SM_Sigmas)->setChecked(true);
        group(SGlobal::SM_PointCode)->setChecked(true);
        for (int mode = 0; mode < 7; ++mode)
            QCOMPARE(group(mode)->isChecked(), mode == SGlobal::SM_PointCode);

        group(SGlobal::SM_PointCode)->setChecked(false);
        clickSelect();
        QCOMPARE(mWarnings, QStringList{QStringLiteral("No mode for searching points enabled!")});
        QCOMPARE(mRequests->count(), 0);
    }

    void groupsStandInTabOrder()
    {
        const int order[] = {0, 1, 2, 3, 4, 6, 5};
        for (int i = 1; i < 7; ++i) {
            const int above = group(order[i - 1])->mapTo(mWidget.get(), QPoint()).y();
            const int below = group(order[i])->mapTo(mWidget.get(), QPoint()).y();
            QVERIFY2(above < below, qPrintable(QStringLiteral("%1 above %2").arg(order[i - 1]).arg(order[i])));
        }
    }

    void radioButtonsEnableTheirRows()
    {
        QTest::mouseClick(field<QRadioButton>("pointIdPattern"), Qt::LeftButton);
        QVERIFY(!field<QSpinBox>("pointIdMax")->isEnabled());
        QVERIFY(field<QLineEdit>("pointIdPatternText")->isEnabled());
        QTest::mouseClick(field<QRadioButton>("pointIdRange"), Qt::LeftButton);
        QVERIFY(field<QSpinBox>("pointIdMax")->isEnabled());
        QVERIFY(!field<QLineEdit>("pointIdPatternText")->isEnabled());

        // The image-id pair acts on its own row only.
        group(SGlobal::SM_ImageId)->setChecked(true);
        QTest::mouseClick(field<QRadioButton>("imageIdPattern"), Qt::LeftButton);
        QVERIFY(!field<QSpinBox>("imageIdMin")->isEnabled());
        QVERIFY(field<QRadioButton>("pointIdRange")->isChecked());
    }

    void minMaxRowsKeepTheirGap_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::newRow("point ids") << QStringLiteral("pointIdMin") << QStringLiteral("pointIdMax");
        QTest::newRow("residuals") << QStringLiteral("residualsMin") << QStringLiteral("residualsMax");
    }
    void minMaxRowsKeepTheirGap()
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

    void requests_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("pattern"); // id modes: the pattern row instead of the range
        QTest::addColumn<QString>("min");  // the pattern text on pattern rows
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("warning"); // empty: accepted
        QTest::addColumn<QString>("par1");
        QTest::addColumn<QString>("par2");

        const auto row = [](const char *name, int mode, bool pattern, const QString &min, const QString &max,
                            const QString &warning, const QString &par1, const QString &par2) {
            QTest::newRow(name) << mode << pattern << min << max << warning << par1 << par2;
        };
        const int pointId = SGlobal::SM_PointId, imageId = SGlobal::SM_ImageId;
        row("point id: min only", pointId, false, "100", "-1", "", "100", kNull);
        row("point id: max only", pointId, false, "-1", "200", "", kNull, "200");
        row("point id: none", pointId, false, "-1", "-1", kNoParameters, "", "");
        row("point id: min above max", pointId, false, "500", "100", "Minimum (500) > Maximum (100)!", "", "");
        row("point id: wildcards", pointId, true, "12*4?", "", "", "12*4?", kNull);
        row("point id: letter", pointId, true, "12a", "", "Illegal character 'a' in Pattern!", "", "");
        row("point id: first bad one", pointId, true, "1 2x", "", "Illegal character ' ' in Pattern!", "", "");
        row("point id: non-ASCII digit", pointId, true, QStringLiteral("1\u0663"), "",
            QStringLiteral("Illegal character '\u0663' in Pattern!"), "", "");
        row("image id: minus", imageId, true, "-1", "", "Illegal character '-' in Pattern!", "", "");

        const int residuals = SGlobal::SM_Residuals, sigmas = SGlobal::SM_Sigmas;
        row("residuals: empty max reads as 0", residuals, false, "0.05", "", "Minimum (0.05) > Maximum (0.00)!", "",
            "");
        row("residuals: max ignored", residuals, false, "0.05", "-1", "", "0.05", kNull);
        row("residuals: min ignored", residuals, false, "-0.5", "2.5", "", kNull, "2.5");
        row("residuals: both empty", residuals, false, "", "", kNoParameters, "", "");
        row("residuals: min above max", residuals, false, "3", "1.005", "Minimum (3.00) > Maximum (1.00)!", "", "");
        row("sigmas: both negative", sigmas, false, "-1", "-0.1", kNoParameters, "", "");
        row("blunder needs nothing", int(SGlobal::SM_Blunder), false, "", "", "", kNull, kNull);
    }
    void requests()
    {
        QFETCH(int, mode);
        QFETCH(bool, pattern);
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(QString, warning);
        QFETCH(QString, par1);
        QFETCH(QString, par2);

        const QString prefix = QString::fromLatin1(kPrefix[mode]);
        group(mode)->setChecked(true);
        QWidget *focus = nullptr;
        if (mode <= SGlobal::SM_Links) {
            // On pattern rows a range that would be refused must not matter.
            auto *minSpin = field<QSpinBox>(prefix + QStringLiteral("Min"));
            minSpin->setValue(pattern ? 9 : min.toInt());
            field<QSpinBox>(prefix + QStringLiteral("Max"))->setValue(pattern ? 1 : max.toInt());
            focus = minSpin;
            if (mode != SGlobal::SM_Links)
                QTest::mouseClick(field<QRadioButton>(prefix + (pattern ? "Pattern" : "Range")), Qt::LeftButton);
            if (pattern) {
                auto *edit = field<QLineEdit>(prefix + QStringLiteral("PatternText"));
                edit->setText(min);
                focus = edit;
            }
        } else if (!prefix.isEmpty()) {
            focus = field<QLineEdit>(prefix + QStringLiteral("Min"));
            QTest::keyClicks(focus, min);
            QTest::keyClicks(field<QLineEdit>(prefix + QStringLiteral("Max")), max);
        }
        clickSelect();

        if (!warning.isEmpty()) {
            verifyRefused(warning);
            QVERIFY(focus->hasFocus());
            return;
        }
        QVERIFY(mWarnings.isEmpty());
        QCOMPARE(mRequests->count(), 1);
        const SSearchRequest request = mRequests->takeFirst().at(0).value<SSearchRequest>();
        QCOMPARE(request.selectionMode(), SGlobal::SL_Erase);
        QCOMPARE(int(request.searchMode()), mode);
        const QString sent1 = request.strPar1();
        const QString sent2 = request.strPar2();
        QCOMPARE(sent1.isNull(), par1 == kNull);
        QCOMPARE(sent2.isNull(), par2 == kNull);
        if (!sent1.isNull())
            QCOMPARE(sent1, par1);
        if (!sent2.isNull())
            QCOMPARE(sent2, par2);
        QCOMPARE(request.patternMatching(), pattern);
    }

    void numberFieldsRefuseBelowMinusOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *typed, const char *shown) {
            QTest::newRow(name) << QString::fromLatin1(typed) << QString::fromLatin1(shown);
        };
        row("minus one", "-1", "-1");
        row("minus two", "-2", "-");
        row("just below minus one", "-1.5", "-1.");
        row("negative fraction", "-0.25", "-0.25");
        row("letters", "1a2b", "12");
        row("exponent", "1e5", "15");
    }
    void numberFieldsRefuseBelowMinusOne()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        group(SGlobal::SM_Residuals)->setChecked(true);
        auto *edit = field<QLineEdit>("residualsMin");
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    void pointCodeMask_data()
    {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QString>("mask");
        QTest::newRow("vertical and centre") << QList<int>{1, 4} << "0100100";
        QTest::newRow("all boxes") << QList<int>{0, 1, 2, 3, 4, 5} << "1111110";
        QTest::newRow("none") << QList<int>{} << "";
    }
    void pointCodeMask()
    {
        QFETCH(QList<int>, checked);
        QFETCH(QString, mask);
        group(SGlobal::SM_PointCode)->setChecked(true);
        for (int i : checked)
            field<QCheckBox>(QStringLiteral("pointCode_%1").arg(i))->setChecked(true);
        clickSelect();
        if (mask.isEmpty()) {
            verifyRefused(QStringLiteral("No point-code activated!"));
            return;
        }
        QCOMPARE(mRequests->count(), 1);
        const SSearchRequest request = mRequests->takeFirst().at(0).value<SSearchRequest>();
        QCOMPARE(request.searchMode(), SGlobal::SM_PointCode);
        QCOMPARE(request.strPar1(), mask);
        QVERIFY(request.strPar2().isNull());
    }

    void selectionModeTravels()
    {
        QTest::mouseClick(field<QRadioButton>("selectionMode_1"), Qt::LeftButton);
        field<QSpinBox>("pointIdMin")->setValue(7);
        clickSelect();
        QCOMPARE(mRequests->takeFirst().at(0).value<SSearchRequest>().selectionMode(), SGlobal::SL_Add);
        QTest::mouseClick(field<QRadioButton>("selectionMode_0"), Qt::LeftButton);
        clickSelect();
        QCOMPARE(mRequests->takeFirst().at(0).value<SSearchRequest>().selectionMode(), SGlobal::SL_Erase);
    }

    void deselectAll()
    {
        QSignalSpy deselect(mWidget.get(), &SSearchWidget::sigRequestDeselectAll);
        field<QPushButton>("deselectAll")->click();
        QCOMPARE(deselect.count(), 1);
        QCOMPARE(mRequests->count(), 0);
        QVERIFY(mWarnings.isEmpty());
    }

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
    // Refused: exactly the warning and the closing one, no request.
    void verifyRefused(const QString &warning)
    {
        QCOMPARE(mWarnings, QStringList({warning, kNoValid}));
        QCOMPARE(mRequests->count(), 0);
    }

    std::unique_ptr<SSearchWidget> mWidget;
    std::unique_ptr<QSignalSpy> mRequests;
    QStringList mWarnings;
};

QTEST_MAIN(TestSSearchWidget)
#include "tst_SSearchWidget.moc"
