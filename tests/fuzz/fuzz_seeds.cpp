// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seed corpora of the fuzz targets into <out>/<target>/: a small block from the
// example-block generator, cut into the inputs each target expects, and a few hand-made records.
#include "tests/fuzz/FuzzSupport.h"
#include "tools/BlockGenerator.h"
#include "tools/PatbWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kSeedImages = 3;
constexpr int kSeedPoints = 20;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
    auto file = [&block](const char *name) { return readAll(block.filePath(QLatin1String(name))); };

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
    return ok ? 0 : 1;
}
