// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the fuzz targets into <out>/<target>/: a small block from the
// example-block generator, cut into the inputs each target expects, and a few hand-made records.
#include "tests/common/TestFiles.h"
#include "tests/formats/ColmapWriter.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/BlockGenerator.h"
#include "tools/PatbWriter.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kSeedImages = 3;
constexpr int kSeedPoints = 20;

using TestFiles::readFile;

bool writeSeed(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(dir);
    QString error;
    if (!PatbWriter::writeFile(QDir(dir).filePath(name), bytes, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

// A BAL problem, a Bundler file and a COLMAP model of two images, in both encodings.
bool writeOtherFormatSeeds(const QDir &out)
{
    const QByteArray bal = "2 2 3\n0 0 1.5 -2\n1 0 3 4\n1 1 -5 6.25\n"
                           "0.1 0.2 0.3 1 2 -20 500 0.01 0.001\n-0.1 0 0.2 -1 0 -25 450 0 0\n1 2 3\n-1 0.5 2\n";
    const QByteArray bundler = "# Bundle file v0.3\n2 1\n500 0.01 0\n1 0 0\n0 1 0\n0 0 1\n0 0 -10\n"
                               "0 0 0\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n1 2 0\n255 0 0\n2 0 3 10 20 1 4 -5 6\n";
    ColmapWriter::Model m;
    m.cameras.push_back({1, "OPENCV", 4, 640, 480, {500, 510, 320, 240, 0.01, -0.002, 0.001, 0.0005}});
    m.cameras.push_back({2, "SIMPLE_RADIAL_FISHEYE", 8, 640, 480, {400, 320, 240, 0.01}});
    m.images.push_back({1, {1, 0, 0, 0}, {0, 0, 5}, 1, "a.jpg", {{320, 240, 7}, {1, 1, -1}, {300, 200, 8}}});
    m.images.push_back({2, {0.99, 0.1, 0, 0}, {1, 0, 5}, 2, "b.jpg", {{310, 250, 7}}});
    m.points.push_back({7, {0, 0, 0}, 0.5, {{1, 0}, {2, 0}}});
    m.points.push_back({8, {-0.1, -0.2, 0.3}, 0.5, {{1, 2}}});
    QTemporaryDir dir;
    ColmapWriter::writeText(m, dir.filePath("t"));
    ColmapWriter::writeBinary(m, dir.filePath("b"));
    auto model = [&dir](const char *folder, const char *ext) {
        auto f = [&](const char *base) { return readFile(dir.filePath(QString("%1/%2.%3").arg(folder, base, ext))); };
        return FuzzSupport::joinPair(f("cameras"), FuzzSupport::joinPair(f("images"), f("points3D")));
    };
    return writeSeed(out.filePath("snavely"), "bal", bal) && writeSeed(out.filePath("snavely"), "bundler", bundler) &&
           writeSeed(out.filePath("colmap"), "text", model("t", "txt")) &&
           writeSeed(out.filePath("colmap"), "binary", model("b", "bin"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir blockDir;
    BlockGenerator::Options options;
    options.imageCount = kSeedImages;
    options.pointCount = kSeedPoints;
    options.outputDirectory = blockDir.path();
    QString error;
    if (!blockDir.isValid() || !BlockGenerator(options).write(&error)) {
        std::fprintf(stderr, "cannot generate the seed block: %s\n", qPrintable(error));
        return 1;
    }
    const QDir block(blockDir.path());
    auto file = [&block](const char *name) { return readFile(block.filePath(QLatin1String(name))); };

    using namespace PatbWriter;
    const QByteArray oneImage = imageHeader(12) + imagePoint(0, 4711, 10.5, -3.25, 0.004, -0.002) +
                                imagePoint(7, 4712, -1.0, 2.0, 0.1, 0.1) + imageTrailer();
    const QByteArray oneOrientation = orientationRecord(12, 1, 100.0, 200.0, 1500.0, 4.0, 9.0, 16.0);
    const QByteArray objects =
        statisticsRecord(0.8, 2.5, kInversionDone) + objectRecord(3, 4711, 1.0, 2.0, 3.0, 0.01, 0.01, 0.04);
    const QByteArray observations = observationRecord(OT_ControlX, 0, 4711, 1.0, 0.012, 0.5) +
                                    observationRecord(OT_CentreY, 1, 12, 200.0, -0.1, 0.2);

    const QByteArray camera = file("block.cam");
    bool ok =
        writeSeed(out.filePath("ini"), "Pat.ini", file("Pat.ini")) &&
        writeSeed(out.filePath("ini"), "block.pro", file("block.pro")) &&
        writeSeed(out.filePath("project"), "block.(p)", file("block.(p)")) &&
        writeSeed(out.filePath("images"), "block", FuzzSupport::joinPair(file("block.(i)"), file("block.(e)"))) &&
        writeSeed(out.filePath("images"), "one-image", FuzzSupport::joinPair(oneImage, oneOrientation)) &&
        writeSeed(out.filePath("objects"), "block", FuzzSupport::joinPair(file("block.(o)"), file("block.(c)"))) &&
        writeSeed(out.filePath("objects"), "one-point", FuzzSupport::joinPair(objects, observations)) &&
        writeSeed(out.filePath("camera"), "block", QByteArray(1, char(camera.left(9).trimmed().toInt())) + camera) &&
        writeSeed(out.filePath("camera"), "centred", QByteArray(1, char(12)) + cameraRecord(12, -115, 115, 230, 230));
    return ok && writeOtherFormatSeeds(out) ? 0 : 1;
}
