// SPDX-License-Identifier: GPL-3.0-or-later
// Opening other adjusters' results against reading their bytes: each BAL / Bundler file named on
// the command line, and a COLMAP binary model of about a million observations written first.
//   varlomin-formats-bench [--repeat N] [--colmap-images N] FILE...
// Times are CPU time of the thread, best of N: read = the file's bytes into memory, text = its
// text (decompressed where it is compressed), open = reader, initialisation and point index.
#include "formats/SProjectOpener.h"
#include "formats/STextSource.h"
#include "framework/Mu.h"
#include "tests/formats/ColmapWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int kObservationsPerImage = 2000;
constexpr int kRaysPerPoint = 8;
constexpr qint64 kReadChunk = 1 << 20;

class Quiet : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return SReadErrorChoice::Stop;
    }
};

// A ring of images around a cloud of points, each image observing kObservationsPerImage points.
ColmapWriter::Model syntheticModel(int images)
{
    QRandomGenerator random(5);
    ColmapWriter::Model m;
    m.cameras.push_back({1, "SIMPLE_RADIAL", 2, 4000, 3000, {3000, 2000, 1500, -0.01}});
    const int points = images * kObservationsPerImage / kRaysPerPoint;
    for (int k = 0; k < points; ++k)
        m.points.push_back(
            {uint64_t(k + 1), {random.generateDouble(), random.generateDouble(), random.generateDouble()}, 1.0, {}});
    for (int i = 0; i < images; ++i) {
        const double a = 2 * M_PI * i / images;
        ColmapWriter::Image image{uint32_t(i + 1),
                                  {std::cos(a / 2), 0, std::sin(a / 2), 0},
                                  {0, 0, 4},
                                  1,
                                  "image" + QByteArray::number(i) + ".jpg",
                                  {}};
        for (int j = 0; j < kObservationsPerImage; ++j) {
            const int k = int((qint64(i) * kObservationsPerImage / kRaysPerPoint + j) % points);
            image.points.push_back({random.bounded(4000.0), random.bounded(3000.0), int64_t(k + 1)});
            m.points[size_t(k)].track.push_back({image.id, uint32_t(j)});
        }
        m.images.push_back(std::move(image));
    }
    return m;
}

QStringList filesOf(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return {path};
    QStringList files;
    for (const QFileInfo &f : QDir(path).entryInfoList(QDir::Files))
        files << f.filePath();
    return files;
}

// CPU time of this thread in ms: the machine is shared, and waiting for a core is not our cost.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double bestOf(int repeat, const std::function<void()> &run)
{
    double best = 1e300;
    for (int r = 0; r < repeat; ++r) {
        const double start = cpuMs();
        run();
        best = std::min(best, cpuMs() - start);
    }
    return best;
}

void measure(const QString &name, const QString &path, int repeat)
{
    qint64 bytes = 0, observations = 0;
    const double read = bestOf(repeat, [&] {
        bytes = 0;
        QByteArray buffer(kReadChunk, Qt::Uninitialized);
        for (const QString &file : filesOf(path)) {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            for (qint64 n; (n = f.read(buffer.data(), kReadChunk)) > 0;)
                bytes += n;
        }
    });
    double text = 0.0;
    QFile raw(path);
    const bool compressed = !QFileInfo(path).isDir() && raw.open(QIODevice::ReadOnly) &&
                            STextSource::sniff(raw.read(4)) != STextSource::CM_None;
    if (!QFileInfo(path).isDir() && !compressed)
        text = read;
    else if (!QFileInfo(path).isDir())
        text = bestOf(repeat, [&] {
            STextSource source(path);
            source.open();
            std::string_view line;
            while (source.nextLine(&line)) {
            }
        });
    const double open = bestOf(repeat, [&] {
        SProjectData data;
        Quiet handler;
        SProjectOpener::read(path, data, handler);
        data.initialise();
        observations = 0;
        for (const SImage *image : data.mListImageData)
            observations += image->numberOfPoints();
        SImage::imagesOfPoint(0); // the point index, as the views build it
        data.close();
    });
    std::printf("%-26s %10lld %10lld | %9.1f %9.1f %9.1f | %6.1f %6.1f\n", qPrintable(name), observations, bytes, read,
                text, open, open / read, text > 0 ? open / text : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Mu::setSink([](Mu::Level, const QString &) {});
    QStringList args = app.arguments().mid(1);
    int repeat = 3, colmapImages = 500;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        const int value = args.isEmpty() ? 0 : args.takeFirst().toInt();
        if (option == QLatin1String("--repeat"))
            repeat = std::max(1, value);
        else if (option == QLatin1String("--colmap-images"))
            colmapImages = std::max(1, value);
    }
    std::printf("%-26s %10s %10s | %9s %9s %9s | %6s %6s\n", "input", "obs", "bytes", "read ms", "text ms", "open ms",
                "xread", "xtext");
    for (const QString &file : args)
        measure(QFileInfo(file).fileName(), file, repeat);
    QTemporaryDir dir;
    ColmapWriter::writeBinary(syntheticModel(colmapImages), dir.path());
    measure(QStringLiteral("COLMAP binary (synthetic)"), dir.path(), repeat);
    return 0;
}
