// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the costs that grow with the size of a block — opening, resident memory, painting
// the object view, selections, the whole-process export of the XY view and the JSON report —
// each against a floor measured in the same process, because absolute times on shared
// machines are noisy. One call measures one block and prints one table row; scripts/bench.sh
// runs the blocks and sums up the goals.
//
//   varlomin-bench --header
//   varlomin-bench --name M [--goals view|export] [--varlomin PATH] [--repeat N] PROJECT_FILE

#include "bench/BenchSupport.h"
#include "framework/Mu.h"
#include "misc/SImageData.h"
#include "objectviewer/SObjectCanvas.h"
#include "patb/SPatbReader.h"
#include "patb/SProjectData.h"
#include "prefs/SSettings.h"
#include "search/SSearchRequest.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kViewportPixels = 1000;
constexpr int kZoomOverview = 100;
constexpr int kZoomClose = 1600;
constexpr int kPlaneXY = 0;

// Goals of the view on the medium block (--goals view).
constexpr double kGoalOpenRatio = 3.0;
constexpr double kGoalBytesPerObservation = 48.0;
constexpr double kGoalPaintMs = 40.0;
constexpr double kGoalCloseToOverview = 0.1;
constexpr double kGoalSelectionMs = 30.0;
// Goals of the command-line modes on the export block (--goals export): the whole process.
constexpr double kGoalExportToCat = 6.0;
constexpr double kGoalReportMs = 500.0;
constexpr double kGoalExportPeakBytesPerObservation = 60.0;

using BenchSupport::bestOf;
using BenchSupport::QuietHandler;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// The files that the read opened, as the project record names them.
QStringList projectFileSet(const SProjectData &data)
{
    const ProjectFiles &f = *data.projectFiles;
    QStringList files;
    for (const QString &name :
         {f.projectFile, f.imageFile, f.orientationFile, f.objectFile, f.observationFile, f.cameraFile})
        if (QFileInfo(name).isFile())
            files << name;
    return files;
}

qint64 readAllBytes(const QStringList &files)
{
    qint64 total = 0;
    for (const QString &name : files) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    }
    return total;
}

bool openProject(SProjectData &data, const QString &projectFile)
{
    QuietHandler handler;
    SPatbReader reader(data, handler);
    const bool complete = reader.readProjectFile(projectFile);
    data.initialise();
    // The project dock asks for the links of every point; the index is part of an open project.
    if (!data.mListObjectData.isEmpty())
        SImage::numberOfLinks(data.mListObjectData.at(0)->id());
    return complete;
}

qint64 observationCount(const SProjectData &data)
{
    qint64 n = 0;
    for (const SImage *image : data.mListImageData)
        n += image->numberOfPoints();
    return n;
}

double paintMs(SObjectCanvas &view, QImage &image, const QRect &rect, int repeat)
{
    return bestOf(repeat, [&] {
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        view.paintCanvas(painter, rect);
    });
}

struct ProcessRun {
    double ms = 0.0;
    qint64 peakBytes = 0; // resident peak of the process
};

// Runs a program to its end with its output discarded; best of n by time, with the resident
// peak of that run from the kernel's accounting.
ProcessRun runMeasured(const QString &program, const QStringList &arguments, int repeat)
{
    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString &a : arguments)
        args.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun best{1e300, 0};
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            break;
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (ms < best.ms)
            best = {ms, qint64(usage.ru_maxrss) * 1024};
    }
    posix_spawn_file_actions_destroy(&actions);
    return best;
}

struct Goals {
    int met = 0;
    int total = 0;
    QStringList missed;
    void check(bool ok, const QString &what)
    {
        ++total;
        if (ok)
            ++met;
        else
            missed << what;
    }
};

void printHeader()
{
    std::printf("%-22s %7s %9s %10s | %8s %6s %6s | %8s %6s %9s | %7s %7s %7s | %8s %6s | %7s %6s %6s\n", "block",
                "images", "points", "obs", "open ms", "xread", "B/obs", "paint ms", "xfill", "1600/100", "rect ms",
                "ids ms", "img ms", "rep ms", "xcat", "exp ms", "xcat", "peak/o");
}

// The figures of one block, in the order of the table's columns.
struct Figures {
    int images = 0;
    int points = 0;
    qint64 observations = 0;
    double openMs = 0.0, openRatio = 0.0, bytesPerObservation = 0.0;
    double paintOverviewMs = 0.0, paintRatio = 0.0, closeToOverview = 0.0;
    double rectMs = 0.0, idsMs = 0.0, imageMs = 0.0;
    double reportMs = 0.0, reportRatio = 0.0, exportMs = 0.0, exportRatio = 0.0;
    qint64 exportPeakBytes = 0;
    double exportPeak() const { return observations > 0 ? double(exportPeakBytes) / double(observations) : 0.0; }
};

struct Options {
    QString name;
    QString projectFile;
    QString goals;
    QString varlomin;
    int repeat = 1;
};

