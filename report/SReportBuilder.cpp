// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportBuilder.h"

#include "patb/SProjectData.h"
#include "report/SReportFindings.h"
#include "statistics/SBlockStatistics.h"
#include "statistics/SStatisticsText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace SReport;

namespace {

constexpr int kListedWarnings = 20;

QString count(qint64 n) { return QString::number(n); }
QString yesNo(bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); }
QString idText(int id) { return id < 0 ? QStringLiteral("-") : QString::number(id); }

QStringList fileRow(const QString &what, const QString &path)
{
    const QFileInfo fi(path);
    if (path.isEmpty())
        return {what, QStringLiteral("(not named)"), QString(), QString()};
    if (!fi.isFile())
        return {what, QDir::toNativeSeparators(path), QStringLiteral("missing"), QString()};
    return {what, QDir::toNativeSeparators(fi.absoluteFilePath()), count(fi.size()),
            fi.lastModified().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))};
}

Section projectSection(const SProjectData &data, const SQualityReportInput &in)
{
    Section s{QStringLiteral("project"), QString(), {}};
    Table about;
    about.id = QStringLiteral("about");
    about.keyValue = true;
    about.addRow(
        {QStringLiteral("Project file"), QDir::toNativeSeparators(QFileInfo(in.projectFile).absoluteFilePath())});
    about.addRow(
        {QStringLiteral("Report date"), in.createdAt.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))});
    about.addRow({QStringLiteral("Written by"), QStringLiteral("Varlomin %1").arg(in.version)});
    s.blocks.append(about);

    Table files;
    files.id = QStringLiteral("files");
    files.caption = QStringLiteral("Result files");
    files.header = {QStringLiteral("File"), QStringLiteral("Path"), QStringLiteral("Size (bytes)"),
                    QStringLiteral("Modified")};
    files.numeric = {false, false, true, false};
    const ProjectFiles *r = data.projectFiles.get();
    files.addRow(fileRow(QStringLiteral("Images (i)"), r ? r->imageFile : QString()));
    files.addRow(fileRow(QStringLiteral("Orientations (e)"), r ? r->orientationFile : QString()));
    files.addRow(fileRow(QStringLiteral("Object points (o)"), r ? r->objectFile : QString()));
    files.addRow(fileRow(QStringLiteral("Observations (c)"), r ? r->observationFile : QString()));
    files.addRow(fileRow(QStringLiteral("Camera"), r ? r->cameraFile : QString()));
    s.blocks.append(files);

    if (!in.readWarnings.isEmpty()) {
        Table warnings;
        warnings.caption = QStringLiteral("Warnings while reading (%1)").arg(in.readWarnings.size());
        warnings.header = {QStringLiteral("Warning")};
        for (int i = 0; i < in.readWarnings.size() && i < kListedWarnings; ++i)
            warnings.addRow({in.readWarnings[i]});
        if (in.readWarnings.size() > kListedWarnings)
            warnings.addRow({QStringLiteral("... and %1 more").arg(in.readWarnings.size() - kListedWarnings)});
        s.blocks.append(warnings);
    }
    return s;
}

Section summarySection(const SBlockStatistics &stats, const SQualityReportInput &in)
{
    const SBlockSummary &m = stats.summary;
    const SImageResidualRow &b = stats.residuals.block;
    Section s{QStringLiteral("summary"), QStringLiteral("Summary"), {}};
    Table t;
    t.id = QStringLiteral("summary-table");
    t.keyValue = true;
    t.numeric = {false, true};
    t.addRow({QStringLiteral("Images"), count(m.images)});
    t.addRow({QStringLiteral("Image observations"), count(m.imageObservations)});
    t.addRow({QStringLiteral("Active image observations"), count(m.activeObservations)});
    t.addRow({QStringLiteral("Eliminated image observations"), count(m.eliminatedObservations)});
    t.addRow({QStringLiteral("Image points without object point"), count(m.lonelyObservations)});
    t.addRow({QStringLiteral("Object points"), count(m.objectPoints)});
    t.addRow({QStringLiteral("New (tie) points"), count(m.newPoints)});
    t.addRow({QStringLiteral("Vertical control points (200)"), count(m.verticalControl)});
    t.addRow({QStringLiteral("Horizontal control points (300)"), count(m.horizontalControl)});
    t.addRow({QStringLiteral("Full control points (500)"), count(m.fullControl)});
    t.addRow({QStringLiteral("Projection centres (900)"), count(m.projectionCentres)});
    t.addRow({QStringLiteral("Observed projection centres (901)"), count(m.observedCentres)});
    t.addRow({QStringLiteral("Blunders"), count(m.blunders)});
    t.addRow({QStringLiteral("Points with fewer than two active rays"), count(m.weakPoints)});
    t.addRow({QStringLiteral("Sigma 0"), formatValue(m.sigma0)});
    t.addRow({QStringLiteral("Average redundancy"), formatValue(m.averageRedundancy)});
    t.addRow({QStringLiteral("Inverse computed (sigmas)"), yesNo(m.inversion)});
    t.addRow({QStringLiteral("RMS vx of the block"), formatValue(b.rmsVx)});
    t.addRow({QStringLiteral("RMS vy of the block"), formatValue(b.rmsVy)});
    t.addRow({QStringLiteral("RMS |v| of the block"), formatValue(b.rmsV)});
    t.addRow({QStringLiteral("Largest |v| (image, point)"),
              QStringLiteral("%1 (%2, %3)").arg(formatValue(b.maxV), idText(b.maxVImageId), idText(b.maxVPointId))});
    t.addRow({QStringLiteral("Mean active rays per point"), formatValue(stats.multiplicity.meanRaysPerPoint)});
    t.addRow({QStringLiteral("Mean active points per image"), formatValue(stats.multiplicity.meanPointsPerImage)});
    s.blocks.append(t);
    s.blocks.append(Paragraph{QStringLiteral("Image residuals: %1").arg(stats.residuals.population)});
    Findings findings = judgeBlock(stats, in.thresholds);
    findings.caption = QStringLiteral("Findings");
    s.blocks.append(findings);
    return s;
}

