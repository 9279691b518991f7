// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment report as a document: sections of paragraphs, tables, charts and pictures,
// written by the HTML and the PDF writer alike, so that both show the same content in the
// same order.
#pragma once

#include "report/SReportChart.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <variant>

class QPainter;

namespace SReport {

struct Paragraph {
    QString text;
};

// A box that stands out: the read error at the top, or a note that a table is empty.
struct Alert {
    QString text;
};

struct Table {
    QString id; // anchor in HTML; empty for none
    QStringList header;
    QList<QStringList> rows;
    QList<bool> marked;    // per row; marked rows are drawn as rejected
    QList<bool> numeric;   // per column; numbers are right-aligned
    QString caption;       // above the table
    bool keyValue = false; // a two-column list of names and values, without header
    void addRow(const QStringList &cells, bool isMarked = false)
    {
        rows.append(cells);
        marked.append(isMarked);
    }
    bool isNumeric(int column) const { return column < numeric.size() && numeric[column]; }
};

// One finding: what was judged, by which threshold, and whether it needs attention.
struct Finding {
    bool attention = false;
    QString text;
    QString rule;
};

struct Findings {
    QString caption;
    QList<Finding> items;
};

// A picture painted by the views' own painting code into any paint device.
struct Picture {
    QString caption;
    QSize size;           // canvas pixels
    qint64 itemCount = 0; // drawn points; decides between vector and raster in HTML
    std::function<void(QPainter &painter)> paint;
};

using Block = std::variant<Paragraph, Alert, Table, Findings, Chart, Picture>;

struct Section {
    QString id; // anchor in HTML, unique
    QString title;
    QList<Block> blocks;
};

struct Document {
    QString title;
    QString projectName; // for the PDF footer
    QString error;       // a read error; shown above everything else
    QList<Section> sections;
};

} // namespace SReport
