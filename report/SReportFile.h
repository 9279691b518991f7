// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the report document to a file whose format follows the extension (.html, .htm,
// .pdf). The file appears only complete: the document goes to a temporary file beside it,
// which is renamed at the end, so a failure leaves nothing behind.
#pragma once

#include "report/SReportDocument.h"

#include <QString>

namespace SReport {

enum class FileFormatE { FF_Html, FF_Pdf, FF_Unknown };

FileFormatE fileFormat(const QString &file);

// Checks what can be checked before any work: the format and a writable place. On failure
// returns false and sets *error to a sentence naming the file and the problem.
bool checkOutputFile(const QString &file, QString *error);

bool writeReportFile(const Document &document, const QString &file, QString *error);

} // namespace SReport
