// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics mode: reads a project without a display and prints its quality statistics as
// plain-text tables or as one JSON document.
#include "app/SBatchModes.h"
#include "app/SCommandLine.h"

#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "patb/SProjectData.h"
#include "prefs/SSettings.h"
#include "statistics/SBlockStatistics.h"
#include "statistics/SStatisticsJson.h"
#include "statistics/SStatisticsText.h"

#include <QJsonDocument>

#include <cstdio>
#include <optional>

namespace {

// The error that ended a read: 0 and the dialog text, or the exception's code and message.
struct ReadError {
    int code = 0;
    QString message;
};

std::optional<ReadError> readProject(const QString &projectFile, SProjectData &data)
{
    Mu::setSink([](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn || level == Mu::Level::Error)
            std::fprintf(stderr, "varlomin: warning: %s\n", qPrintable(text));
    });
    std::optional<ReadError> error;
    data.setCodesWhileReading(true);
    if (const std::optional<SReportError> read = SProjectOpener::readWithoutDialogs(projectFile, data))
        error = ReadError{read->first, read->second.trimmed()};
    data.initialise();
    Mu::setSink(nullptr);
    return error;
}

} // namespace

int runStatsMode(const SCommandLine &cl)
{
    if (!loadConfiguration(cl.configFile))
        return 1;
    SProjectData data;
    const std::optional<ReadError> error = readProject(cl.projectFile, data);
    SStatisticsOptions options;
    options.standardizedThreshold = SSettings::readStandardizedThreshold();
    options.histograms = cl.json; // the tables leave them out
    const SBlockStatistics stats = computeBlockStatistics(data, options);

    // As with --report: what was read is printed, and an error that ended the read fails the run.
    if (cl.json) {
        QJsonObject doc = statisticsJson(stats);
        doc.insert(QStringLiteral("project_file"), cl.projectFile);
        doc.insert(QStringLiteral("error"), error ? QJsonValue(QJsonObject{{QStringLiteral("code"), error->code},
                                                                           {QStringLiteral("message"), error->message}})
                                                  : QJsonValue());
        std::fputs(QJsonDocument(doc).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        const QByteArray text = "Statistics of " + cl.projectFile.toUtf8() + "\n\n" + statisticsText(stats);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    }
    if (error)
        std::fprintf(stderr, "varlomin: error %d while reading '%s': %s\n", error->code, qPrintable(cl.projectFile),
                     qPrintable(error->message));
    data.close();
    return error ? 1 : 0;
}
