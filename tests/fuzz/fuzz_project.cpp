// SPDX-License-Identifier: GPL-3.0-or-later
// The project-file parser. The input is the "*.(p)" file, placed next to a small complete
// block so that names the fuzzer keeps lead on into the result readers.
#include "misc/SException.h"
#include "patb/SPatbReader.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/BlockGenerator.h"

namespace {

constexpr int kBlockImages = 2;
constexpr int kBlockPoints = 12;

void writeBlockOnce()
{
    static const bool written = [] {
        BlockGenerator::Options options;
        options.imageCount = kBlockImages;
        options.pointCount = kBlockPoints;
        options.outputDirectory = FuzzSupport::scratchDir();
        options.name = QStringLiteral("block");
        QString error;
        if (!BlockGenerator(options).write(&error))
            std::abort();
        // No Pat.ini in windir: the camera file is looked for next to the project file.
        qputenv("windir", (FuzzSupport::scratchDir() + QStringLiteral("/no-windows")).toLocal8Bit());
        return true;
    }();
    (void)written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeBlockOnce();
    const QString project = FuzzSupport::scratchFile("fuzzed.(p)");
    FuzzSupport::writeFile(project, data, size);

    SProjectData model;
    FuzzSupport::StopHandler handler;
    SPatbReader reader(model, handler);
    try {
        if (reader.readProjectFile(project))
            model.initialise();
    } catch (const SException &) {
        // Inconsistent files are reported through the exception; what was read stays usable.
        model.initialise();
    }
    return 0;
}