// False with the exit code when the program ends here (--header, or a wrong call).
bool readOptions(const QCoreApplication &app, Options &options, int *exitCode)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("header"), QStringLiteral("Print the table header and stop.")});
    parser.addOption(
        {QStringLiteral("name"), QStringLiteral("Name of the block in the table."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("goals"),
                      QStringLiteral("Check the goals of the view (on the medium block) or of the command-line export "
                                     "and report (on the export block)."),
                      QStringLiteral("view|export")});
    parser.addOption(
        {QStringLiteral("varlomin"), QStringLiteral("The varlomin program for the report."), QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("repeat"), QStringLiteral("Runs per measurement (best counts)."),
                      QStringLiteral("N"), QStringLiteral("5")});
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file (.(p))."));
    parser.process(app);
    *exitCode = 0;
    if (parser.isSet(QStringLiteral("header"))) {
        printHeader();
        return false;
    }
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "varlomin-bench: give exactly one project file.\n");
        *exitCode = 2;
        return false;
    }
    options.projectFile = parser.positionalArguments().first();
    options.name = parser.value(QStringLiteral("name")).isEmpty() ? QFileInfo(options.projectFile).baseName()
                                                                  : parser.value(QStringLiteral("name"));
    options.repeat = std::max(1, parser.value(QStringLiteral("repeat")).toInt());
    options.goals = parser.value(QStringLiteral("goals"));
    options.varlomin = parser.value(QStringLiteral("varlomin"));
    return true;
}

// The report and the export of the XY view, whole processes, against copying the project's
// files to /dev/null.
void measureProcesses(const Options &options, Figures &f)
{
    QStringList projectDirFiles;
    const QDir projectDir = QFileInfo(options.projectFile).absoluteDir();
    for (const QString &file : projectDir.entryList(QDir::Files))
        projectDirFiles << projectDir.filePath(file);
    const int processRepeat = std::min(options.repeat, 3);
    const double catMs = runMeasured(QStringLiteral("/bin/cat"), projectDirFiles, processRepeat).ms;
    f.reportMs = runMeasured(options.varlomin, {QStringLiteral("--report"), options.projectFile}, processRepeat).ms;
    f.reportRatio = catMs > 0.0 ? f.reportMs / catMs : 0.0;
    const QString picture = QDir::temp().filePath(QStringLiteral("varlomin-bench-%1.png").arg(getpid()));
    const ProcessRun exportRun = runMeasured(options.varlomin,
                                             {QStringLiteral("--export"), QStringLiteral("object:xy"),
                                              QStringLiteral("--out"), picture, options.projectFile},
                                             processRepeat);
    QFile::remove(picture);
    f.exportMs = exportRun.ms;
    f.exportRatio = catMs > 0.0 ? f.exportMs / catMs : 0.0;
    f.exportPeakBytes = exportRun.peakBytes;
}

// Opening against reading the same bytes, and the memory an open block holds. False when the
// block cannot be read completely; otherwise data holds the block.
bool measureOpen(const Options &options, SProjectData &data, Figures &f)
{
    malloc_trim(0);
    const qint64 residentBefore = residentBytes();
    if (!openProject(data, options.projectFile) || data.mListObjectData.isEmpty()) {
        std::fprintf(stderr, "varlomin-bench: '%s' could not be read completely.\n",
                     qUtf8Printable(options.projectFile));
        return false;
    }
    const qint64 residentAdded = residentBytes() - residentBefore;
    f.observations = observationCount(data);
    f.bytesPerObservation = f.observations > 0 ? double(residentAdded) / double(f.observations) : 0.0;
    f.images = data.mListImageData.count();
    f.points = data.mListObjectData.count();

    // Floor of opening: the same bytes into memory, warm (the open has just read them).
    const QStringList files = projectFileSet(data);
    const double readMs = bestOf(options.repeat, [&] { readAllBytes(files); });
    data.close();
    f.openMs = bestOf(options.repeat, [&] {
        SProjectData again;
        openProject(again, options.projectFile);
        again.close();
    });
    f.openRatio = readMs > 0.0 ? f.openMs / readMs : 0.0;
    openProject(data, options.projectFile);
    return true;
}

