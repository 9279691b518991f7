// SPDX-License-Identifier: GPL-3.0-or-later
// The COLMAP model reader in both encodings: the input holds the cameras, then the images and
// the points, each pair split by a four-byte length; it is read once as the text files and once
// as the binary files of a model.
#include "formats/SColmapReader.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzSupport::Pair cameras = FuzzSupport::split(data, size);
    const FuzzSupport::Pair rest = FuzzSupport::split(cameras.second, cameras.secondSize);
    for (const char *encoding : {"txt", "bin"}) {
        const QString dir = FuzzSupport::scratchFile(encoding);
        QDir().mkpath(dir);
        const auto file = [&dir, encoding](const char *base) {
            return QStringLiteral("%1/%2.%3").arg(dir, base, encoding);
        };
        FuzzSupport::writeFile(file("cameras"), cameras.first, cameras.firstSize);
        FuzzSupport::writeFile(file("images"), rest.first, rest.firstSize);
        FuzzSupport::writeFile(file("points3D"), rest.second, rest.secondSize);
        SProjectData model;
        FuzzSupport::StopHandler handler;
        SColmapReader(model, handler).read(dir);
        model.initialise();
        model.close();
    }
    return 0;
}
