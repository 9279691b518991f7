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
        "                     image: ids,links,residuals,residual-values,blunders,residual-legend\n"
        "                     object: ids,image-ids,links,blunders,residuals,residual-values,sigmas,\n"
        "                             sigma-values,connections,scale-bar,density\n"
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

namespace {

// The options of every mode; the program's own "-p" is no option of the parser.
struct Options {
    QCommandLineOption help{QStringLiteral("help")};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption report{QStringLiteral("report")};
    QCommandLineOption exportOpt{QStringLiteral("export"), QString(), QStringLiteral("target")};
    QCommandLineOption out{QStringLiteral("out"), QString(), QStringLiteral("file")};
    QCommandLineOption zoom{QStringLiteral("zoom"), QString(), QStringLiteral("percent")};
    QCommandLineOption show{QStringLiteral("show"), QString(), QStringLiteral("list")};
    QCommandLineOption select{QStringLiteral("select"), QString(), QStringLiteral("what")};
    QCommandLineOption search{QStringLiteral("search"), QString(), QStringLiteral("criteria")};
    QCommandLineOption config{QStringLiteral("config"), QString(), QStringLiteral("file")};
    QCommandLineOption stats{QStringLiteral("stats")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption qualityReport{QStringLiteral("quality-report"), QString(), QStringLiteral("file")};
    QCommandLineOption title{QStringLiteral("title"), QString(), QStringLiteral("text")};
    QCommandLineOption colourBy{QStringLiteral("colour-by"), QString(), QStringLiteral("what")};
    QCommandLineOption threshold{QStringLiteral("threshold"), QString(), QStringLiteral("value")};

    QList<QCommandLineOption> all() const
    {
        return {help,   version, report, exportOpt, out,           zoom,  show,     select,
                search, config,  stats,  json,      qualityReport, title, colourBy, threshold};
    }
    // The options that only an export takes.
    QList<QCommandLineOption> exportOnly() const { return {out, zoom, show, select, search, colourBy, threshold}; }
};

SCommandLine failed(SCommandLine cl, const QString &message)
{
    cl.mode = SCommandLine::Mode::Error;
    cl.error = message;
    return cl;
}

// An error when an option that only an export takes is given; otherwise an empty text.
QString exportOptionGiven(const QCommandLineParser &parser, const Options &o)
{
    for (const QCommandLineOption &option : o.exportOnly())
        if (parser.isSet(option))
            return QStringLiteral("--%1 is only used with --export.").arg(option.names().first());
    return QString();
}

SCommandLine readExport(const QCommandLineParser &parser, const Options &o, SCommandLine cl)
{
    cl.mode = SCommandLine::Mode::Export;
    cl.exportTarget = parser.value(o.exportOpt);
    cl.outFile = parser.value(o.out);
    if (cl.outFile.isEmpty())
        return failed(cl, QStringLiteral("--export needs --out FILE."));
    if (parser.isSet(o.zoom)) {
        bool ok = false;
        cl.zoomPercent = parser.value(o.zoom).toInt(&ok);
        if (!ok || cl.zoomPercent <= 0)
            return failed(
                cl, QStringLiteral("--zoom needs a positive whole percentage, not '%1'.").arg(parser.value(o.zoom)));
    }
    if (parser.isSet(o.show))
        cl.show = parser.value(o.show).split(QLatin1Char(','), Qt::SkipEmptyParts);
    cl.select = parser.value(o.select);
    cl.search = parser.value(o.search);
    if (parser.isSet(o.colourBy)) {
        cl.colourBy = parser.value(o.colourBy);
        if (SErrorColours::measureFromName(cl.colourBy) == SErrorColours::MeasureE::Off)
            return failed(
                cl, QStringLiteral("--colour-by needs residual, standardized or sigma, not '%1'.").arg(cl.colourBy));
    }
    if (parser.isSet(o.threshold)) {
        if (!parser.isSet(o.colourBy))
            return failed(cl, QStringLiteral("--threshold is only used with --colour-by."));
        bool ok = false;
        cl.threshold = parser.value(o.threshold).toDouble(&ok);
        if (!ok || !std::isfinite(cl.threshold) || cl.threshold <= 0.0)
            return failed(
                cl, QStringLiteral("--threshold needs a positive number, not '%1'.").arg(parser.value(o.threshold)));
    }
    return cl;
}

SCommandLine readQualityReport(const QCommandLineParser &parser, const Options &o, SCommandLine cl)
{
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(o.report) || parser.isSet(o.exportOpt) || parser.isSet(o.stats))
        return failed(cl, QStringLiteral("--quality-report cannot be combined with --report, --export or --stats."));
    if (positional.size() != 1)
        return failed(cl, QStringLiteral("Name exactly one project file (*.(p))."));
    if (const QString error = exportOptionGiven(parser, o); !error.isEmpty())
        return failed(cl, error);
    cl.mode = SCommandLine::Mode::QualityReport;
    cl.projectFile = positional.first();
    cl.reportFile = parser.value(o.qualityReport);
    cl.reportTitle = parser.value(o.title);
    return cl;
}

// The modes after the single ones (help, version, quality report): report, statistics,
// export, or the GUI.
SCommandLine readMode(const QCommandLineParser &parser, const Options &o, SCommandLine cl)
{
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(o.report) || parser.isSet(o.exportOpt) || parser.isSet(o.stats)) {
        if (positional.size() != 1)
            return failed(cl, QStringLiteral("Name exactly one project: a PAT-B project file (*.(p)), a COLMAP model "
                                             "folder or a BAL / Bundler file."));
        cl.projectFile = positional.first();
    }
    if (parser.isSet(o.report)) {
        cl.mode = SCommandLine::Mode::Report;
        return cl;
    }
    if (parser.isSet(o.exportOpt))
        return readExport(parser, o, cl);
    if (const QString error = exportOptionGiven(parser, o); !error.isEmpty())
        return failed(cl, error);
    if (parser.isSet(o.stats)) {
        cl.mode = SCommandLine::Mode::Stats;
        cl.json = parser.isSet(o.json);
        return cl;
    }
    if (positional.size() > 1)
        return failed(cl, QStringLiteral("Name at most one project file to open."));
    if (!positional.isEmpty())
        cl.projectFile = positional.first();
    return cl; // the GUI
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

    const Options o;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(o.all());
    if (!parser.parse(forParser))
        return failed(cl, parser.errorText() + QStringLiteral("\nTry 'varlomin --help'."));
    if (parser.isSet(o.help)) {
        cl.mode = Mode::Help;
        cl.helpText = usage();
        return cl;
    }
    if (parser.isSet(o.version)) {
        cl.mode = Mode::Version;
        return cl;
    }
    cl.configFile = parser.value(o.config);
    if (parser.isSet(o.report) && parser.isSet(o.exportOpt))
        return failed(cl, QStringLiteral("--report and --export cannot be combined."));
    if (parser.isSet(o.stats) && (parser.isSet(o.report) || parser.isSet(o.exportOpt)))
        return failed(cl, QStringLiteral("--stats cannot be combined with --report or --export."));
    if (parser.isSet(o.json) && !parser.isSet(o.stats))
        return failed(cl, QStringLiteral("--json is only used with --stats."));
    if (parser.isSet(o.qualityReport))
        return readQualityReport(parser, o, cl);
    if (parser.isSet(o.title))
        return failed(cl, QStringLiteral("--title is only used with --quality-report."));
    return readMode(parser, o, cl);
}

SCommandLine SCommandLine::parse(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return parse(arguments);
}
