// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportHtmlWriter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace SReport {

namespace {

const char *const kStyle = R"(
:root { color-scheme: light; }
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; font-size: 14px; color: #1d1d1d;
       background: #fff; margin: 0 auto; max-width: 1040px; padding: 16px 24px; }
h1 { font-size: 24px; margin: 8px 0 12px; }
h2 { font-size: 19px; border-bottom: 2px solid #3b6ea5; padding-bottom: 3px; margin: 36px 0 12px; }
p.caption { font-weight: bold; margin: 18px 0 4px; }
table { border-collapse: collapse; margin: 4px 0 16px; font-size: 13px; }
th, td { padding: 3px 9px; border-bottom: 1px solid #ddd; text-align: left; vertical-align: top; }
thead th { position: sticky; top: 0; background: #e6edf5; border-bottom: 2px solid #9fb3c8; z-index: 1; }
th.n, td.n { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
table.kv th { font-weight: normal; color: #555; padding-right: 24px; }
tr.marked td { color: #b00020; background: #fdf0f0; }
.alert { border: 2px solid #b00020; background: #fdecea; color: #6b0010; padding: 8px 12px;
         margin: 12px 0; font-weight: bold; white-space: pre-wrap; }
ul.findings { list-style: none; padding-left: 0; }
ul.findings li { margin: 5px 0; padding-left: 8px; border-left: 4px solid #3a8d4a; }
ul.findings li.attention { border-left-color: #b00020; }
ul.findings .verdict { font-weight: bold; }
ul.findings li.attention .verdict { color: #b00020; }
ul.findings .rule { color: #555; font-size: 12px; }
figure { margin: 12px 0 20px; break-inside: avoid; }
figcaption { font-size: 12px; color: #444; margin-top: 4px; }
figure svg, figure img { max-width: 100%; height: auto; display: block; border: 1px solid #ccc; }
@page { size: A4; margin: 14mm 12mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 11px; }
  section { break-before: page; }
  section.first { break-before: auto; }
  h2 { margin-top: 0; }
  table { font-size: 9.5px; }
  thead { display: table-header-group; }
  thead th { position: static; }
  tr { break-inside: avoid; }
}
)";

QByteArray esc(const QString &text) { return text.toHtmlEscaped().toUtf8(); }

void writeTable(QIODevice &out, const Table &t)
{
    if (!t.caption.isEmpty())
        out.write("<p class=\"caption\">" + esc(t.caption) + "</p>\n");
    out.write("<table");
    if (!t.id.isEmpty())
        out.write(" id=\"" + esc(t.id) + "\"");
    out.write(t.keyValue ? " class=\"kv\">\n" : ">\n");
    if (!t.header.isEmpty() && !t.keyValue) {
        out.write("<thead><tr>");
        for (int c = 0; c < t.header.size(); ++c)
            out.write((t.isNumeric(c) ? "<th class=\"n\">" : "<th>") + esc(t.header[c]) + "</th>");
        out.write("</tr></thead>\n");
    }
    out.write("<tbody>\n");
    for (int r = 0; r < t.rows.size(); ++r) {
        const QStringList &row = t.rows[r];
        out.write(r < t.marked.size() && t.marked[r] ? "<tr class=\"marked\">" : "<tr>");
        for (int c = 0; c < row.size(); ++c) {
            if (t.keyValue && c == 0)
                out.write("<th scope=\"row\">" + esc(row[c]) + "</th>");
            else
                out.write((t.isNumeric(c) ? "<td class=\"n\">" : "<td>") + esc(row[c]) + "</td>");
        }
        out.write("</tr>\n");
    }
    out.write("</tbody></table>\n");
}

void writeFindings(QIODevice &out, const Findings &f)
{
    if (!f.caption.isEmpty())
        out.write("<p class=\"caption\">" + esc(f.caption) + "</p>\n");
    out.write("<ul class=\"findings\">\n");
    for (const Finding &item : f.items) {
        out.write(item.attention ? "<li class=\"attention\">" : "<li>");
        out.write("<span class=\"verdict\">" + QByteArray(item.attention ? "Attention: " : "OK: ") + "</span>");
        out.write(esc(item.text));
        if (!item.rule.isEmpty())
            out.write("<br/><span class=\"rule\">" + esc(item.rule) + "</span>");
        out.write("</li>\n");
    }
    out.write("</ul>\n");
}

void writeFigure(QIODevice &out, const QByteArray &content, const QString &caption)
{
    out.write("<figure>\n");
    out.write(content);
    if (!caption.isEmpty())
        out.write("\n<figcaption>" + esc(caption) + "</figcaption>");
    out.write("\n</figure>\n");
}

void writePicture(QIODevice &out, const Picture &picture)
{
    if (picture.size.isEmpty() || !picture.paint) {
        out.write("<div class=\"alert\">" + esc(picture.caption + QStringLiteral(": nothing to draw.")) + "</div>\n");
        return;
    }
    QByteArray content;
    if (picture.itemCount > kMaxVectorItems) {
        content = "<img src=\"" + pngDataUri(picture.size, picture.paint) + "\" width=\"" +
                  QByteArray::number(picture.size.width()) + "\" height=\"" +
                  QByteArray::number(picture.size.height()) + "\" alt=\"" + esc(picture.caption) + "\"/>";
    } else {
        content = inlineSvg(picture.size, picture.caption, picture.paint);
    }
    writeFigure(out, content, picture.caption);
}

void writeChart(QIODevice &out, const Chart &chart)
{
    const QSize size = chart.size;
    const QByteArray svg = inlineSvg(
        size, chart.title, [&chart, size](QPainter &p) { paintChart(chart, p, QRectF(QPointF(0, 0), QSizeF(size))); });
    writeFigure(out, svg, chart.note);
}

void writeBlock(QIODevice &out, const Block &block)
{
    if (const auto *p = std::get_if<Paragraph>(&block))
        out.write("<p>" + esc(p->text) + "</p>\n");
    else if (const auto *a = std::get_if<Alert>(&block))
        out.write("<div class=\"alert\">" + esc(a->text) + "</div>\n");
    else if (const auto *t = std::get_if<Table>(&block))
        writeTable(out, *t);
    else if (const auto *f = std::get_if<Findings>(&block))
        writeFindings(out, *f);
    else if (const auto *c = std::get_if<Chart>(&block))
        writeChart(out, *c);
    else if (const auto *pic = std::get_if<Picture>(&block))
        writePicture(out, *pic);
}

} // namespace

QByteArray inlineSvg(const QSize &size, const QString &title, const std::function<void(QPainter &)> &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(title);
        generator.setDescription(title);
        QPainter painter(&generator);
        paint(painter);
    }
    QByteArray svg = buffer.data();
    // Inside HTML the element stands alone: no XML prolog, and a size in pixels that CSS may
    // shrink to the page instead of the generator's millimetres.
    const qsizetype start = svg.indexOf("<svg");
    if (start > 0)
        svg.remove(0, start);
    const qsizetype tagEnd = svg.indexOf('>');
    QString tag = QString::fromUtf8(svg.left(tagEnd));
    static const QRegularExpression sizeAttributes(QStringLiteral("\\s(width|height|version|baseProfile)=\"[^\"]*\""));
    tag.remove(sizeAttributes);
    tag += QStringLiteral(" width=\"%1\" height=\"%2\" role=\"img\"").arg(size.width()).arg(size.height());
    svg.replace(0, tagEnd, tag.toUtf8());
    return svg.trimmed();
}

QByteArray pngDataUri(const QSize &size, const std::function<void(QPainter &)> &paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + buffer.data().toBase64();
}

void writeHtml(const Document &document, QIODevice &out)
{
    out.write("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n");
    out.write("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n");
    out.write("<title>" + esc(document.title) + "</title>\n<style>");
    out.write(kStyle);
    out.write("</style>\n</head>\n<body>\n");
    for (int s = 0; s < document.sections.size(); ++s) {
        const Section &section = document.sections[s];
        out.write("<section id=\"" + esc(section.id) + "\"" + (s == 0 ? " class=\"first\"" : "") + ">\n");
        if (s == 0) {
            out.write("<h1>" + esc(document.title) + "</h1>\n");
            if (!document.error.isEmpty())
                out.write("<div class=\"alert\" role=\"alert\">" + esc(document.error) + "</div>\n");
        }
        if (!section.title.isEmpty())
            out.write("<h2>" + esc(section.title) + "</h2>\n");
        for (const Block &block : section.blocks)
            writeBlock(out, block);
        out.write("</section>\n");
    }
    out.write("</body>\n</html>\n");
}

QByteArray htmlReport(const Document &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeHtml(document, buffer);
    return buffer.data();
}

} // namespace SReport
