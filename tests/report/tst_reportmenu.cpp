// SPDX-License-Identifier: GPL-3.0-or-later
// "Export Quality Report..." in the Project menu: the report of the open project, written
// where the user chose, and the user's selection untouched by the report's own.
#include "app/Varlomin.h"
#include "framework/Mu.h"
#include "misc/SGlobal.h"
#include "misc/SObjectPoint.h"
#include "tests/common/ModalAnswer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestReportMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Mu::setSink([](Mu::Level, const QString &) {});
    }
    void exportsTheOpenProject()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("block.pdf"));
        Varlomin window{QPixmap()};
        window.openProject(QStringLiteral(VARLOMIN_SOURCE_DIR "/examples/demo.(p)"));
        QVERIFY(!window.projectFile().isEmpty());
        QString suggested;
        window.setReportFileChooser([&](QWidget *, const QString &suggestion) {
            suggested = suggestion;
            return file;
        });
        // One tie point selected by the user; the report selects the control points meanwhile.
        SObjectPointList &points = window.objectPoints();
        SObjectPoint *userChoice = nullptr;
        for (SObjectPoint &p : points)
            if (pointCodeIndex(p.code()) == SGlobal::kIndexNewPoint && !userChoice)
                userChoice = &p;
        QVERIFY(userChoice);
        points.setSelected(*userChoice, true);
        points.setSelectedCount(1);

        QAction *action = menuAction(window.menu(1), QStringLiteral("Export Quality Report..."));
        QVERIFY(action);
        action->trigger();

        QVERIFY(suggested.endsWith(QLatin1String("demo-report.html")));
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        int selected = 0;
        for (const SObjectPoint &p : points)
            selected += p.isSelected();
        QCOMPARE(selected, 1);
        QVERIFY(userChoice->isSelected());
        QCOMPARE(points.selectedCount(), 1);
    }
};

QTEST_MAIN(TestReportMenu)
#include "tst_reportmenu.moc"
