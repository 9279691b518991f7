// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportFindings.h"

#include "statistics/SBlockStatistics.h"
#include "statistics/SStatisticsText.h"

namespace SReport {

namespace {

constexpr int kListedIds = 10; // ids named in a finding; the rest are counted

QString idList(const QList<int> &ids)
{
    QStringList texts;
    for (int i = 0; i < ids.size() && i < kListedIds; ++i)
        texts << QString::number(ids[i]);
    if (ids.size() > kListedIds)
        texts << QStringLiteral("and %1 more").arg(ids.size() - kListedIds);
    return texts.join(QStringLiteral(", "));
}

QString setting(const QString &key) { return SReportSettings::kGroupReport + QLatin1Char('/') + key; }

Finding sigma0Finding(const SBlockSummary &s, const SReportSettings::Thresholds &t)
{
    Finding f;
    f.rule = QStringLiteral("Judged by: at most %1 (setting %2).")
                 .arg(formatValue(t.sigma0Max), setting(SReportSettings::kSigma0Max));
    if (!(s.sigma0 > 0)) {
        f.attention = true;
        f.text = QStringLiteral("Sigma 0 is %1: the adjustment reported no accuracy.").arg(formatValue(s.sigma0));
    } else {
        f.attention = s.sigma0 > t.sigma0Max;
        f.text = QStringLiteral("Sigma 0 is %1.").arg(formatValue(s.sigma0));
    }
    return f;
}

Finding controlFinding(const QString &what, const std::array<SAxisResiduals, 3> &axes, double tolerance)
{
    Finding f;
    f.rule = QStringLiteral("Judged by: RMS of the accepted residuals of each axis at most %1 (setting %2).")
                 .arg(formatValue(tolerance), setting(SReportSettings::kControlRmsTolerance));
    QStringList parts, above;
    for (int a = 0; a < 3; ++a) {
        const SAxisResiduals &axis = axes[size_t(a)];
        if (axis.count == 0)
            continue;
        parts << QStringLiteral("%1 %2 (%3 obs.)").arg(axisName(a), formatValue(axis.rms)).arg(axis.count);
        if (axis.rms > tolerance)
            above << axisName(a);
    }
    if (parts.isEmpty()) {
        f.attention = true;
        f.text = QStringLiteral("No accepted observation of %1.").arg(what);
        return f;
    }
    f.attention = !above.isEmpty();
    f.text = QStringLiteral("RMS of %1: %2.").arg(what, parts.join(QStringLiteral(", ")));
    if (f.attention)
        f.text += QStringLiteral(" Above the tolerance: %1.").arg(above.join(QStringLiteral(", ")));
    return f;
}

Finding imagesFinding(const SImageResiduals &r, double factor)
{
    const double limit = factor * r.block.rmsV;
    QList<int> ids;
    for (const SImageResidualRow &row : imagesByRms(r))
        if (row.active > 0 && row.rmsV > limit)
            ids << row.imageId;
    Finding f;
    f.attention = !ids.isEmpty();
    f.rule = QStringLiteral("Judged by: RMS |v| of an image above %1 x the block's RMS |v| %2, i.e. above %3 "
                            "(setting %4).")
                 .arg(formatValue(factor), formatValue(r.block.rmsV), formatValue(limit),
                      setting(SReportSettings::kImageRmsFactor));
    f.text = ids.isEmpty()
                 ? QStringLiteral("No image stands out by its RMS |v|.")
                 : QStringLiteral("%1 image(s) stand out by their RMS |v|: %2.").arg(ids.size()).arg(idList(ids));
    return f;
}

Finding rejectedFinding(const SControlStatistics &c)
{
    QList<int> ids;
    for (const SControlRow &row : c.rejected)
        ids << row.pointId;
    Finding f;
    f.attention = !ids.isEmpty();
    f.rule = QStringLiteral("Judged by: any rejected observation is named.");
    f.text = ids.isEmpty()
                 ? QStringLiteral("No control observation was rejected.")
                 : QStringLiteral("%1 control observation(s) rejected, at points %2.").arg(ids.size()).arg(idList(ids));
    return f;
}

Finding weakPointsFinding(const SBlockSummary &s)
{
    Finding f;
    f.attention = s.weakPoints > 0;
    f.rule = QStringLiteral("Judged by: a point needs at least two active rays to be determined.");
    f.text = QStringLiteral("%1 object point(s) with fewer than two active rays.").arg(s.weakPoints);
    return f;
}

Finding eliminatedFinding(const SBlockSummary &s, double percentMax)
{
    const double percent =
        s.imageObservations > 0 ? 100.0 * double(s.eliminatedObservations) / double(s.imageObservations) : 0.0;
    Finding f;
    f.attention = percent > percentMax;
    f.rule = QStringLiteral("Judged by: at most %1 % of the image points eliminated (setting %2).")
                 .arg(formatValue(percentMax), setting(SReportSettings::kEliminatedPercentMax));
    f.text = QStringLiteral("%1 of %2 image points eliminated (%3 %).")
                 .arg(s.eliminatedObservations)
                 .arg(s.imageObservations)
                 .arg(formatValue(percent));
    return f;
}

} // namespace

Findings judgeBlock(const SBlockStatistics &stats, const SReportSettings::Thresholds &t)
{
    Findings findings;
    findings.items << sigma0Finding(stats.summary, t);
    findings.items << controlFinding(QStringLiteral("the control points"), stats.control.pointAxes,
                                     t.controlRmsTolerance);
    if (stats.summary.observedCentres > 0)
        findings.items << controlFinding(QStringLiteral("the observed projection centres"), stats.control.centreAxes,
                                         t.controlRmsTolerance);
    findings.items << imagesFinding(stats.residuals, t.imageRmsFactor);
    findings.items << weakPointsFinding(stats.summary);
    findings.items << rejectedFinding(stats.control);
    findings.items << eliminatedFinding(stats.summary, t.eliminatedPercentMax);
    return findings;
}

} // namespace SReport
