// SPDX-License-Identifier: GPL-3.0-or-later
// A PAT-B project written by a test: the four result files and the project file naming them.
#pragma once

#include "tools/PatbWriter.h"

#include <QDir>

// Writes base.(i), base.(e), base.(o), base.(c) and base.(p) into dir; returns the project file.
inline QString writeResultFiles(const QString &dir, const QString &base, const QByteArray &i, const QByteArray &e,
                                const QByteArray &o, const QByteArray &c, const QString &camera = "none.cam")
{
    const QDir d(dir);
    PatbWriter::writeFile(d.filePath(base + ".(i)"), i);
    PatbWriter::writeFile(d.filePath(base + ".(e)"), e);
    PatbWriter::writeFile(d.filePath(base + ".(o)"), o);
    PatbWriter::writeFile(d.filePath(base + ".(c)"), c);
    PatbWriter::writeFile(d.filePath(base + ".(p)"),
                          PatbWriter::projectFile(PatbWriter::projectFileNames(base, camera)));
    return d.filePath(base + ".(p)");
}
