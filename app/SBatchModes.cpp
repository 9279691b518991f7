// The modes that run without a window: the JSON report and the picture export.
#include "SCommandLine.h"

#include "Mu.h"
#include "MxCfg.h"
#include "SException.h"
#include "SImageExport.h"
#include "SObjectExport.h"
#include "SPatbReader.h"
#include "SProjectReport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {

void printError(const QString &text) { std::fprintf(stderr, "varlomin: %s\n", qPrintable(text)); }

// The user's configuration as the GUI would read it, or the file named with --config.
bool loadConfiguration(const QString &configFile)
{
    if (!configFile.isEmpty())
        return loadConfigOverride(configFile);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Varlomin/Varlomin.cfg");
    if (QFileInfo::exists(user)) {
        QString error;
        if (!Mx::CfgStore::load(user, &error))
            printError(QStringLiteral("using default settings: %1").arg(error));
    }
    return true;
}

// Reads without dialogs: an error dialog's text becomes the error and the read stops.
class BatchHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        error = text;
        return SReadErrorChoice::Stop;
    }
    QString error;
};

} // namespace

bool loadConfigOverride(const QString &file)
{
    QString error;
    if (!Mx::CfgStore::load(file, &error)) {
        printError(QStringLiteral("cannot use the configuration file: %1").arg(error));
        return false;
    }
    Mx::CfgStore::setUserFile(QFileInfo(file).absoluteFilePath());
    return true;
}

int runReportMode(const SCommandLine &cl)
{
    if (!loadConfiguration(cl.configFile))
        return 1;
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) {
        printError(QStringLiteral("cannot write to standard output"));
        return 1;
    }
    const int status = runProjectReport(cl.projectFile, out);
    out.flush();
    return status;
}

int runExportMode(const SCommandLine &cl)
{
    // Pictures are painted offscreen: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "varlomin";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Varlomin"));
    if (!loadConfiguration(cl.configFile))
        return 1;

    const QString target = cl.exportTarget.toLower();
    int imageId = 0;
    int plane = -1;
    if (target.startsWith(QLatin1String("image:"))) {
        bool ok = false;
        imageId = target.mid(6).toInt(&ok);
        if (!ok) {
            printError(QStringLiteral("'%1' names no image: use image:ID with a whole number.").arg(cl.exportTarget));
            return 1;
        }
        if (!cl.select.isEmpty() || !cl.search.isEmpty()) {
            printError(QStringLiteral("--select and --search are only used with object exports."));
            return 1;
        }
    } else {
        const QStringList planes = {QStringLiteral("object:xy"), QStringLiteral("object:xz"), QStringLiteral("object:yz")};
        plane = planes.indexOf(target);
        if (plane < 0) {
            printError(QStringLiteral("unknown export target '%1': use image:ID, object:xy, object:xz or object:yz.")
                           .arg(cl.exportTarget));
            return 1;
        }
    }

    // Everything that can be checked before reading is checked first.
    Mu::setSink([](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn || level == Mu::Level::Error || level == Mu::Level::Fatal)
            printError(QStringLiteral("warning: %1").arg(text));
    });
    SProjectData data;
    BatchHandler handler;
    try {
        SPatbReader reader(data, handler);
        reader.readProjectFile(cl.projectFile);
    } catch (const SException &e) {
        printError(QStringLiteral("error %1 while reading '%2': %3").arg(e.code()).arg(cl.projectFile, e.message()));
        return 1;
    }
    if (!handler.error.isEmpty()) {
        printError(QStringLiteral("cannot read '%1': %2").arg(cl.projectFile, handler.error.trimmed()));
        return 1;
    }
    data.initialise();

    QString error;
    bool ok = false;
    if (plane < 0) {
        ok = exportImagePicture(data.mListImageData, imageId, cl.outFile, cl.zoomPercent, cl.show, &error);
    } else {
        const bool sigmas = data.projectFiles && data.projectFiles->inversion;
        if (!cl.select.isEmpty() && cl.select != QLatin1String("all")) {
            printError(QStringLiteral("unknown selection '%1': use --select all.").arg(cl.select));
            return 1;
        }
        ok = exportObjectPicture(data.mListObjectData, sigmas, plane, cl.outFile, cl.zoomPercent, cl.show,
                                 cl.select == QLatin1String("all"), &error);
    }
    if (!ok) {
        printError(error);
        return 1;
    }
    return 0;
}
