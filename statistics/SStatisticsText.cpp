// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SStatisticsText.h"

#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

constexpr int kDecimals = 3;
const QString kIndent = QStringLiteral("  ");
const QString kColumnGap = QStringLiteral("  ");

// Columns aligned to their widest cell: the first column to the left, all others to the right.
// Cells are kept in one list and written straight into the text: the control table of a large
// block has tens of thousands of rows.
class TextTable {
public:
    explicit TextTable(const QStringList &header) { add(header); }
    void add(const QStringList &row) { add(row.begin(), row.end()); }
    void add(std::initializer_list<QString> row) { add(row.begin(), row.end()); }

    QString render() const
    {
        std::vector<qsizetype> widths;
        qsizetype cell = 0;
        for (const qsizetype count : mRowSizes)
            for (qsizetype c = 0; c < count; ++c, ++cell) {
                if (qsizetype(widths.size()) <= c)
                    widths.push_back(0);
                widths[size_t(c)] = std::max(widths[size_t(c)], mCells[cell].size());
            }
        qsizetype lineWidth = kIndent.size() + 1;
        for (const qsizetype width : widths)
            lineWidth += width + kColumnGap.size();
        QString out;
        out.reserve(lineWidth * qsizetype(mRowSizes.size()));
        cell = 0;
        for (const qsizetype count : mRowSizes) {
            const qsizetype lineStart = out.size();
            out += kIndent;
            for (qsizetype c = 0; c < count; ++c, ++cell) {
                const QString &text = mCells[cell];
                const qsizetype padding = widths[size_t(c)] - text.size();
                if (c > 0)
                    out += kColumnGap;
                if (c > 0)
                    appendSpaces(out, padding);
                out += text;
                if (c == 0)
                    appendSpaces(out, padding);
            }
            qsizetype end = out.size();
            while (end > lineStart && out.at(end - 1) == QLatin1Char(' '))
                --end;
            out.truncate(end);
            out += QLatin1Char('\n');
        }
        return out;
    }

private:
    template <typename It> void add(It first, It last)
    {
        mRowSizes.push_back(last - first);
        for (; first != last; ++first)
            mCells.append(*first);
    }
    static void appendSpaces(QString &out, qsizetype count)
    {
        if (count > 0)
            out.resize(out.size() + count, QLatin1Char(' '));
    }

    QList<QString> mCells;
    std::vector<qsizetype> mRowSizes;
};

QString num(qint64 v) { return QString::number(v); }

QString summaryText(const SBlockSummary &s)
{
    TextTable t({QStringLiteral("images"), num(s.images)});
    t.add({QStringLiteral("image observations"), num(s.imageObservations)});
    t.add({QStringLiteral("  active"), num(s.activeObservations)});
    t.add({QStringLiteral("  eliminated"), num(s.eliminatedObservations)});
    t.add({QStringLiteral("  lonely (no object point)"), num(s.lonelyObservations)});
    t.add({QStringLiteral("object points (without projection centres)"), num(s.objectPoints)});
    t.add({QStringLiteral("  new points"), num(s.newPoints)});
    t.add({QStringLiteral("  vertical control 200"), num(s.verticalControl)});
    t.add({QStringLiteral("  horizontal control 300"), num(s.horizontalControl)});
    t.add({QStringLiteral("  full control 500"), num(s.fullControl)});
    t.add({QStringLiteral("projection centres 900"), num(s.projectionCentres)});
    t.add({QStringLiteral("observed projection centres 901"), num(s.observedCentres)});
    t.add({QStringLiteral("blunders (points not active)"), num(s.blunders)});
    t.add({QStringLiteral("object points with fewer than 2 active rays"), num(s.weakPoints)});
    t.add({QStringLiteral("sigma 0"), formatValue(s.sigma0)});
    t.add({QStringLiteral("average redundancy"), formatValue(s.averageRedundancy)});
    t.add({QStringLiteral("inversion"), s.inversion ? QStringLiteral("TRUE") : QStringLiteral("FALSE")});
    return QStringLiteral("Block summary\n") + t.render();
}

