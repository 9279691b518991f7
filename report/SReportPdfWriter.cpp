// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportPdfWriter.h"

#include "report/SReportHtmlWriter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace SReport {

namespace {

// Page geometry in points (1/72 inch): the writer's resolution is set to 72 dpi.
constexpr double kMargin = 40;
constexpr double kFooterHeight = 24;
constexpr double kBodyPoints = 9;
constexpr double kTablePoints = 8;
constexpr double kSmallestTablePoints = 5;
constexpr double kCellPadding = 4;
const QColor kAccent(0x3b, 0x6e, 0xa5);
const QColor kMarked(0xb0, 0x00, 0x20);
const QColor kHeaderFill(0xe6, 0xed, 0xf5);

QFont font(double points, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

class PdfLayout {
public:
    PdfLayout(QPdfWriter &writer, const Document &document) : mWriter(writer), mDocument(document) {}

    bool begin()
    {
        if (!mPainter.begin(&mWriter))
            return false;
        const QRectF page(QPointF(0, 0), mWriter.pageLayout().fullRectPoints().size());
        mBody = page.adjusted(kMargin, kMargin, -kMargin, -kMargin - kFooterHeight);
        mY = mBody.top();
        return true;
    }
    int end()
    {
        paintFooter();
        mPainter.end();
        return mPage;
    }

    void section(const Section &s, bool first)
    {
        if (!first)
            newPage();
        if (first) {
            text(mDocument.title, font(18, true), Qt::black);
            if (!mDocument.error.isEmpty())
                alert(mDocument.error);
        }
        if (!s.title.isEmpty()) {
            ensure(60);
            mY += 6;
            text(s.title, font(13, true), Qt::black);
            mPainter.setPen(QPen(kAccent, 1.5));
            mPainter.drawLine(QPointF(mBody.left(), mY), QPointF(mBody.right(), mY));
            mY += 8;
        }
        for (const Block &block : s.blocks)
            this->block(block);
    }

private:
    void block(const Block &b)
    {
        if (const auto *p = std::get_if<Paragraph>(&b))
            text(p->text, font(kBodyPoints), Qt::black);
        else if (const auto *a = std::get_if<Alert>(&b))
            alert(a->text);
        else if (const auto *t = std::get_if<Table>(&b))
            table(*t);
        else if (const auto *f = std::get_if<Findings>(&b))
            findings(*f);
        else if (const auto *c = std::get_if<Chart>(&b))
            chart(*c);
        else if (const auto *pic = std::get_if<Picture>(&b))
            picture(*pic);
    }

    void newPage()
    {
        paintFooter();
        mWriter.newPage();
        ++mPage;
        mY = mBody.top();
    }
    void ensure(double height)
    {
        if (mY + height > mBody.bottom() && mY > mBody.top())
            newPage();
    }
    void paintFooter()
    {
        mPainter.setFont(font(7.5));
        mPainter.setPen(Qt::darkGray);
        const QRectF footer(mBody.left(), mBody.bottom() + kFooterHeight / 2, mBody.width(), kFooterHeight / 2);
        mPainter.drawLine(footer.topLeft(), footer.topRight());
        mPainter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, mDocument.projectName);
        mPainter.drawText(footer, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1").arg(mPage));
    }

    // Wrapped text, kept on one page: the report's paragraphs are a few lines long.
    void text(const QString &t, const QFont &f, const QColor &colour, double indent = 0)
    {
        mPainter.setFont(f);
        const QFontMetricsF fm(f, &mWriter);
        const QRectF box(mBody.left() + indent, 0, mBody.width() - indent, 1e6);
        const QRectF needed = fm.boundingRect(box, Qt::TextWordWrap, t);
        ensure(needed.height());
        mPainter.setPen(colour);
        mPainter.drawText(QRectF(box.left(), mY, box.width(), needed.height() + 2), Qt::TextWordWrap, t);
        mY += needed.height() + f.pointSizeF() * 0.6;
    }

    void alert(const QString &t)
    {
        const QFont f = font(kBodyPoints, true);
        const QFontMetricsF fm(f, &mWriter);
        const QRectF needed = fm.boundingRect(QRectF(0, 0, mBody.width() - 16, 1e6), Qt::TextWordWrap, t);
        ensure(needed.height() + 14);
        const QRectF frame(mBody.left(), mY, mBody.width(), needed.height() + 12);
        mPainter.setPen(QPen(kMarked, 1.5));
        mPainter.setBrush(QColor(0xfd, 0xec, 0xea));
        mPainter.drawRect(frame);
        mPainter.setBrush(Qt::NoBrush);
        mPainter.setFont(f);
        mPainter.drawText(frame.adjusted(8, 6, -8, -6), Qt::TextWordWrap, t);
        mY += frame.height() + 8;
    }

    void findings(const Findings &f)
    {
        if (!f.caption.isEmpty())
            text(f.caption, font(kBodyPoints, true), Qt::black);
        for (const Finding &item : f.items) {
            const QString verdict = item.attention ? QStringLiteral("Attention: ") : QStringLiteral("OK: ");
            const double top = mY;
            text(verdict + item.text, font(kBodyPoints, item.attention), item.attention ? kMarked : Qt::black, 8);
            if (!item.rule.isEmpty())
                text(item.rule, font(kBodyPoints - 1.5), Qt::darkGray, 8);
            mPainter.fillRect(QRectF(mBody.left(), top, 3, mY - top - 3),
                              item.attention ? kMarked : QColor(0x3a, 0x8d, 0x4a));
        }
        mY += 4;
    }

    void table(const Table &t);
    void tableRow(const QStringList &cells, const QList<double> &widths, double height, bool bold, bool marked,
                  const Table &t, bool header);

    void chart(const Chart &c)
    {
        const double scale = std::min(1.0, mBody.width() / c.size.width());
        const QSizeF size = QSizeF(c.size) * scale;
        ensure(size.height() + 20);
        mPainter.save();
        mPainter.translate(mBody.left(), mY);
        mPainter.scale(scale, scale);
        paintChart(c, mPainter, QRectF(QPointF(0, 0), QSizeF(c.size)));
        mPainter.restore();
        mY += size.height() + 4;
        if (!c.note.isEmpty())
            text(c.note, font(kBodyPoints - 1.5), Qt::darkGray);
        mY += 6;
    }

    void picture(const Picture &pic);

    QPdfWriter &mWriter;
    const Document &mDocument;
    QPainter mPainter;
    QRectF mBody;
    double mY = 0;
    int mPage = 1;
};

void PdfLayout::tableRow(const QStringList &cells, const QList<double> &widths, double height, bool bold, bool marked,
                         const Table &t, bool header)
{
    if (header)
        mPainter.fillRect(QRectF(mBody.left(), mY, std::accumulate(widths.begin(), widths.end(), 0.0), height),
                          kHeaderFill);
    else if (marked)
        mPainter.fillRect(QRectF(mBody.left(), mY, std::accumulate(widths.begin(), widths.end(), 0.0), height),
                          QColor(0xfd, 0xf0, 0xf0));
    QFont f = mPainter.font();
    f.setBold(bold);
    mPainter.setFont(f);
    mPainter.setPen(marked ? kMarked : QColor(Qt::black));
    double x = mBody.left();
    for (int c = 0; c < cells.size() && c < widths.size(); ++c) {
        if (t.keyValue && !marked) // names in grey, values in black, as in the HTML
            mPainter.setPen(c == 0 ? QColor(0x55, 0x55, 0x55) : QColor(Qt::black));
        const Qt::Alignment align = (t.isNumeric(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        mPainter.drawText(QRectF(x + kCellPadding, mY, widths[c] - 2 * kCellPadding, height), align, cells[c]);
        x += widths[c];
    }
    mPainter.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), 0.5));
    mPainter.drawLine(QPointF(mBody.left(), mY + height), QPointF(x, mY + height));
    mY += height;
}

void PdfLayout::table(const Table &t)
{
    int columns = int(t.header.size());
    for (const QStringList &row : t.rows)
        columns = std::max(columns, int(row.size()));
    if (columns == 0)
        return;
    // Column widths from the widest text; the font shrinks until the table fits the page.
    double points = kTablePoints;
    QList<double> widths;
    for (;;) {
        const QFontMetricsF fm(font(points), &mWriter);
        const QFontMetricsF bold(font(points, true), &mWriter);
        widths = QList<double>(columns, 0.0);
        for (int c = 0; c < t.header.size() && !t.keyValue; ++c)
            widths[c] = bold.horizontalAdvance(t.header[c]);
        for (const QStringList &row : t.rows)
            for (int c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], fm.horizontalAdvance(row[c]));
        double total = 0;
        for (double &w : widths)
            total += (w += 2 * kCellPadding + 1);
        if (total <= mBody.width() || points <= kSmallestTablePoints)
            break;
        points = std::max(kSmallestTablePoints, points * mBody.width() / total - 0.1);
    }
    mPainter.setFont(font(points));
    const double rowHeight = QFontMetricsF(font(points), &mWriter).height() + 3;
    if (!t.caption.isEmpty()) {
        ensure(3 * rowHeight + 16);
        text(t.caption, font(kBodyPoints, true), Qt::black);
    }
    const bool hasHeader = !t.header.isEmpty() && !t.keyValue;
    auto header = [&] {
        if (hasHeader) {
            mPainter.setFont(font(points));
            tableRow(t.header, widths, rowHeight, true, false, t, true);
        }
    };
    ensure(rowHeight * (hasHeader ? 2 : 1));
    header();
    for (int r = 0; r < t.rows.size(); ++r) {
        if (mY + rowHeight > mBody.bottom()) {
            newPage();
            header();
        }
        mPainter.setFont(font(points));
        tableRow(t.rows[r], widths, rowHeight, false, r < t.marked.size() && t.marked[r], t, false);
    }
    mY += 10;
}