Table axesTable(const SControlStatistics &c)
{
    Table t;
    t.id = QStringLiteral("control-rms");
    t.caption = QStringLiteral("RMS per axis over the accepted observations");
    t.header = {QStringLiteral("Group"),
                QStringLiteral("Axis"),
                QStringLiteral("Accepted"),
                QStringLiteral("RMS"),
                QStringLiteral("Largest |residual|"),
                QStringLiteral("At point")};
    t.numeric = {false, false, true, true, true, true};
    const std::pair<QString, const std::array<SAxisResiduals, 3> *> groups[] = {
        {QStringLiteral("Control points"), &c.pointAxes},
        {QStringLiteral("Observed projection centres"), &c.centreAxes}};
    for (const auto &[name, axes] : groups)
        for (int a = 0; a < 3; ++a) {
            const SAxisResiduals &x = (*axes)[size_t(a)];
            t.addRow({name, axisName(a), count(x.count), formatValue(x.rms), formatValue(x.maxAbs), idText(x.maxId)});
        }
    return t;
}

Section controlSection(const SBlockStatistics &stats)
{
    const SControlStatistics &c = stats.control;
    Section s{QStringLiteral("control"), QStringLiteral("Control"), {}};
    s.blocks.append(axesTable(c));
    std::vector<SControlRow> rows(c.accepted);
    rows.insert(rows.end(), c.rejected.begin(), c.rejected.end());
    std::stable_sort(rows.begin(), rows.end(), [](const SControlRow &a, const SControlRow &b) {
        return a.pointId != b.pointId ? a.pointId < b.pointId : a.axis < b.axis;
    });
    Table t;
    t.id = QStringLiteral("control-table");
    t.caption = QStringLiteral("Observations (%1 accepted, %2 rejected, rejected ones marked)")
                    .arg(c.accepted.size())
                    .arg(c.rejected.size());
    t.header = {QStringLiteral("Point"),    QStringLiteral("Code"),     QStringLiteral("Axis"),
                QStringLiteral("Observed"), QStringLiteral("Adjusted"), QStringLiteral("Residual"),
                QStringLiteral("Accepted")};
    t.numeric = {true, true, false, true, true, true, false};
    for (const SControlRow &r : rows)
        t.addRow({QString::number(r.pointId), QString::number(r.code), axisName(r.axis), formatValue(r.observed),
                  formatValue(r.adjusted), formatValue(r.residual), yesNo(r.accepted)},
                 !r.accepted);
    if (rows.empty())
        s.blocks.append(Alert{QStringLiteral("The block has no control observations.")});
    else
        s.blocks.append(t);
    s.blocks.append(Paragraph{c.population});
    return s;
}

Table imageTable(const QString &id, const QString &caption, const std::vector<SImageResidualRow> &rows,
                 double threshold)
{
    Table t;
    t.id = id;
    t.caption = caption;
    t.header = {QStringLiteral("Image"),      QStringLiteral("Points"),
                QStringLiteral("Eliminated"), QStringLiteral("RMS vx"),
                QStringLiteral("RMS vy"),     QStringLiteral("RMS |v|"),
                QStringLiteral("Max |v|"),    QStringLiteral("At point"),
                QStringLiteral("Max std."),   QStringLiteral("Std. > %1").arg(formatValue(threshold))};
    t.numeric = QList<bool>(t.header.size(), true);
    for (const SImageResidualRow &r : rows)
        t.addRow({QString::number(r.imageId), count(r.points), count(r.eliminated), formatValue(r.rmsVx),
                  formatValue(r.rmsVy), formatValue(r.rmsV), formatValue(r.maxV), idText(r.maxVPointId),
                  formatValue(r.maxStandardized), count(r.aboveThreshold)});
    return t;
}

