// SPDX-License-Identifier: GPL-3.0-or-later
// Times the adjustment report against opening the same project: open (read and initialise)
// and the HTML report (statistics, pictures, document, file), best of a few runs each, and
// the size of the file.
//   varlomin-reportbench PROJECT_FILE OUT.html [RUNS]
#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "patb/SProjectData.h"
#include "report/SQualityReport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <limits>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: varlomin-reportbench PROJECT_FILE OUT.html|OUT.pdf [RUNS]\n");
        return 2;
    }
    const QString project = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 3;
    Mu::setSink([](Mu::Level, const QString &) {});
    double bestOpen = std::numeric_limits<double>::max(), bestReport = bestOpen;
    for (int run = 0; run < runs; ++run) {
        SProjectData data;
        QElapsedTimer timer;
        timer.start();
        SProjectOpener::readWithoutDialogs(project, data);
        data.initialise();
        bestOpen = std::min(bestOpen, timer.nsecsElapsed() / 1e6);
        SQualityReportInput input;
        input.projectFile = project;
        input.createdAt = QDateTime::currentDateTimeUtc();
        QString error;
        timer.restart();
        if (!writeQualityReport(data, input, out, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        bestReport = std::min(bestReport, timer.nsecsElapsed() / 1e6);
        data.close();
    }
    std::printf("open %.0f ms, report %.0f ms (%.2f x open), file %.2f MB\n", bestOpen, bestReport,
                bestReport / bestOpen, QFileInfo(out).size() / 1e6);
    return 0;
}
