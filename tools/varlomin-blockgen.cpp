// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line front end of BlockGenerator: writes a synthetic PAT-B project for tests,
// benchmarks and the bundled example.

#include "tools/BlockGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

bool readNumber(const QCommandLineParser &parser, const QString &option, qint64 *value, QString *error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    *value = parser.value(option).toLongLong(&ok);
    if (!ok)
        *error = QStringLiteral("--%1 needs a whole number, not '%2'.").arg(option, parser.value(option));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varlomin-blockgen"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a synthetic aerial block as a PAT-B project: <name>.(p) with its (i), (e), (o), (c)\n"
                       "and camera files, PAT-B's project file <name>.pro and a Pat.ini naming them."));
    parser.addHelpOption();
    parser.addOptions({
        {"images", "Number of images (at least 2).", "N"},
        {"points", "Number of object points.", "M"},
        {"observations", "Image observations of object points in total.", "K"},
        {"rays", "Average number of images that see a point (default 6).", "R"},
        {"strips", "Number of strips (default: a roughly square block).", "S"},
        {"seed", "Seed of the random numbers (default 1).", "SEED"},
        {"out", "Output directory, created when missing.", "DIR"},
        {"name", "Base name of the project files (default block).", "NAME"},
    });
    parser.process(app);

    BlockGenerator::Options options;
    QString error;
    qint64 images = options.imageCount, strips = 0, seed = 1;
    bool ok = readNumber(parser, "images", &images, &error) &&
              readNumber(parser, "points", &options.pointCount, &error) &&
              readNumber(parser, "observations", &options.observationCount, &error) &&
              readNumber(parser, "strips", &strips, &error) && readNumber(parser, "seed", &seed, &error);
    if (ok && parser.isSet("rays")) {
        options.raysPerPoint = parser.value("rays").toDouble(&ok);
        if (!ok)
            error = QStringLiteral("--rays needs a number, not '%1'.").arg(parser.value("rays"));
    }
    if (ok && parser.isSet("observations") && parser.isSet("rays")) {
        ok = false;
        error = QStringLiteral("Give either --observations or --rays, not both.");
    }
    if (ok && (!parser.isSet("images") || !parser.isSet("points") || !parser.isSet("out"))) {
        ok = false;
        error = QStringLiteral("--images, --points and --out are required.");
    }
    if (ok && (images > INT_MAX || strips > INT_MAX || strips < 0 || images < 0)) {
        ok = false;
        error = QStringLiteral("--images or --strips out of range.");
    }
    if (!ok) {
        err << "varlomin-blockgen: " << error << "\n" << parser.helpText();
        return kExitUsage;
    }
    options.imageCount = int(images);
    options.strips = int(strips);
    options.seed = quint64(seed);
    options.outputDirectory = parser.value("out");
    if (parser.isSet("name"))
        options.name = parser.value("name");

    BlockGenerator generator(options);
    if (const QString problem = generator.checkOptions(); !problem.isEmpty()) {
        err << "varlomin-blockgen: " << problem << "\n";
        return kExitUsage;
    }
    if (!generator.write(&error)) {
        err << "varlomin-blockgen: " << error << "\n";
        return kExitFailure;
    }
    out << "varlomin-blockgen: " << generator.summaryLine() << " in '" << options.outputDirectory << "'\n";
    return 0;
}
