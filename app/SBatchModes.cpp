// SPDX-License-Identifier: GPL-3.0-or-later
// The modes that run without a window: the JSON report and the picture export.
#include "app/SBatchModes.h"

#include "app/SAppInfo.h"
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

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cstdio>
#include <cstdlib>

namespace {

void printError(const QString &text) { std::fprintf(stderr, "varlomin: %s\n", qPrintable(text)); }

} // namespace

SOffscreenApplication::SOffscreenApplication(const QString &configFile)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mApp = std::make_unique<QGuiApplication>(mArgc, mArgv);
    mApp->setApplicationName(QString::fromLatin1(SAppInfo::kAppName));
    mConfigured = loadConfiguration(configFile);
}

SOffscreenApplication::~SOffscreenApplication() = default;

bool loadConfiguration(const QString &configFile)
{
    if (!configFile.isEmpty())
        return loadConfigOverride(configFile);
    const QString user =
        Mx::CfgStore::defaultUserFile(QString::fromLatin1(SAppInfo::kAppName), QString::fromLatin1(SAppInfo::kCfgExt));
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

namespace {

// What an export paints, as far as it can be checked before the project is read.
struct ExportTarget {
    int imageId = 0;
    int plane = -1; // the object view's plane; -1 for an image view
    int selectImageId = 0;
    std::optional<SSearchRequest> search;
};

const QString kImagePrefix = QStringLiteral("image:");

bool readImageTarget(const SCommandLine &cl, ExportTarget &target)
{
    bool ok = false;
    target.imageId = cl.exportTarget.toLower().mid(kImagePrefix.size()).toInt(&ok);
    if (!ok) {
        printError(QStringLiteral("'%1' names no image: use image:ID with a whole number.").arg(cl.exportTarget));
        return false;
    }
    if (!cl.select.isEmpty() || !cl.search.isEmpty()) {
        printError(QStringLiteral("--select and --search are only used with object exports."));
        return false;
    }
    return true;
}

bool readObjectTarget(const SCommandLine &cl, ExportTarget &target)
{
    const QStringList planes = {QStringLiteral("object:xy"), QStringLiteral("object:xz"), QStringLiteral("object:yz")};
    target.plane = planes.indexOf(cl.exportTarget.toLower());
    if (target.plane < 0) {
        printError(QStringLiteral("unknown export target '%1': use image:ID, object:xy, object:xz or object:yz.")
                       .arg(cl.exportTarget));
        return false;
    }
    if (!cl.select.isEmpty() && !cl.search.isEmpty()) {
        printError(QStringLiteral("--select and --search cannot be combined: the search replaces the selection."));
        return false;
    }
    if (cl.select.startsWith(kImagePrefix)) {
        bool isNumber = false;
        target.selectImageId = cl.select.mid(kImagePrefix.size()).toInt(&isNumber);
        if (!isNumber) {
            printError(QStringLiteral("--select %1: use image:ID with a whole number.").arg(cl.select));
            return false;
        }
    } else if (!cl.select.isEmpty() && cl.select != QLatin1String("all")) {
        printError(QStringLiteral("unknown selection '%1': use --select all or --select image:ID.").arg(cl.select));
        return false;
    }
    QString searchError;
    if (!cl.search.isEmpty() && !(target.search = SSearchRequest::parse(cl.search, &searchError))) {
        printError(QStringLiteral("--search %1: %2.").arg(cl.search, searchError));
        return false;
    }
    return true;
}

// Hands the pages that reading and initialising used for a while (windows, tables) back to
// the system: freed in the middle of the heap, they would still count in the resident memory
// while the picture is painted. Once more after the paint, for its buffers while the picture
// is written out.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Once the picture is written nothing is left to do: the process ends here and hands the
// block's memory back to the system at once, instead of freeing millions of points table by
// table (a few milliseconds on a large block). Sanitizer builds end as usual, so that their
// leak check still sees every table.
int endWithoutTeardown(int status)
{
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    std::fflush(nullptr);
    std::_Exit(status);
#endif
    return status;
}

// Reads and initialises the project; warnings go to stderr.
bool readExportProject(const QString &projectFile, SProjectData &data)
{
    Mu::setSink([](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn || level == Mu::Level::Error || level == Mu::Level::Fatal)
            printError(QStringLiteral("warning: %1").arg(text));
    });
    data.setCodesWhileReading(true);
    if (const std::optional<SReportError> readError = SProjectOpener::readWithoutDialogs(projectFile, data)) {
        if (readError->first != 0)
            printError(QStringLiteral("error %1 while reading '%2': %3")
                           .arg(readError->first)
                           .arg(projectFile, readError->second));
        else
            printError(QStringLiteral("cannot read '%1': %2").arg(projectFile, readError->second.trimmed()));
        return false;
    }
    data.initialise();
    releaseFreedMemory();
    return true;
}

bool exportImage(const SCommandLine &cl, SProjectData &data, const ExportTarget &target,
                 SErrorColours::Colouring colouring, QString *error)
{
    if (data.projectFiles)
        colouring.sigma0 = data.projectFiles->sigma0;
    return exportImagePicture(data.mListImageData, target.imageId, cl.outFile, cl.zoomPercent, cl.show, error,
                              colouring);
}

// Exit code 1 with a message when the selection cannot be made.
int exportObject(const SCommandLine &cl, SProjectData &data, const ExportTarget &target,
                 const SErrorColours::Colouring &colouring, QString *error)
{
    SImage *selectedImage = nullptr;
    if (cl.select.startsWith(kImagePrefix)) {
        selectedImage = SImageList::find(target.selectImageId);
        if (!selectedImage) {
            printError(QStringLiteral("--select %1: the project '%2' has no image %3.")
                           .arg(cl.select, cl.projectFile)
                           .arg(target.selectImageId));
            return 1;
        }
    }
    const std::optional<SSearchRequest> search = target.search;
    const SObjectExportHook beforePaint = [selectedImage, search, colouring](SObjectCanvas &canvas) {
        canvas.setColouring(colouring);
        if (selectedImage)
            canvas.selectImagePoints(selectedImage, true);
        else if (search)
            canvas.selectPoints(*search);
    };
    const bool sigmas = data.projectFiles && data.projectFiles->inversion;
    try {
        if (exportObjectPicture(data.mListObjectData, sigmas, target.plane, cl.outFile, cl.zoomPercent, cl.show,
                                cl.select == QLatin1String("all"), error, beforePaint, releaseFreedMemory))
            return 0;
    } catch (const SException &e) {
        printError(QStringLiteral("error %1 while selecting points in '%2': %3")
                       .arg(e.code())
                       .arg(cl.projectFile, e.message()));
        return 1;
    }
    printError(*error);
    return 1;
}

} // namespace

int runExportMode(const SCommandLine &cl)
{
    const SOffscreenApplication app(cl.configFile);
    if (!app.configured())
        return 1;
    ExportTarget target;
    const bool image = cl.exportTarget.toLower().startsWith(kImagePrefix);
    if (!(image ? readImageTarget(cl, target) : readObjectTarget(cl, target)))
        return 1;
    SErrorColours::Colouring colouring;
    if (!exportColouring(cl, !image, &colouring))
        return 1;
    // Everything that can be checked before reading is checked first.
    SProjectData data;
    if (!readExportProject(cl.projectFile, data))
        return 1;
    QString error;
    if (!image)
        return endWithoutTeardown(exportObject(cl, data, target, colouring, &error));
    if (exportImage(cl, data, target, colouring, &error))
        return endWithoutTeardown(0);
    printError(error);
    return 1;
}