void PdfLayout::picture(const Picture &pic)
{
    if (pic.size.isEmpty() || !pic.paint) {
        alert(pic.caption + QStringLiteral(": nothing to draw."));
        return;
    }
    const double room = mBody.height() - 30;
    const double scale = std::min({1.0, mBody.width() / pic.size.width(), room / pic.size.height()});
    const QSizeF size = QSizeF(pic.size) * scale;
    ensure(size.height() + 24);
    const QRectF target(QPointF(mBody.left(), mY), size);
    if (pic.itemCount > kMaxVectorItems) {
        // Hundreds of thousands of vector symbols make a page that viewers draw for seconds. The
        // image has the canvas's own pixels: the canvases copy their symbols straight into an
        // untransformed raster image, and a scaled one would cost a drawn ellipse per point.
        QImage image(pic.size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            pic.paint(p);
        }
        mPainter.drawImage(target, image);
    } else {
        mPainter.save();
        mPainter.setClipRect(target);
        mPainter.translate(target.topLeft());
        mPainter.scale(scale, scale);
        pic.paint(mPainter);
        mPainter.restore();
    }
    mPainter.setPen(QPen(Qt::lightGray, 0.5));
    mPainter.setBrush(Qt::NoBrush);
    mPainter.drawRect(target);
    mY += size.height() + 4;
    text(pic.caption, font(kBodyPoints - 1.5), Qt::darkGray);
    mY += 6;
}

} // namespace

bool writePdf(const Document &document, QIODevice &out, int *pages)
{
    QPdfWriter writer(&out);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    writer.setTitle(document.title);
    writer.setCreator(QStringLiteral("Varlomin"));
    PdfLayout layout(writer, document);
    if (!layout.begin())
        return false;
    for (int s = 0; s < document.sections.size(); ++s)
        layout.section(document.sections[s], s == 0);
    const int count = layout.end();
    if (pages)
        *pages = count;
    return true;
}

} // namespace SReport
