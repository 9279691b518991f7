// SPDX-License-Identifier: GPL-3.0-or-later
// The ini reader: the input is Pat.ini and, in the same bytes, PAT-B's current project file.
#include "patb/SPatbReader.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString ini = FuzzSupport::scratchFile("Pat.ini");
    FuzzSupport::writeFile(ini, data, size);
    qputenv("windir", FuzzSupport::scratchDir().toLocal8Bit());

    SProjectData project;
    FuzzSupport::StopHandler handler;
    SPatbReader reader(project, handler);
    reader.readPATini(QStringLiteral("PATB"), QStringLiteral("PATB_LAST_PROJ"));
    reader.readPATini(QStringLiteral("PAT"), QStringLiteral("PATH_PROGRAMS"));
    reader.readPATpro(ini, QStringLiteral("PROJECT"), QStringLiteral("PATB_OUT_GRAV"));
    return 0;
}
