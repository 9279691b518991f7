// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SStatisticsText.h"

#include "statistics/STextTable.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

constexpr int kDecimals = 3;
constexpr std::string_view kIndent = "  ";

std::string summaryText(const SBlockSummary &s)
{
    STextTable t;
    t.text("images").integer(s.images).endRow();
    const std::pair<const char *, qint64> counts[] = {{"image observations", s.imageObservations},
                                                      {"  active", s.activeObservations},
                                                      {"  eliminated", s.eliminatedObservations},
                                                      {"  lonely (no object point)", s.lonelyObservations},
                                                      {"object points (without projection centres)", s.objectPoints},
                                                      {"  new points", s.newPoints},
                                                      {"  vertical control 200", s.verticalControl},
                                                      {"  horizontal control 300", s.horizontalControl},
                                                      {"  full control 500", s.fullControl},
                                                      {"projection centres 900", s.projectionCentres},
                                                      {"observed projection centres 901", s.observedCentres},
                                                      {"blunders (points not active)", s.blunders},
                                                      {"object points with fewer than 2 active rays", s.weakPoints}};
    for (const auto &[name, count] : counts)
        t.text(name).integer(count).endRow();
    t.text("sigma 0").fixed(s.sigma0).endRow();
    t.text("average redundancy").fixed(s.averageRedundancy).endRow();
    t.text("inversion").text(s.inversion ? "TRUE" : "FALSE").endRow();
    return "Block summary\n" + t.render();
}

std::string_view axisText(int axis)
{
    static constexpr std::string_view names[] = {"X", "Y", "Z"};
    return axis >= 0 && axis < 3 ? names[axis] : "?";
}

std::string controlTable(const std::vector<SControlRow> &rows)
{
    STextTable t({"id", "code", "axis", "observed", "adjusted", "residual"});
    for (const SControlRow &r : rows)
        t.integer(r.pointId)
            .integer(r.code)
            .text(axisText(r.axis))
            .fixed(r.observed)
            .fixed(r.adjusted)
            .fixed(r.residual)
            .endRow();
    return t.render();
}

std::string controlText(const SControlStatistics &c)
{
    std::string out = "Control observations, accepted (" + std::to_string(c.accepted.size()) + ")\n";
    out.append(kIndent).append("(").append(c.population.toStdString()).append(")\n");
    out += controlTable(c.accepted);

    out += "\nRMS per axis over the accepted observations\n";
    STextTable rms({"", "axis", "count", "RMS", "largest |residual|", "id"});
    const std::pair<const char *, const std::array<SAxisResiduals, 3> *> groups[] = {
        {"control points", &c.pointAxes}, {"projection centres", &c.centreAxes}};
    for (const auto &[name, axes] : groups)
        for (int a = 0; a < 3; ++a) {
            const SAxisResiduals &r = (*axes)[size_t(a)];
            rms.text(a == 0 ? name : "").text(axisText(a)).integer(r.count).fixed(r.rms).fixed(r.maxAbs);
            if (r.count > 0)
                rms.integer(r.maxId);
            else
                rms.text("-");
            rms.endRow();
        }
    out += rms.render();

    out += "\nControl observations, rejected (" + std::to_string(c.rejected.size()) + ")\n";
    out += controlTable(c.rejected);
    return out;
}

std::string imagesText(const SImageResiduals &res, int imageRows)
{
    const std::vector<SImageResidualRow> sorted = imagesByRms(res);
    const size_t shown = std::min(sorted.size(), size_t(std::max(0, imageRows)));
    std::string out =
        "Images with the largest RMS |v| (" + std::to_string(shown) + " of " + std::to_string(sorted.size()) + ")\n";
    out.append(kIndent).append("(").append(res.population.toStdString()).append(")\n");
    const std::string above = "> " + formatValue(res.threshold).toStdString();
    STextTable t({"image", "points", "eliminated", "RMS vx", "RMS vy", "RMS |v|", "largest |v|", "point",
                  "largest std.", above});
    auto add = [&t](const SImageResidualRow &r) {
        t.integer(r.points).integer(r.eliminated).fixed(r.rmsVx).fixed(r.rmsVy).fixed(r.rmsV).fixed(r.maxV);
        if (r.active > 0)
            t.integer(r.maxVPointId);
        else
            t.text("-");
        t.fixed(r.maxStandardized).integer(r.aboveThreshold).endRow();
    };
    for (size_t i = 0; i < shown; ++i) {
        t.integer(sorted[i].imageId);
        add(sorted[i]);
    }
    t.text("block");
    add(res.block);
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

QByteArray statisticsText(const SBlockStatistics &stats, int imageRows)
{
    const std::string text =
        summaryText(stats.summary) + '\n' + controlText(stats.control) + '\n' + imagesText(stats.residuals, imageRows);
    return QByteArray(text.data(), qsizetype(text.size()));
}