// The object view: the whole canvas at 100 %, a viewport-sized piece at 1600 %, against
// filling the viewport.
void measurePaint(SObjectCanvas &view, int repeat, Figures &f)
{
    QImage viewport(kViewportPixels, kViewportPixels, QImage::Format_ARGB32_Premultiplied);
    const double fillMs = bestOf(repeat, [&] {
        QPainter painter(&viewport);
        painter.fillRect(viewport.rect(), Qt::white);
    });
    view.setZoom(kZoomOverview);
    const QRect overview = QRect(QPoint(0, 0), view.canvasSize()) & viewport.rect();
    f.paintOverviewMs = paintMs(view, viewport, overview, repeat);
    view.setZoom(kZoomClose);
    const QSize closeCanvas = view.canvasSize();
    const QRect closeRect(std::max(0, (closeCanvas.width() - kViewportPixels) / 2),
                          std::max(0, (closeCanvas.height() - kViewportPixels) / 2), kViewportPixels, kViewportPixels);
    const double paintCloseMs = paintMs(view, viewport, closeRect & QRect(QPoint(0, 0), closeCanvas), repeat);
    view.setZoom(kZoomOverview);
    f.paintRatio = fillMs > 0.0 ? f.paintOverviewMs / fillMs : 0.0;
    f.closeToOverview = f.paintOverviewMs > 0.0 ? paintCloseMs / f.paintOverviewMs : 0.0;
}

// Selections over the whole list; each starts from no selection.
void measureSelections(SObjectCanvas &view, SProjectData &data, int repeat, Figures &f)
{
    SObjectPointList &points = data.mListObjectData;
    const QRect wholeCanvas(QPoint(0, 0), view.canvasSize());
    f.rectMs = bestOf(repeat, [&] {
        view.selectPointsInRect(wholeCanvas, false);
        points.deselectAll();
    });
    // A quarter of the ids, and the image in the middle of the list.
    const QString idsFrom = QString::number(points.at(f.points / 4)->id());
    const QString idsTo = QString::number(points.at(f.points / 2)->id());
    f.idsMs = bestOf(
        repeat, [&] { view.selectPoints(SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_PointId, idsFrom, idsTo)); });
    if (f.images > 0) {
        SImage *middleImage = data.mListImageData.at(f.images / 2);
        f.imageMs = bestOf(repeat, [&] { view.selectImagePoints(middleImage, true); });
    }
    points.deselectAll();
}

void printRow(const QString &name, const Figures &f)
{
    std::printf(
        "%-22s %7d %9d %10lld | %8.1f %6.2f %6.1f | %8.2f %6.1f %9.3f | %7.2f %7.2f %7.2f | %8.0f %6.1f | %7.0f "
        "%6.1f %6.1f\n",
        qUtf8Printable(name), f.images, f.points, static_cast<long long>(f.observations), f.openMs, f.openRatio,
        f.bytesPerObservation, f.paintOverviewMs, f.paintRatio, f.closeToOverview, f.rectMs, f.idsMs, f.imageMs,
        f.reportMs, f.reportRatio, f.exportMs, f.exportRatio, f.exportPeak());
}

void printGoals(const QString &goalSet, const QString &name, const Figures &f)
{
    Goals goals;
    if (goalSet == QLatin1String("view")) {
        goals.check(f.openRatio <= kGoalOpenRatio, QStringLiteral("open"));
        goals.check(f.bytesPerObservation <= kGoalBytesPerObservation, QStringLiteral("memory"));
        goals.check(f.paintOverviewMs <= kGoalPaintMs, QStringLiteral("paint"));
        goals.check(f.closeToOverview <= kGoalCloseToOverview, QStringLiteral("paint-1600%"));
        goals.check(f.rectMs <= kGoalSelectionMs, QStringLiteral("rectangle-selection"));
        goals.check(f.idsMs <= kGoalSelectionMs, QStringLiteral("id-selection"));
        goals.check(f.imageMs <= kGoalSelectionMs, QStringLiteral("image-selection"));
    } else {
        goals.check(f.exportRatio > 0.0 && f.exportRatio <= kGoalExportToCat, QStringLiteral("export-open"));
        goals.check(f.reportMs > 0.0 && f.reportMs <= kGoalReportMs, QStringLiteral("report"));
        goals.check(f.exportPeak() > 0.0 && f.exportPeak() <= kGoalExportPeakBytesPerObservation,
                    QStringLiteral("export-memory"));
    }
    std::printf("GOALS %s %d %d %s\n", qUtf8Printable(name), goals.met, goals.total,
                qUtf8Printable(goals.missed.join(QLatin1Char(','))));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Mu::setSink([](Mu::Level, const QString &) {});
    Options options;
    int exitCode = 0;
    if (!readOptions(app, options, &exitCode))
        return exitCode;

    Figures figures;
    // Processes first: a child's resident peak counts the memory of the process that started
    // it, which must not hold a project yet. Memory next, in a process that has opened nothing.
    if (!options.varlomin.isEmpty())
        measureProcesses(options, figures);
    SProjectData data;
    if (!measureOpen(options, data, figures))
        return 1;
    SObjectCanvas view(kPlaneXY);
    view.applySettings(SSettings::readObjectViewerSettings());
    view.setObjectPoints(&data.mListObjectData, data.projectFiles && data.projectFiles->inversion);
    measurePaint(view, options.repeat, figures);
    measureSelections(view, data, options.repeat, figures);

    printRow(options.name, figures);
    if (!options.goals.isEmpty())
        printGoals(options.goals, options.name, figures);
    data.close();
    return 0;
}
