// SPDX-License-Identifier: GPL-3.0-or-later
// The BAL / Bundler reader: the input is the file, plain or compressed.
#include "formats/SSnavelyReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString file = FuzzSupport::scratchFile("problem.txt");
    FuzzSupport::writeFile(file, data, size);
    SProjectData model;
    FuzzSupport::StopHandler handler;
    SSnavelyReader(model, handler).read(file);
    model.initialise();
    model.close();
    return 0;
}
