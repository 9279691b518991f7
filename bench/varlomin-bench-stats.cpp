// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the quality statistics of a block against opening it: computing every statistic
// in the process that opened the block, and the whole `varlomin --stats` run. One row per block;
// scripts/bench.sh runs it after varlomin-bench.
//
//   varlomin-bench-stats --header
//   varlomin-bench-stats --name M [--goals] [--varlomin PATH] [--repeat N] PROJECT_FILE

#include "bench/BenchSupport.h"
#include "framework/Mu.h"
#include "patb/SPatbReader.h"
#include "patb/SProjectData.h"
#include "statistics/SBlockStatistics.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

#include <sys/resource.h>

namespace {

// Goals on the medium block: statistics at most half an open, --stats at most 1.5 opens.
constexpr double kGoalStatsToOpen = 0.5;
constexpr double kGoalStatsRunToOpen = 1.5;

using BenchSupport::QuietHandler;

// Best wall time and best CPU time of n runs. On a shared machine other programs stretch the wall
// time of a run (waiting for a core) far more than its CPU time, so the goals are shown in both.
struct Timing {
    double wallMs = 1e300;
    double cpuMs = 1e300;
};

double cpuMs(bool children)
{
    if (!children) {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage); // the runs that were waited for
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

Timing timeRuns(int n, bool children, const std::function<void()> &run)
{
    Timing best;
    for (int i = 0; i < n; ++i) {
        const double cpuStart = cpuMs(children);
        QElapsedTimer timer;
        timer.start();
        run();
        best.wallMs = std::min(best.wallMs, double(timer.nsecsElapsed()) / 1e6);
        best.cpuMs = std::min(best.cpuMs, cpuMs(children) - cpuStart);
    }
    return best;
}

bool openProject(SProjectData &data, const QString &projectFile)
{
    QuietHandler handler;
    const bool complete = SPatbReader(data, handler).readProjectFile(projectFile);
    data.initialise();
    return complete;
}

Timing runTimes(const QString &program, const QStringList &arguments, int repeat)
{
    return timeRuns(repeat, true, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        process.waitForFinished(-1);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Mu::setSink([](Mu::Level, const QString &) {});
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("header"), QStringLiteral("Print the table header and stop.")});
    parser.addOption({QStringLiteral("name"), QStringLiteral("Name of the block."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("goals"), QStringLiteral("Check the goals on this block.")});
    parser.addOption({QStringLiteral("varlomin"), QStringLiteral("The varlomin program."), QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("repeat"), QStringLiteral("Runs per measurement (best counts)."),
                      QStringLiteral("N"), QStringLiteral("5")});
    parser.process(app);
    if (parser.isSet(QStringLiteral("header"))) {
        std::printf("%-22s | %8s %8s %6s | %8s %6s\n", "block", "open ms", "stats ms", "xopen", "--stats", "xopen");
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "varlomin-bench-stats: give exactly one project file.\n");
        return 2;
    }
    const QString projectFile = parser.positionalArguments().first();
    const QString name = parser.value(QStringLiteral("name")).isEmpty() ? QFileInfo(projectFile).baseName()
                                                                        : parser.value(QStringLiteral("name"));
    const int repeat = std::max(1, parser.value(QStringLiteral("repeat")).toInt());

    const Timing open = timeRuns(repeat, false, [&] {
        SProjectData data;
        openProject(data, projectFile);
        data.close();
    });
    SProjectData data;
    if (!openProject(data, projectFile)) {
        std::fprintf(stderr, "varlomin-bench-stats: '%s' could not be read completely.\n", qUtf8Printable(projectFile));
        return 1;
    }
    qint64 checksum = 0; // keeps the computation from being optimised away
    const Timing stats =
        timeRuns(repeat, false, [&] { checksum += computeBlockStatistics(data).residuals.block.active; });
    data.close();
    const QString varlomin = parser.value(QStringLiteral("varlomin"));
    const Timing run =
        varlomin.isEmpty() ? Timing{0.0, 0.0} : runTimes(varlomin, {QStringLiteral("--stats"), projectFile}, repeat);

    const double statsRatio = stats.wallMs / open.wallMs;
    const double runRatio = run.wallMs / open.wallMs;
    std::printf("%-22s | %8.1f %8.1f %6.2f | %8.1f %6.2f\n", qUtf8Printable(name), open.wallMs, stats.wallMs,
                statsRatio, run.wallMs, runRatio);
    if (parser.isSet(QStringLiteral("goals"))) {
        const bool statsMet = statsRatio <= kGoalStatsToOpen;
        const bool runMet = varlomin.isEmpty() || runRatio <= kGoalStatsRunToOpen;
        std::printf("STATS-GOALS %s %s (checksum %lld)\n", statsMet ? "met" : "missed", runMet ? "met" : "missed",
                    static_cast<long long>(checksum));
        std::printf("STATS-CPU open %.1f ms, stats %.1f ms %.2f x, --stats %.1f ms %.2f x\n", open.cpuMs, stats.cpuMs,
                    stats.cpuMs / open.cpuMs, run.cpuMs, run.cpuMs / open.cpuMs);
    }
    return 0;
}
