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
#include "search/SPointSearch.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
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

namespace {

// A search request as the search tab would send it.
struct SearchRequest {
    SGlobal::SearchModeE mode = SGlobal::SM_PointId;
    QString par1; // null for an unused bound
    QString par2;
    bool pattern = false;
};

const QLatin1Char kSearchSeparator(':');
constexpr int kMaxSearchFields = 4; // MODE:PAR1:PAR2:pattern

// The --search modes by SGlobal::SearchModeE.
const QStringList &searchModeNames()
{
    static const QStringList names = {QStringLiteral("point-id"),  QStringLiteral("image-id"),
                                      QStringLiteral("links"),     QStringLiteral("residuals"),
                                      QStringLiteral("sigmas"),    QStringLiteral("blunder"),
                                      QStringLiteral("point-code")};
    return names;
}

bool isPatternText(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char('?') && c != QLatin1Char('*') && !c.isDigit())
            return false;
    return true;
}

// Checks the bounds as the search tab does; a null text is an unused bound.
bool checkBounds(const SearchRequest &r, bool integers, QString *error)
{
    if (r.par1.isNull() && r.par2.isNull()) {
        *error = QStringLiteral("needs a minimum, a maximum or both");
        return false;
    }
    double bound[2] = {0.0, 0.0};
    const QString *text[2] = {&r.par1, &r.par2};
    for (int i = 0; i < 2; ++i) {
        if (text[i]->isNull())
            continue;
        bool ok = false;
        bound[i] = integers ? text[i]->toInt(&ok) : text[i]->toFloat(&ok);
        if (!ok || bound[i] < 0.0) {
            *error =
                QStringLiteral("'%1' is no %2 bound")
                    .arg(*text[i], integers ? QStringLiteral("whole non-negative") : QStringLiteral("non-negative"));
            return false;
        }
    }
    if (!r.par1.isNull() && !r.par2.isNull() && bound[0] > bound[1]) {
        *error = QStringLiteral("minimum %1 is above maximum %2").arg(r.par1, r.par2);
        return false;
    }
    return true;
}

// Reads MODE:PAR1:PAR2[:pattern]; empty fields, and missing ones at the end, are unused bounds.
bool parseSearch(const QString &text, SearchRequest *request, QString *error)
{
    const QStringList fields = text.split(kSearchSeparator);
    const int mode = searchModeNames().indexOf(fields.first());
    if (mode < 0) {
        *error = QStringLiteral("unknown mode '%1' (use %2)")
                     .arg(fields.first(), searchModeNames().join(QStringLiteral(", ")));
        return false;
    }
    if (fields.size() > kMaxSearchFields) {
        *error = QStringLiteral("too many fields: use MODE:PAR1:PAR2[:pattern]");
        return false;
    }
    SearchRequest &r = *request;
    r.mode = SGlobal::SearchModeE(mode);
    auto field = [&fields](int i) { return i < fields.size() && !fields[i].isEmpty() ? fields[i] : QString(); };
    r.par1 = field(1);
    r.par2 = field(2);
    if (fields.size() == kMaxSearchFields) {
        if (fields.last() != QLatin1String("pattern")) {
            *error = QStringLiteral("the fourth field must be 'pattern', not '%1'").arg(fields.last());
            return false;
        }
        r.pattern = true;
    }
    switch (r.mode) {
    case SGlobal::SM_PointId:
    case SGlobal::SM_ImageId:
        if (r.pattern) {
            if (!r.par2.isNull() || !isPatternText(r.par1)) {
                *error = QStringLiteral("a pattern is PAR1 alone, made of digits, '?' and '*'");
                return false;
            }
            if (r.par1.isNull())
                r.par1 = QStringLiteral(""); // an empty pattern: accepted, matches nothing
            return true;
        }
        return checkBounds(r, true, error);
    case SGlobal::SM_Links:
    case SGlobal::SM_Residuals:
    case SGlobal::SM_Sigmas:
        if (r.pattern) {
            *error = QStringLiteral("'pattern' is only used with point-id and image-id");
            return false;
        }
        return checkBounds(r, r.mode == SGlobal::SM_Links, error);
    case SGlobal::SM_Blunder:
        if (r.pattern || !r.par1.isNull() || !r.par2.isNull()) {
            *error = QStringLiteral("blunder takes no parameters");
            return false;
        }
        return true;
    case SGlobal::SM_PointCode: {
        static const QRegularExpression mask(QStringLiteral("^[01]{%1}$").arg(SGlobal::kPointCodeIndexCount));
        if (r.pattern || !r.par2.isNull() || !mask.match(r.par1).hasMatch() || !r.par1.contains(QLatin1Char('1'))) {
            *error = QStringLiteral("point-code takes a mask of %1 characters 0 or 1 with at least one 1, "
                                    "one per point-code index (e.g. 0000110 for projection centres)")
                         .arg(SGlobal::kPointCodeIndexCount);
            return false;
        }
        return true;
    }
    }
    return false;
}

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
    SearchRequest request;
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
        if (!cl.search.isEmpty() && !parseSearch(cl.search, &request, &searchError)) {
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
        else if (!cl.search.isEmpty())
            select = [request](SObjectCanvas &canvas) {
                canvas.selectPoints(SGlobal::SL_Erase,
                                    SPointSearch(request.mode, request.par1, request.par2, request.pattern));
            };
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
