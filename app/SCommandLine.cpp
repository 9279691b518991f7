// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SCommandLine.h"

#include "app/SAppInfo.h"
#include "misc/SErrorColours.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

QString usage()
{
    return QStringLiteral(
        "Usage: varlomin [-p] [--config FILE] [PROJECT_FILE]\n"
        "       varlomin --report [--config FILE] PROJECT_FILE\n"
        "       varlomin --stats [--json] [--config FILE] PROJECT_FILE\n"
        "       varlomin --export image:ID|object:xy|object:xz|object:yz --out FILE [--zoom PERCENT]\n"
        "                [--show LIST] [--select all|image:ID] [--search MODE:PAR1:PAR2[:pattern]]\n"
        "                [--colour-by residual|standardized|sigma [--threshold X]]\n"
        "                [--config FILE] PROJECT_FILE\n"
        "       varlomin --quality-report OUT.html|OUT.pdf [--config FILE] [--title TEXT] PROJECT_FILE\n\n"
        "Graphical analysis of PAT-B bundle block adjustment results.\n"
        "PROJECT_FILE: a PAT-B project file (*.(p)), a COLMAP sparse model (its folder or one of its\n"
        "files) or a BAL / Bundler v0.3 file (plain, .bz2 or .gz), recognised from its content.\n\n"
        "  PROJECT_FILE       without a mode: open this project in the window at start-up\n"
        "  -p                 open PAT-B's current project (found through Pat.ini in %windir%)\n"
        "  --report           print the project as a JSON document and exit (no display needed)\n"
        "  --stats            print the quality statistics (summary, control, images with the\n"
        "                     largest RMS) as plain-text tables and exit (no display needed)\n"
        "  --json             with --stats: print every table and histogram as one JSON document\n"
        "  --export TARGET    write a picture of a view (.png, .pdf or .svg) and exit\n"
        "  --out FILE         the picture file of --export\n"
        "  --zoom PERCENT     zoom of the exported view (default 100)\n"
        "  --show LIST        comma list of the view's toggles to switch on\n"
        "                     image: ids,links,residuals,residual-values,blunders\n"
        "                     object: ids,image-ids,links,blunders,residuals,residual-values,sigmas,\n"
        "                             sigma-values,connections\n"
        "  --select all|image:ID  select points before an object export\n"
        "  --search MODE:PAR1:PAR2[:pattern]  select points by a search before an object export\n"
        "  --colour-by WHAT   colour the points by error: residual or standardized (image),\n"
        "                     residual or sigma (object)\n"
        "  --threshold X      value at the top of the colour ramp, larger values in red (default 3)\n"
        "                     MODE: point-id, image-id, links, residuals, sigmas, blunder, point-code\n"
        "                     PAR1, PAR2: minimum and maximum (leave one empty to not use it), the\n"
        "                     id pattern of digits, '?' and '*' (with :pattern), or the point-code\n"
        "                     mask of 7 digits 0/1 (e.g. point-code:0000110 for projection centres)\n"
        "  --quality-report FILE  write the adjustment report (.html or .pdf) and exit\n"
        "  --title TEXT       the title of the adjustment report\n"
        "  --config FILE      use this configuration file instead of the user's\n"
        "  --help             show this help\n"
        "  --version          show the version\n");
}

} // namespace

