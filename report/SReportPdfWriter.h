// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the report document as an A4 PDF, painted page by page with QPainter: each section
// on a new page, tables that repeat their header on every page they run over, pictures and
// charts as vector drawings, and the project name with the page number in every footer.
#pragma once

#include "report/SReportDocument.h"

class QIODevice;

namespace SReport {

// Returns false when the device cannot take a PDF; *pages gets the number of pages.
bool writePdf(const Document &document, QIODevice &out, int *pages = nullptr);

} // namespace SReport
