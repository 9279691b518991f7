// SPDX-License-Identifier: GPL-3.0-or-later
// The object and observation reader: the input holds the (o) file and the (c) file.
#include "misc/SException.h"
#include "patb/SPatbReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzSupport::Pair files = FuzzSupport::split(data, size);
    const QString objects = FuzzSupport::scratchFile("block.(o)");
    const QString observations = FuzzSupport::scratchFile("block.(c)");
    FuzzSupport::writeFile(objects, files.first, files.firstSize);
    FuzzSupport::writeFile(observations, files.second, files.secondSize);

    SProjectData model;
    FuzzSupport::StopHandler handler;
    SPatbReader reader(model, handler);
    try {
        reader.ReadObjectFiles(objects, observations);
    } catch (const SException &) {
    }
    model.initialise();
    return 0;
}
