// SPDX-License-Identifier: GPL-3.0-or-later
// The modes that run without a window: the JSON report and the picture export.
#include "app/SCommandLine.h"

#include "formats/SProjectOpener.h"
#include "formats/SReportRun.h"
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageExport.h"
#include "misc/SErrorColours.h"
#include "misc/SException.h"
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectExport.h"
#include "search/SSearchRequest.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>

namespace {

void printError(const QString &text) { std::fprintf(stderr, "varlomin: %s\n", qPrintable(text)); }

} // namespace

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

namespace {

// The colouring by error of an export; false with a message when the measure does not
// fit the view (standardized residuals are image values, sigmas object values).
bool exportColouring(const SCommandLine &cl, bool objectView, SErrorColours::Colouring *colouring)
{
    colouring->measure = SErrorColours::measureFromName(cl.colourBy);
    colouring->threshold = cl.threshold;
    const SErrorColours::MeasureE wrong =
        objectView ? SErrorColours::MeasureE::Standardized : SErrorColours::MeasureE::Sigma;
    if (colouring->measure == wrong) {
        printError(QStringLiteral("--colour-by %1 is not available in %2 views: use residual or %3.")
                       .arg(cl.colourBy, objectView ? QStringLiteral("object") : QStringLiteral("image"),
                            objectView ? QStringLiteral("sigma") : QStringLiteral("standardized")));
        return false;
    }
    return true;
}

} // namespace

int runExportMode(const SCommandLine &cl)
{
    // Pictures are painted offscreen: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "varlomin";
    char *argv[] = {name, nullptr};
    // Fonts need a GUI application; the canvases paint without a widget.
    QGuiApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Varlomin"));
    if (!loadConfiguration(cl.configFile))
        return 1;

    const QString target = cl.exportTarget.toLower();
    int imageId = 0;
    int plane = -1;
    const QString imagePrefix = QStringLiteral("image:");
    int selectImageId = 0;
    std::optional<SSearchRequest> request;
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
        const QStringList planes = {QStringLiteral("object:xy"), QStringLiteral("object:xz"),
                                    QStringLiteral("object:yz")};
        plane = planes.indexOf(target);
        if (plane < 0) {
            printError(QStringLiteral("unknown export target '%1': use image:ID, object:xy, object:xz or object:yz.")
                           .arg(cl.exportTarget));
            return 1;
        }
        if (!cl.select.isEmpty() && !cl.search.isEmpty()) {
            printError(QStringLiteral("--select and --search cannot be combined: the search replaces the selection."));
            return 1;
        }
        if (cl.select.startsWith(imagePrefix)) {
            bool isNumber = false;
            selectImageId = cl.select.mid(imagePrefix.size()).toInt(&isNumber);
            if (!isNumber) {
                printError(QStringLiteral("--select %1: use image:ID with a whole number.").arg(cl.select));
                return 1;
            }
        } else if (!cl.select.isEmpty() && cl.select != QLatin1String("all")) {
            printError(QStringLiteral("unknown selection '%1': use --select all or --select image:ID.").arg(cl.select));
            return 1;
        }
        QString searchError;
        if (!cl.search.isEmpty() && !(request = SSearchRequest::parse(cl.search, &searchError))) {
            printError(QStringLiteral("--search %1: %2.").arg(cl.search, searchError));
            return 1;
        }
    }

    SErrorColours::Colouring colouring;
    if (!exportColouring(cl, plane >= 0, &colouring))
        return 1;

    // Everything that can be checked before reading is checked first.
    Mu::setSink([](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn || level == Mu::Level::Error || level == Mu::Level::Fatal)
            printError(QStringLiteral("warning: %1").arg(text));
    });
    SProjectData data;
    if (const std::optional<SReportError> readError = SProjectOpener::readWithoutDialogs(cl.projectFile, data)) {
        if (readError->first != 0)
            printError(QStringLiteral("error %1 while reading '%2': %3")
                           .arg(readError->first)
                           .arg(cl.projectFile, readError->second));
        else
            printError(QStringLiteral("cannot read '%1': %2").arg(cl.projectFile, readError->second.trimmed()));
        return 1;
    }
    data.initialise();

    QString error;
    bool ok = false;
    if (plane < 0) {
        if (data.projectFiles)
            colouring.sigma0 = data.projectFiles->sigma0;
        ok = exportImagePicture(data.mListImageData, imageId, cl.outFile, cl.zoomPercent, cl.show, &error, colouring);
    } else {
        const bool sigmas = data.projectFiles && data.projectFiles->inversion;
        SImage *selectedImage = nullptr;
        if (cl.select.startsWith(imagePrefix)) {
            selectedImage = SImageList::find(selectImageId);
            if (!selectedImage) {
                printError(QStringLiteral("--select %1: the project '%2' has no image %3.")
                               .arg(cl.select, cl.projectFile)
                               .arg(selectImageId));
                return 1;
            }
        }
        SObjectExportHook select;
        if (selectedImage)
            select = [selectedImage](SObjectCanvas &canvas) { canvas.selectImagePoints(selectedImage, true); };
        else if (request)
            select = [request](SObjectCanvas &canvas) { canvas.selectPoints(*request); };
        const SObjectExportHook beforePaint = [select, colouring](SObjectCanvas &canvas) {
            canvas.setColouring(colouring);
            if (select)
                select(canvas);
        };
        try {
            ok = exportObjectPicture(data.mListObjectData, sigmas, plane, cl.outFile, cl.zoomPercent, cl.show,
                                     cl.select == QLatin1String("all"), &error, beforePaint);
        } catch (const SException &e) {
            printError(QStringLiteral("error %1 while selecting points in '%2': %3")
                           .arg(e.code())
                           .arg(cl.projectFile, e.message()));
            return 1;
        }
    }
    if (!ok) {
        printError(error);
        return 1;
    }
    return 0;
}
