// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the adjustment report of a block from its statistics: the project and its files, the
// summary with the findings, the control table, the image residuals, precision and charts,
// the pictures and the appendix of all images, in this order. Every number comes from the
// statistics core, so the report shows what the statistics window and --stats show.
#pragma once

#include "report/SReportDocument.h"
#include "report/SReportSettings.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class SProjectData;
struct SBlockStatistics;

struct SQualityReportInput {
    QString projectFile;      // as the user named it
    QString title;            // empty: "Adjustment report" with the project's name
    QString version;          // of the program that writes the report
    QDateTime createdAt;      // the date of the report
    QString readError;        // the error that ended the read; empty when there was none
    QStringList readWarnings; // what the readers warned about
    SReportSettings::Thresholds thresholds;
};

SReport::Document buildQualityReport(const SProjectData &data, const SBlockStatistics &stats,
                                     const SQualityReportInput &input, const QList<SReport::Picture> &pictures);
