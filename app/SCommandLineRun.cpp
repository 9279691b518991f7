// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SCommandLineRun.h"

#include "app/SAppInfo.h"
#include "app/SBatchModes.h"
#include "app/SCommandLine.h"

#include <QCoreApplication>

#include <cstdio>

std::optional<int> runCommandLineMode(const SCommandLine &cl, int &argc, char **argv)
{
    switch (cl.mode) {
    case SCommandLine::Mode::Error: std::fprintf(stderr, "varlomin: %s\n", qPrintable(cl.error)); return 1;
    case SCommandLine::Mode::Help: std::fputs(qPrintable(cl.helpText), stdout); return 0;
    case SCommandLine::Mode::Version: std::printf("%s %s\n", SAppInfo::kAppName, SAppInfo::kVersion); return 0;
    case SCommandLine::Mode::Report: {
        QCoreApplication app(argc, argv);
        return runReportMode(cl);
    }
    case SCommandLine::Mode::Export: return runExportMode(cl); // makes its own offscreen application
    case SCommandLine::Mode::Stats: {
        QCoreApplication app(argc, argv);
        return runStatsMode(cl);
    }
    case SCommandLine::Mode::QualityReport: return runQualityReportMode(cl); // makes its own offscreen application
    case SCommandLine::Mode::Gui: break;
    }
    return std::nullopt;
}
