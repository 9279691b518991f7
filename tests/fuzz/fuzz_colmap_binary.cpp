// SPDX-License-Identifier: GPL-3.0-or-later
// The COLMAP binary model reader: the input holds cameras.bin, then images.bin and points3D.bin,
// each pair split by a four-byte length.
#include "formats/SColmapReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzSupport::Pair cameras = FuzzSupport::split(data, size);
    const FuzzSupport::Pair rest = FuzzSupport::split(cameras.second, cameras.secondSize);
    FuzzSupport::writeFile(FuzzSupport::scratchFile("cameras.bin"), cameras.first, cameras.firstSize);
    FuzzSupport::writeFile(FuzzSupport::scratchFile("images.bin"), rest.first, rest.firstSize);
    FuzzSupport::writeFile(FuzzSupport::scratchFile("points3D.bin"), rest.second, rest.secondSize);
    SProjectData model;
    FuzzSupport::StopHandler handler;
    SColmapReader(model, handler).read(FuzzSupport::scratchDir());
    model.initialise();
    model.close();
    return 0;
}