SCommandLine SCommandLine::parse(const QStringList &arguments)
{
    SCommandLine cl;
    QStringList forParser;
    forParser << (arguments.isEmpty() ? QStringLiteral("varlomin") : arguments.first());
    for (int i = 1; i < arguments.size(); ++i)
        if (!arguments[i].startsWith(QLatin1Char('-')) || arguments[i].startsWith(QLatin1String("--")))
            forParser << arguments[i];

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption report(QStringLiteral("report"));
    const QCommandLineOption exportOpt(QStringLiteral("export"), QString(), QStringLiteral("target"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("file"));
    const QCommandLineOption zoom(QStringLiteral("zoom"), QString(), QStringLiteral("percent"));
    const QCommandLineOption show(QStringLiteral("show"), QString(), QStringLiteral("list"));
    const QCommandLineOption select(QStringLiteral("select"), QString(), QStringLiteral("what"));
    const QCommandLineOption search(QStringLiteral("search"), QString(), QStringLiteral("criteria"));
    const QCommandLineOption config(QStringLiteral("config"), QString(), QStringLiteral("file"));
    const QCommandLineOption stats(QStringLiteral("stats"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption qualityReport(QStringLiteral("quality-report"), QString(), QStringLiteral("file"));
    const QCommandLineOption title(QStringLiteral("title"), QString(), QStringLiteral("text"));
    const QCommandLineOption colourBy(QStringLiteral("colour-by"), QString(), QStringLiteral("what"));
    const QCommandLineOption threshold(QStringLiteral("threshold"), QString(), QStringLiteral("value"));
    parser.addOptions({help, version, report, exportOpt, out, zoom, show, select, search, config, stats, json,
                       qualityReport, title, colourBy, threshold});

    auto fail = [&cl](const QString &message) {
        cl.mode = Mode::Error;
        cl.error = message;
        return cl;
    };
    if (!parser.parse(forParser))
        return fail(parser.errorText() + QStringLiteral("\nTry 'varlomin --help'."));
    if (parser.isSet(help)) {
        cl.mode = Mode::Help;
        cl.helpText = usage();
        return cl;
    }
    if (parser.isSet(version)) {
        cl.mode = Mode::Version;
        return cl;
    }
    cl.configFile = parser.value(config);
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(report) && parser.isSet(exportOpt))
        return fail(QStringLiteral("--report and --export cannot be combined."));
    if (parser.isSet(stats) && (parser.isSet(report) || parser.isSet(exportOpt)))
        return fail(QStringLiteral("--stats cannot be combined with --report or --export."));
    if (parser.isSet(json) && !parser.isSet(stats))
        return fail(QStringLiteral("--json is only used with --stats."));
    if (parser.isSet(qualityReport)) {
        if (parser.isSet(report) || parser.isSet(exportOpt) || parser.isSet(stats))
            return fail(QStringLiteral("--quality-report cannot be combined with --report, --export or --stats."));
        if (positional.size() != 1)
            return fail(QStringLiteral("Name exactly one project file (*.(p))."));
        for (const QCommandLineOption &o : {out, zoom, show, select, search, colourBy, threshold})
            if (parser.isSet(o))
                return fail(QStringLiteral("--%1 is only used with --export.").arg(o.names().first()));
        cl.mode = Mode::QualityReport;
        cl.projectFile = positional.first();
        cl.reportFile = parser.value(qualityReport);
        cl.reportTitle = parser.value(title);
        return cl;
    }
    if (parser.isSet(title))
        return fail(QStringLiteral("--title is only used with --quality-report."));
    if (parser.isSet(report) || parser.isSet(exportOpt) || parser.isSet(stats)) {
        if (positional.size() != 1)
            return fail(QStringLiteral("Name exactly one project: a PAT-B project file (*.(p)), a COLMAP model "
                                       "folder or a BAL / Bundler file."));
        cl.projectFile = positional.first();
    }
    if (parser.isSet(report)) {
        cl.mode = Mode::Report;
        return cl;
    }
    if (parser.isSet(stats)) {
        for (const QCommandLineOption &o : {out, zoom, show, select, search, colourBy, threshold})
            if (parser.isSet(o))
                return fail(QStringLiteral("--%1 is only used with --export.").arg(o.names().first()));
        cl.mode = Mode::Stats;
        cl.json = parser.isSet(json);
        return cl;
    }
    if (!parser.isSet(exportOpt)) {
        for (const QCommandLineOption &o : {out, zoom, show, select, search, colourBy, threshold})
            if (parser.isSet(o))
                return fail(QStringLiteral("--%1 is only used with --export.").arg(o.names().first()));
        if (positional.size() > 1)
            return fail(QStringLiteral("Name at most one project file to open."));
        if (!positional.isEmpty())
            cl.projectFile = positional.first();
        return cl; // the GUI
    }
    cl.mode = Mode::Export;
    cl.exportTarget = parser.value(exportOpt);
    cl.outFile = parser.value(out);
    if (cl.outFile.isEmpty())
        return fail(QStringLiteral("--export needs --out FILE."));
    if (parser.isSet(zoom)) {
        bool ok = false;
        cl.zoomPercent = parser.value(zoom).toInt(&ok);
        if (!ok || cl.zoomPercent <= 0)
            return fail(QStringLiteral("--zoom needs a positive whole percentage, not '%1'.").arg(parser.value(zoom)));
    }
    if (parser.isSet(show))
        cl.show = parser.value(show).split(QLatin1Char(','), Qt::SkipEmptyParts);
    cl.select = parser.value(select);
    cl.search = parser.value(search);
    if (parser.isSet(colourBy)) {
        cl.colourBy = parser.value(colourBy);
        if (SErrorColours::measureFromName(cl.colourBy) == SErrorColours::MeasureE::Off)
            return fail(
                QStringLiteral("--colour-by needs residual, standardized or sigma, not '%1'.").arg(cl.colourBy));
    }
    if (parser.isSet(threshold)) {
        if (!parser.isSet(colourBy))
            return fail(QStringLiteral("--threshold is only used with --colour-by."));
        bool ok = false;
        cl.threshold = parser.value(threshold).toDouble(&ok);
        if (!ok || !std::isfinite(cl.threshold) || cl.threshold <= 0.0)
            return fail(QStringLiteral("--threshold needs a positive number, not '%1'.").arg(parser.value(threshold)));
    }
    return cl;
}
