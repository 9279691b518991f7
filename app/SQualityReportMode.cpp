// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line mode that writes the adjustment report of a project without a display.
#include "app/SAppInfo.h"
#include "app/SBatchModes.h"
#include "app/SCommandLine.h"
#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "patb/SProjectData.h"
#include "report/SQualityReport.h"
#include "report/SReportFile.h"

#include <cstdio>

namespace {

void printError(const QString &text) { std::fprintf(stderr, "varlomin: %s\n", qPrintable(text)); }

// Reads and initialises the project; the warnings and the error that ended the read go to
// the report. False when not even the project file could be used.
bool readProject(const QString &projectFile, SProjectData &data, SQualityReportInput &input)
{
    Mu::setSink([&input](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn)
            input.readWarnings.append(text);
    });
    data.setCodesWhileReading(true);
    if (const std::optional<SReportError> error = SProjectOpener::readWithoutDialogs(projectFile, data))
        input.readError = error->first == 0 ? error->second.trimmed()
                                            : QStringLiteral("Error %1: %2").arg(error->first).arg(error->second);
    if (data.projectFiles)
        data.initialise();
    Mu::setSink(nullptr);
    if (!data.projectFiles)
        printError(
            QStringLiteral("cannot read the project '%1': %2")
                .arg(projectFile, input.readError.isEmpty() ? QStringLiteral("not a project file") : input.readError));
    return bool(data.projectFiles);
}

} // namespace

int runQualityReportMode(const SCommandLine &cl)
{
    QString error;
    if (!SReport::checkOutputFile(cl.reportFile, &error)) {
        printError(error);
        return 1;
    }
    const SOffscreenApplication app(cl.configFile);
    if (!app.configured())
        return 1;

    SQualityReportInput input;
    input.projectFile = cl.projectFile;
    input.title = cl.reportTitle;
    input.version = QString::fromLatin1(SAppInfo::kVersion);
    input.createdAt = QDateTime::currentDateTimeUtc();
    input.thresholds = SReportSettings::readThresholds();
    SProjectData data;
    if (!readProject(cl.projectFile, data, input))
        return 1;
    if (!writeQualityReport(data, input, cl.reportFile, &error)) {
        printError(error);
        return 1;
    }
    if (!input.readError.isEmpty()) {
        printError(QStringLiteral("the report '%1' was written, but reading '%2' ended with an error (stated at "
                                  "the top of the report): %3")
                       .arg(cl.reportFile, cl.projectFile, input.readError));
        return 1;
    }
    return 0;
}