void addControlRows(TextTable &t, const std::vector<SControlRow> &rows)
{
    for (const SControlRow &r : rows)
        t.add({num(r.pointId), num(r.code), axisName(r.axis), formatValue(r.observed), formatValue(r.adjusted),
               formatValue(r.residual)});
}

QString controlText(const SControlStatistics &c)
{
    const QStringList header = {QStringLiteral("id"),       QStringLiteral("code"),     QStringLiteral("axis"),
                                QStringLiteral("observed"), QStringLiteral("adjusted"), QStringLiteral("residual")};
    QString out = QStringLiteral("Control observations, accepted (%1)\n%2(%3)\n")
                      .arg(c.accepted.size())
                      .arg(kIndent, c.population);
    TextTable accepted(header);
    addControlRows(accepted, c.accepted);
    out += accepted.render();

    out += QStringLiteral("\nRMS per axis over the accepted observations\n");
    TextTable rms({QString(), QStringLiteral("axis"), QStringLiteral("count"), QStringLiteral("RMS"),
                   QStringLiteral("largest |residual|"), QStringLiteral("id")});
    const std::pair<QString, const std::array<SAxisResiduals, 3> *> groups[] = {
        {QStringLiteral("control points"), &c.pointAxes}, {QStringLiteral("projection centres"), &c.centreAxes}};
    for (const auto &[name, axes] : groups)
        for (int a = 0; a < 3; ++a) {
            const SAxisResiduals &r = (*axes)[size_t(a)];
            rms.add({a == 0 ? name : QString(), axisName(a), num(r.count), formatValue(r.rms), formatValue(r.maxAbs),
                     r.count > 0 ? num(r.maxId) : QStringLiteral("-")});
        }
    out += rms.render();

    out += QStringLiteral("\nControl observations, rejected (%1)\n").arg(c.rejected.size());
    TextTable rejected(header);
    addControlRows(rejected, c.rejected);
    out += rejected.render();
    return out;
}

QString imagesText(const SImageResiduals &res, int imageRows)
{
    const std::vector<SImageResidualRow> sorted = imagesByRms(res);
    const size_t shown = std::min(sorted.size(), size_t(std::max(0, imageRows)));
    QString out = QStringLiteral("Images with the largest RMS |v| (%1 of %2)\n%3(%4)\n")
                      .arg(shown)
                      .arg(sorted.size())
                      .arg(kIndent, res.population);
    TextTable t({QStringLiteral("image"), QStringLiteral("points"), QStringLiteral("eliminated"),
                 QStringLiteral("RMS vx"), QStringLiteral("RMS vy"), QStringLiteral("RMS |v|"),
                 QStringLiteral("largest |v|"), QStringLiteral("point"), QStringLiteral("largest std."),
                 QStringLiteral("> %1").arg(formatValue(res.threshold))});
    auto add = [&t](const QString &name, const SImageResidualRow &r) {
        t.add({name, num(r.points), num(r.eliminated), formatValue(r.rmsVx), formatValue(r.rmsVy), formatValue(r.rmsV),
               formatValue(r.maxV), r.active > 0 ? num(r.maxVPointId) : QStringLiteral("-"),
               formatValue(r.maxStandardized), num(r.aboveThreshold)});
    };
    for (size_t i = 0; i < shown; ++i)
        add(num(sorted[i].imageId), sorted[i]);
    add(QStringLiteral("block"), res.block);
    return out + t.render();
}

} // namespace

QString formatValue(double value) { return QString::number(value, 'f', kDecimals); }

QString axisName(int axis)
{
    static const QString names[] = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    return axis >= 0 && axis < 3 ? names[axis] : QStringLiteral("?");
}

std::vector<SImageResidualRow> imagesByRms(const SImageResiduals &residuals)
{
    std::vector<SImageResidualRow> rows = residuals.images;
    std::stable_sort(rows.begin(), rows.end(), [](const SImageResidualRow &a, const SImageResidualRow &b) {
        return a.rmsV > b.rmsV || (a.rmsV == b.rmsV && a.imageId < b.imageId);
    });
    return rows;
}

QString statisticsText(const SBlockStatistics &stats, int imageRows)
{
    return summaryText(stats.summary) + QLatin1Char('\n') + controlText(stats.control) + QLatin1Char('\n') +
           imagesText(stats.residuals, imageRows);
}
