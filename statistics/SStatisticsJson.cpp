// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SStatisticsJson.h"

#include <QJsonArray>

#include <cmath>

namespace {

const char *const kAxes[] = {"X", "Y", "Z"};

// JSON has no NaN or infinity; such a value is written as null.
QJsonValue number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(); }
QJsonValue count(qint64 v) { return QJsonValue(v); }

QJsonObject summaryJson(const SBlockSummary &s)
{
    return QJsonObject{
        {"images", s.images},
        {"image_observations", count(s.imageObservations)},
        {"active_observations", count(s.activeObservations)},
        {"eliminated_observations", count(s.eliminatedObservations)},
        {"lonely_observations", count(s.lonelyObservations)},
        {"object_points", s.objectPoints},
        {"new_points", s.newPoints},
        {"vertical_control_200", s.verticalControl},
        {"horizontal_control_300", s.horizontalControl},
        {"full_control_500", s.fullControl},
        {"projection_centres_900", s.projectionCentres},
        {"observed_projection_centres_901", s.observedCentres},
        {"blunders", s.blunders},
        {"points_under_two_active_rays", s.weakPoints},
        {"project_record", s.hasProjectRecord},
        {"sigma0", number(s.sigma0)},
        {"average_redundancy", number(s.averageRedundancy)},
        {"inversion", s.inversion},
    };
}

// The block row names the image of its largest |v|; an image row names its image.
QJsonObject residualRowJson(const SImageResidualRow &r, bool blockRow)
{
    QJsonObject o{
        {"points", count(r.points)},
        {"eliminated", count(r.eliminated)},
        {"active", count(r.active)},
        {"rms_vx", number(r.rmsVx)},
        {"rms_vy", number(r.rmsVy)},
        {"rms_v", number(r.rmsV)},
        {"max_v", number(r.maxV)},
        {"max_v_point", r.maxVPointId},
        {"max_standardized", number(r.maxStandardized)},
        {"max_standardized_point", r.maxStandardizedPointId},
        {"above_threshold", count(r.aboveThreshold)},
    };
    o.insert(blockRow ? QStringLiteral("max_v_image") : QStringLiteral("image"), blockRow ? r.maxVImageId : r.imageId);
    return o;
}

QJsonObject residualsJson(const SImageResiduals &res)
{
    QJsonArray images;
    for (const SImageResidualRow &r : res.images)
        images.append(residualRowJson(r, false));
    return QJsonObject{{"population", res.population},
                       {"threshold", res.threshold},
                       {"block", residualRowJson(res.block, true)},
                       {"images", images}};
}

QJsonArray controlRowsJson(const std::vector<SControlRow> &rows)
{
    QJsonArray out;
    for (const SControlRow &r : rows)
        out.append(QJsonObject{{"id", r.pointId},
                               {"code", r.code},
                               {"axis", kAxes[r.axis]},
                               {"observed", number(r.observed)},
                               {"adjusted", number(r.adjusted)},
                               {"residual", number(r.residual)},
                               {"accepted", r.accepted}});
    return out;
}

QJsonObject axesJson(const std::array<SAxisResiduals, 3> &axes)
{
    QJsonObject out;
    for (int a = 0; a < 3; ++a)
        out.insert(kAxes[a], QJsonObject{{"count", count(axes[size_t(a)].count)},
                                         {"rms", number(axes[size_t(a)].rms)},
                                         {"max_abs", number(axes[size_t(a)].maxAbs)},
                                         {"max_id", axes[size_t(a)].maxId}});
    return out;
}

QJsonObject controlJson(const SControlStatistics &c)
{
    return QJsonObject{{"population", c.population},
                       {"control_points", axesJson(c.pointAxes)},
                       {"projection_centres", axesJson(c.centreAxes)},
                       {"accepted", controlRowsJson(c.accepted)},
                       {"rejected", controlRowsJson(c.rejected)}};
}

QJsonObject precisionJson(const SPrecisionStatistics &p)
{
    QJsonObject groups;
    if (p.available)
        for (const SSigmaGroup &g : p.groups) {
            QJsonObject axes;
            for (int a = 0; a < 3; ++a) {
                const SSigmaAxis &s = g.axes[size_t(a)];
                axes.insert(kAxes[a], QJsonObject{{"count", count(s.count)},
                                                  {"mean", number(s.mean)},
                                                  {"rms", number(s.rms)},
                                                  {"max", number(s.max)},
                                                  {"max_id", s.maxId}});
            }
            groups.insert(g.name, axes);
        }
    return QJsonObject{{"available", p.available}, {"note", p.note}, {"groups", groups}};
}

QJsonObject multiplicityJson(const SMultiplicity &m)
{
    QJsonArray bins;
    for (size_t k = 0; k < m.pointsByRays.size(); ++k)
        bins.append(QJsonObject{{"rays", int(k)}, {"at_least", int(k) == m.cap}, {"points", count(m.pointsByRays[k])}});
    return QJsonObject{{"population", m.population},
                       {"bins", bins},
                       {"mean_rays_per_point", number(m.meanRaysPerPoint)},
                       {"mean_points_per_image", number(m.meanPointsPerImage)}};
}

QJsonObject histogramJson(const SHistogram &h)
{
    QJsonArray edges, counts;
    for (double e : h.edges)
        edges.append(number(e));
    for (qint64 c : h.counts)
        counts.append(count(c));
    return QJsonObject{{"name", h.name},
                       {"population", h.population},
                       {"rule", h.rule},
                       {"edges", edges},
                       {"counts", counts},
                       {"total", count(h.total)},
                       {"skipped", count(h.skipped)},
                       {"overflow", count(h.overflow)}};
}

} // namespace

QJsonObject statisticsJson(const SBlockStatistics &stats)
{
    QJsonArray histograms;
    for (const SHistogram &h : stats.histograms)
        histograms.append(histogramJson(h));
    return QJsonObject{{"summary", summaryJson(stats.summary)},
                       {"image_residuals", residualsJson(stats.residuals)},
                       {"control", controlJson(stats.control)},
                       {"precision", precisionJson(stats.precision)},
                       {"multiplicity", multiplicityJson(stats.multiplicity)},
                       {"histograms", histograms}};
}
