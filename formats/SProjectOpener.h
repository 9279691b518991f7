// SPDX-License-Identifier: GPL-3.0-or-later
// The one way into a project, for the GUI and every command-line mode: a PAT-B project file, a
// COLMAP sparse model (its folder, or any of its files), a BAL problem or a Bundler v0.3 file,
// recognised from the content rather than the name, read into the model.
#pragma once

#include "patb/SPatbHandler.h"
#include "patb/SProjectData.h"
#include "patb/SProjectReport.h"

#include <QString>

#include <optional>

class SProjectOpener {
public:
    enum FormatE {
        PF_Patb,         // project file *.(p) and the result files it names
        PF_ColmapText,   // cameras.txt, images.txt, points3D.txt
        PF_ColmapBinary, // cameras.bin, images.bin, points3D.bin
        PF_Snavely       // BAL problem or Bundler v0.3 file, plain, .bz2 or .gz
    };

    // The format of path; anything not recognised as another format is taken for PAT-B, whose
    // reader then reports what is wrong. COLMAP gives its folder in *location, others path.
    static FormatE detect(const QString &path, QString *location = nullptr);
    static QString formatName(FormatE format);

    // Reads the project into data, reporting through handler as the PAT-B readers do. False when
    // the read stopped early. SException (inconsistent PAT-B files) is left to the caller.
    static bool read(const QString &path, SProjectData &data, SPatbHandler &handler);

    // Reads without dialogs, for the command-line modes: the error that ended the read (the
    // dialog's text with code 0, or the exception's code and message), none when it completed.
    // Warnings go to the message sink as usual; the caller initialises the data afterwards.
    static std::optional<SReportError> readWithoutDialogs(const QString &path, SProjectData &data);
};
