// SPDX-License-Identifier: GPL-3.0-or-later
// The image and orientation reader: the input holds the (i) file and the (e) file.
#include "misc/SException.h"
#include "patb/SPatbReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzSupport::Pair files = FuzzSupport::split(data, size);
    const QString images = FuzzSupport::scratchFile("block.(i)");
    const QString orientations = FuzzSupport::scratchFile("block.(e)");
    FuzzSupport::writeFile(images, files.first, files.firstSize);
    FuzzSupport::writeFile(orientations, files.second, files.secondSize);

    SProjectData model;
    FuzzSupport::StopHandler handler;
    SPatbReader reader(model, handler);
    try {
        reader.ReadImageFiles(images, orientations);
    } catch (const SException &) {
    }
    model.initialise();
    return 0;
}
