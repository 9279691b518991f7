// SPDX-License-Identifier: GPL-3.0-or-later
#include "statisticsviewer/SStatisticsRows.h"

#include "statistics/SStatisticsText.h"

#include <QCoreApplication>

namespace SStatisticsRows {

namespace {

using Model = SStatisticsTableModel;

QString tr(const char *text) { return QCoreApplication::translate("SStatisticsWindow", text); }

// A maximum's id, or an empty cell when there is none.
QVariant idOrNone(qint64 count, int id) { return count > 0 ? QVariant(id) : QVariant(QString()); }

} // namespace

Columns summaryColumns() { return {{tr("Quantity"), Model::CK_Text}, {tr("Value"), Model::CK_Value}}; }

Rows summaryRows(const SBlockStatistics &stats)
{
    const SBlockSummary &s = stats.summary;
    const SMultiplicity &m = stats.multiplicity;
    auto count = [](qint64 v) { return QVariant(v); };
    return {
        {tr("Images"), count(s.images)},
        {tr("Image observations"), count(s.imageObservations)},
        {tr("  active"), count(s.activeObservations)},
        {tr("  eliminated"), count(s.eliminatedObservations)},
        {tr("  lonely (no object point)"), count(s.lonelyObservations)},
        {tr("Object points (without projection centres)"), count(s.objectPoints)},
        {tr("  new points"), count(s.newPoints)},
        {tr("  vertical control 200"), count(s.verticalControl)},
        {tr("  horizontal control 300"), count(s.horizontalControl)},
        {tr("  full control 500"), count(s.fullControl)},
        {tr("Projection centres 900"), count(s.projectionCentres)},
        {tr("Observed projection centres 901"), count(s.observedCentres)},
        {tr("Blunders (points not active)"), count(s.blunders)},
        {tr("Object points with fewer than 2 active rays"), count(s.weakPoints)},
        {tr("Mean active rays per object point"), m.meanRaysPerPoint},
        {tr("Mean active image points per image"), m.meanPointsPerImage},
        {tr("Sigma 0"), s.sigma0},
        {tr("Average redundancy"), s.averageRedundancy},
        {tr("Inversion"), s.inversion ? QStringLiteral("TRUE") : QStringLiteral("FALSE")},
    };
}

Columns imageColumns(double threshold)
{
    return {{tr("Image"), Model::CK_Count},        {tr("Points"), Model::CK_Count},
            {tr("Eliminated"), Model::CK_Count},   {tr("RMS vx"), Model::CK_Value},
            {tr("RMS vy"), Model::CK_Value},       {tr("RMS |v|"), Model::CK_Value},
            {tr("Largest |v|"), Model::CK_Value},  {tr("Point"), Model::CK_Count},
            {tr("Largest std."), Model::CK_Value}, {tr("> %1").arg(formatValue(threshold)), Model::CK_Count}};
}

Rows imageRows(const SImageResiduals &residuals)
{
    Rows rows;
    rows.reserve(residuals.images.size());
    for (const SImageResidualRow &r : residuals.images)
        rows.push_back({r.imageId, r.points, r.eliminated, r.rmsVx, r.rmsVy, r.rmsV, r.maxV,
                        idOrNone(r.active, r.maxVPointId), r.maxStandardized, r.aboveThreshold});
    return rows;
}

QString blockLine(const SImageResiduals &res)
{
    const SImageResidualRow &b = res.block;
    return tr("Block: %1 image points, %2 eliminated; RMS vx %3, vy %4, |v| %5; largest |v| %6 (point %7, "
              "image %8); %9 above %10. Over %11.")
        .arg(b.points)
        .arg(b.eliminated)
        .arg(formatValue(b.rmsVx), formatValue(b.rmsVy), formatValue(b.rmsV), formatValue(b.maxV))
        .arg(b.maxVPointId)
        .arg(b.maxVImageId)
        .arg(b.aboveThreshold)
        .arg(formatValue(res.threshold), res.population);
}

Columns axisColumns()
{
    return {{tr("Points"), Model::CK_Text},
            {tr("Axis"), Model::CK_Text},
            {tr("Count"), Model::CK_Count},
            {tr("RMS"), Model::CK_Value},
            {tr("Largest |residual|"), Model::CK_Value},
            {tr("Id"), Model::CK_Count}};
}

Rows axisRows(const SControlStatistics &control)
{
    Rows rows;
    const std::pair<QString, const std::array<SAxisResiduals, 3> *> groups[] = {
        {tr("control points"), &control.pointAxes}, {tr("projection centres"), &control.centreAxes}};
    for (const auto &[name, axes] : groups)
        for (int a = 0; a < 3; ++a) {
            const SAxisResiduals &r = (*axes)[size_t(a)];
            rows.push_back({name, axisName(a), r.count, r.rms, r.maxAbs, idOrNone(r.count, r.maxId)});
        }
    return rows;
}

Columns controlColumns()
{
    return {{tr("Id"), Model::CK_Count},       {tr("Code"), Model::CK_Count},     {tr("Axis"), Model::CK_Text},
            {tr("Observed"), Model::CK_Value}, {tr("Adjusted"), Model::CK_Value}, {tr("Residual"), Model::CK_Value}};
}

Rows controlRows(const std::vector<SControlRow> &rows)
{
    Rows out;
    out.reserve(rows.size());
    for (const SControlRow &r : rows)
        out.push_back({r.pointId, r.code, axisName(r.axis), r.observed, r.adjusted, r.residual});
    return out;
}

Columns precisionColumns()
{
    return {{tr("Points"), Model::CK_Text}, {tr("Axis"), Model::CK_Text}, {tr("Count"), Model::CK_Count},
            {tr("Mean"), Model::CK_Value},  {tr("RMS"), Model::CK_Value}, {tr("Largest"), Model::CK_Value},
            {tr("Id"), Model::CK_Count}};
}

Rows precisionRows(const SPrecisionStatistics &precision)
{
    Rows rows;
    if (!precision.available)
        return rows;
    for (const SSigmaGroup &g : precision.groups)
        for (int a = 0; a < 3; ++a) {
            const SSigmaAxis &s = g.axes[size_t(a)];
            rows.push_back({g.name, QStringLiteral("sigma %1").arg(axisName(a)), s.count, s.mean, s.rms, s.max,
                            idOrNone(s.count, s.maxId)});
        }
    return rows;
}

} // namespace SStatisticsRows