Section imagesSection(const SBlockStatistics &stats, int worst)
{
    Section s{QStringLiteral("images"), QStringLiteral("Images"), {}};
    std::vector<SImageResidualRow> rows = imagesByRms(stats.residuals);
    if (int(rows.size()) > worst)
        rows.resize(size_t(worst));
    s.blocks.append(imageTable(
        QStringLiteral("worst-images"),
        QStringLiteral("The %1 images with the largest RMS |v| (all images in the appendix)").arg(rows.size()), rows,
        stats.residuals.threshold));
    s.blocks.append(Paragraph{stats.residuals.population});
    return s;
}

Table precisionTable(const SPrecisionStatistics &p)
{
    Table t;
    t.id = QStringLiteral("precision-table");
    t.header = {QStringLiteral("Group"),   QStringLiteral("Axis"),  QStringLiteral("Points"),
                QStringLiteral("Mean σ"),  QStringLiteral("RMS σ"), QStringLiteral("Largest σ"),
                QStringLiteral("At point")};
    t.numeric = {false, false, true, true, true, true, true};
    for (const SSigmaGroup &g : p.groups)
        for (int a = 0; a < 3; ++a) {
            const SSigmaAxis &x = g.axes[size_t(a)];
            t.addRow({g.name, axisName(a), count(x.count), formatValue(x.mean), formatValue(x.rms), formatValue(x.max),
                      idText(x.maxId)});
        }
    return t;
}

Chart multiplicityChart(const SMultiplicity &m)
{
    Chart c;
    c.title = QStringLiteral("Object points by number of active rays");
    c.xLabel = QStringLiteral("Active rays");
    c.yLabel = QStringLiteral("Object points");
    for (size_t k = 0; k < m.pointsByRays.size(); ++k) {
        c.categories << (int(k) == m.cap ? QStringLiteral("≥ %1").arg(k) : QString::number(k));
        c.counts << double(m.pointsByRays[k]);
    }
    c.note = QStringLiteral("%1 Mean active rays per point %2, mean active points per image %3.")
                 .arg(m.population, formatValue(m.meanRaysPerPoint), formatValue(m.meanPointsPerImage));
    return c;
}

Chart histogramChart(const SHistogram &h)
{
    Chart c;
    c.title = QStringLiteral("Histogram of %1").arg(h.name);
    c.xLabel = h.name;
    c.yLabel = QStringLiteral("Count");
    c.edges = QList<double>(h.edges.begin(), h.edges.end());
    for (qint64 n : h.counts)
        c.counts << double(n);
    c.note = QStringLiteral("%1 values: %2 Bins: %3").arg(count(h.total), h.population, h.rule);
    if (h.skipped > 0)
        c.note += QStringLiteral(" %1 values that are not finite were left out.").arg(h.skipped);
    return c;
}

Section precisionSection(const SBlockStatistics &stats)
{
    Section s{QStringLiteral("precision"), QStringLiteral("Precision, rays and distributions"), {}};
    if (stats.precision.available)
        s.blocks.append(precisionTable(stats.precision));
    else
        s.blocks.append(Alert{stats.precision.note});
    if (stats.precision.available && !stats.precision.note.isEmpty())
        s.blocks.append(Paragraph{stats.precision.note});
    s.blocks.append(multiplicityChart(stats.multiplicity));
    for (const SHistogram &h : stats.histograms)
        s.blocks.append(histogramChart(h));
    return s;
}

Section picturesSection(const QList<Picture> &pictures)
{
    Section s{QStringLiteral("pictures"), QStringLiteral("Pictures"), {}};
    if (pictures.isEmpty())
        s.blocks.append(Alert{QStringLiteral("The project has nothing to draw.")});
    for (const Picture &p : pictures)
        s.blocks.append(p);
    return s;
}

} // namespace

Document buildQualityReport(const SProjectData &data, const SBlockStatistics &stats, const SQualityReportInput &in,
                            const QList<Picture> &pictures)
{
    Document d;
    d.projectName = QFileInfo(in.projectFile).fileName();
    d.title = in.title.isEmpty() ? QStringLiteral("Adjustment report: %1").arg(d.projectName) : in.title;
    if (!in.readError.isEmpty())
        d.error = QStringLiteral("The project was read with an error; the report shows what was read before it.\n%1")
                      .arg(in.readError);
    d.sections << projectSection(data, in) << summarySection(stats, in) << controlSection(stats)
               << imagesSection(stats, in.thresholds.worstImages) << precisionSection(stats)
               << picturesSection(pictures);
    Section appendix{QStringLiteral("appendix"), QStringLiteral("Appendix: all images"), {}};
    appendix.blocks.append(
        imageTable(QStringLiteral("all-images"), QString(), stats.residuals.images, stats.residuals.threshold));
    d.sections << appendix;
    return d;
}
