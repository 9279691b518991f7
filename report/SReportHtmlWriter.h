// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the report document as one self-contained HTML5 file: inline CSS, pictures and
// charts as inline SVG (or PNG data URIs for pictures of very many points), no script and
// nothing fetched from a network. It prints on A4 with each section on a new page.
#pragma once

#include "report/SReportDocument.h"

#include <QByteArray>

class QIODevice;

namespace SReport {

// Above this many drawn points a picture goes into the HTML file as PNG: its SVG would
// take megabytes and slow every browser down.
inline constexpr qint64 kMaxVectorItems = 50'000;

void writeHtml(const Document &document, QIODevice &out);
QByteArray htmlReport(const Document &document);

// The picture as an <svg> element that can stand inside HTML (no XML prolog, pixel size).
QByteArray inlineSvg(const QSize &size, const QString &title, const std::function<void(QPainter &)> &paint);
// The picture as a PNG data URI.
QByteArray pngDataUri(const QSize &size, const std::function<void(QPainter &)> &paint);

} // namespace SReport
