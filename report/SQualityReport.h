// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the adjustment report of an open project: statistics, pictures, document and file,
// shared by the Project menu and the command line.
#pragma once

#include "report/SReportBuilder.h"

class SProjectData;

// Writes outFile (.html or .pdf, from the extension). The project's selection is the same
// afterwards. On failure returns false and sets *error to a sentence naming the problem;
// no file is left behind then.
bool writeQualityReport(SProjectData &data, const SQualityReportInput &input, const QString &outFile, QString *error);
