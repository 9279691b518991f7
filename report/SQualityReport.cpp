// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SQualityReport.h"

#include "prefs/SSettings.h"
#include "report/SReportFile.h"
#include "report/SReportPictures.h"
#include "statistics/SBlockStatistics.h"
#include "statistics/SStatisticsText.h"

namespace {

// The image the report shows: the one with the largest RMS |v| that has active points.
int worstImageId(const SBlockStatistics &stats)
{
    for (const SImageResidualRow &row : imagesByRms(stats.residuals))
        if (row.active > 0)
            return row.imageId;
    return -1;
}

} // namespace

bool writeQualityReport(SProjectData &data, const SQualityReportInput &input, const QString &outFile, QString *error)
{
    if (!SReport::checkOutputFile(outFile, error))
        return false;
    SStatisticsOptions options;
    options.standardizedThreshold = SSettings::readStandardizedThreshold();
    const SBlockStatistics stats = computeBlockStatistics(data, options);
    const SReportPictures pictures(data, worstImageId(stats));
    const SReport::Document document = buildQualityReport(data, stats, input, pictures.pictures());
    return SReport::writeReportFile(document, outFile, error);
}
