// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the costs that grow with the size of a block — opening, resident memory, painting
// the object view, selections, the whole-process export of the XY view and the JSON report —
// each against a floor measured in the same process, because absolute times on shared
// machines are noisy. One call measures one block and prints one table row; scripts/bench.sh
// runs the blocks and sums up the goals.
//
//   varlomin-bench --header
//   varlomin-bench --name M [--goals view|export] [--varlomin PATH] [--repeat N] PROJECT_FILE

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

// A read that never asks: errors stop it, progress is counted.
class QuietHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        std::fprintf(stderr, "read error: %s\n", qUtf8Printable(text));
        return SReadErrorChoice::Stop;
    }
    bool progress(const QString &, qint64, qint64) override
    {
        ++progressCalls;
        return true;
    }
    int progressCalls = 0;
};

// Best of n runs in milliseconds: the least disturbed run is the truest cost.
double bestOf(int n, const std::function<void()> &run)
{
    double best = 1e300;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

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

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Mu::setSink([](Mu::Level, const QString &) {});

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
    if (parser.isSet(QStringLiteral("header"))) {
        printHeader();
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "varlomin-bench: give exactly one project file.\n");
        return 2;
    }
    const QString projectFile = parser.positionalArguments().first();
    const QString name = parser.value(QStringLiteral("name")).isEmpty() ? QFileInfo(projectFile).baseName()
                                                                        : parser.value(QStringLiteral("name"));
    const int repeat = std::max(1, parser.value(QStringLiteral("repeat")).toInt());
    // The report and the export of the XY view, whole processes, against copying the
    // project's files to /dev/null. First of all: a child's resident peak counts the memory of
    // the process that started it, which must not hold a project yet.
    double reportRatio = 0.0, reportMs = 0.0, exportRatio = 0.0, exportMs = 0.0;
    qint64 exportPeakBytes = 0;
    const QString varlomin = parser.value(QStringLiteral("varlomin"));
    if (!varlomin.isEmpty()) {
        QStringList projectDirFiles;
        const QDir projectDir = QFileInfo(projectFile).absoluteDir();
        for (const QString &file : projectDir.entryList(QDir::Files))
            projectDirFiles << projectDir.filePath(file);
        const int processRepeat = std::min(repeat, 3);
        const double catMs = runMeasured(QStringLiteral("/bin/cat"), projectDirFiles, processRepeat).ms;
        reportMs = runMeasured(varlomin, {QStringLiteral("--report"), projectFile}, processRepeat).ms;
        reportRatio = catMs > 0.0 ? reportMs / catMs : 0.0;
        const QString picture = QDir::temp().filePath(QStringLiteral("varlomin-bench-%1.png").arg(getpid()));
        const ProcessRun exportRun = runMeasured(
            varlomin,
            {QStringLiteral("--export"), QStringLiteral("object:xy"), QStringLiteral("--out"), picture, projectFile},
            processRepeat);
        QFile::remove(picture);
        exportMs = exportRun.ms;
        exportRatio = catMs > 0.0 ? exportMs / catMs : 0.0;
        exportPeakBytes = exportRun.peakBytes;
    }

    // Memory next, in a process that has opened nothing yet.
    malloc_trim(0);
    const qint64 residentBefore = residentBytes();
    SProjectData data;
    if (!openProject(data, projectFile) || data.mListObjectData.isEmpty()) {
        std::fprintf(stderr, "varlomin-bench: '%s' could not be read completely.\n", qUtf8Printable(projectFile));
        return 1;
    }
    const qint64 residentAdded = residentBytes() - residentBefore;
    const qint64 observations = observationCount(data);
    const double bytesPerObservation = observations > 0 ? double(residentAdded) / double(observations) : 0.0;
    const int images = data.mListImageData.count();
    const int points = data.mListObjectData.count();

    // Floor of opening: the same bytes into memory, warm (the open has just read them).
    const QStringList files = projectFileSet(data);
    const double readMs = bestOf(repeat, [&] { readAllBytes(files); });

    data.close();
    const double openMs = bestOf(repeat, [&] {
        SProjectData again;
        openProject(again, projectFile);
        again.close();
    });
    openProject(data, projectFile);

    // Object view: the whole canvas at 100 %, a viewport-sized piece at 1600 %.
    QImage viewport(kViewportPixels, kViewportPixels, QImage::Format_ARGB32_Premultiplied);
    const double fillMs = bestOf(repeat, [&] {
        QPainter painter(&viewport);
        painter.fillRect(viewport.rect(), Qt::white);
    });
    SObjectCanvas view(kPlaneXY);
    view.applySettings(SSettings::readObjectViewerSettings());
    view.setObjectPoints(&data.mListObjectData, data.projectFiles && data.projectFiles->inversion);
    view.setZoom(kZoomOverview);
    const QRect overview = QRect(QPoint(0, 0), view.canvasSize()) & viewport.rect();
    const double paintOverviewMs = paintMs(view, viewport, overview, repeat);
    view.setZoom(kZoomClose);
    const QSize closeCanvas = view.canvasSize();
    const QRect closeRect(std::max(0, (closeCanvas.width() - kViewportPixels) / 2),
                          std::max(0, (closeCanvas.height() - kViewportPixels) / 2), kViewportPixels, kViewportPixels);
    const double paintCloseMs = paintMs(view, viewport, closeRect & QRect(QPoint(0, 0), closeCanvas), repeat);
    view.setZoom(kZoomOverview);

    // Selections over the whole list; each starts from no selection.
    const QRect wholeCanvas(QPoint(0, 0), view.canvasSize());
    const double rectMs = bestOf(repeat, [&] {
        view.selectPointsInRect(wholeCanvas, false);
        data.mListObjectData.deselectAll();
    });
    // A quarter of the ids, and the image in the middle of the list.
    const QString idsFrom = QString::number(data.mListObjectData.at(points / 4)->id());
    const QString idsTo = QString::number(data.mListObjectData.at(points / 2)->id());
    const double idsMs = bestOf(
        repeat, [&] { view.selectPoints(SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_PointId, idsFrom, idsTo)); });
    double imageMs = 0.0;
    if (images > 0) {
        SImage *middleImage = data.mListImageData.at(images / 2);
        imageMs = bestOf(repeat, [&] { view.selectImagePoints(middleImage, true); });
    }
    data.mListObjectData.deselectAll();

    const double exportPeak = observations > 0 ? double(exportPeakBytes) / double(observations) : 0.0;
    const double openRatio = readMs > 0.0 ? openMs / readMs : 0.0;
    const double paintRatio = fillMs > 0.0 ? paintOverviewMs / fillMs : 0.0;
    const double closeToOverview = paintOverviewMs > 0.0 ? paintCloseMs / paintOverviewMs : 0.0;
    std::printf(
        "%-22s %7d %9d %10lld | %8.1f %6.2f %6.1f | %8.2f %6.1f %9.3f | %7.2f %7.2f %7.2f | %8.0f %6.1f | %7.0f "
        "%6.1f %6.1f\n",
        qUtf8Printable(name), images, points, static_cast<long long>(observations), openMs, openRatio,
        bytesPerObservation, paintOverviewMs, paintRatio, closeToOverview, rectMs, idsMs, imageMs, reportMs,
        reportRatio, exportMs, exportRatio, exportPeak);

    const QString goalSet = parser.value(QStringLiteral("goals"));
    if (!goalSet.isEmpty()) {
        Goals goals;
        if (goalSet == QLatin1String("view")) {
            goals.check(openRatio <= kGoalOpenRatio, QStringLiteral("open"));
            goals.check(bytesPerObservation <= kGoalBytesPerObservation, QStringLiteral("memory"));
            goals.check(paintOverviewMs <= kGoalPaintMs, QStringLiteral("paint"));
            goals.check(closeToOverview <= kGoalCloseToOverview, QStringLiteral("paint-1600%"));
            goals.check(rectMs <= kGoalSelectionMs, QStringLiteral("rectangle-selection"));
            goals.check(idsMs <= kGoalSelectionMs, QStringLiteral("id-selection"));
            goals.check(imageMs <= kGoalSelectionMs, QStringLiteral("image-selection"));
        } else {
            goals.check(exportRatio > 0.0 && exportRatio <= kGoalExportToCat, QStringLiteral("export-open"));
            goals.check(reportMs > 0.0 && reportMs <= kGoalReportMs, QStringLiteral("report"));
            goals.check(exportPeak > 0.0 && exportPeak <= kGoalExportPeakBytesPerObservation,
                        QStringLiteral("export-memory"));
        }
        std::printf("GOALS %s %d %d %s\n", qUtf8Printable(name), goals.met, goals.total,
                    qUtf8Printable(goals.missed.join(QLatin1Char(','))));
    }
    data.close();
    return 0;
}
