// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: options of the command-line modes (report, picture export) and of
// the GUI, parsed without a display.
#pragma once

#include <QString>
#include <QStringList>

struct SCommandLine {
    enum class Mode { Gui, Help, Version, Report, Export, Stats, QualityReport, Error };

    Mode mode = Mode::Gui;
    QString error;        // for Mode::Error
    QString helpText;     // for Mode::Help
    QString projectFile;  // report and export; the GUI opens it at start-up
    QString configFile;   // --config
    QString exportTarget; // "image:ID" or "object:xy|xz|yz"
    QString outFile;
    int zoomPercent = 100;
    QStringList show;
    QString select;         // "all" or "image:ID"
    QString search;         // MODE:PAR1:PAR2[:pattern]
    QString colourBy;       // --colour-by: residual, standardized or sigma
    double threshold = 3.0; // --threshold: top of the colour ramp
    bool json = false;      // --stats --json
    QString reportFile;     // --quality-report: .html or .pdf
    QString reportTitle;    // --title

    // Only arguments beginning with "--" are options; the GUI's own "-p" and any other
    // argument are left alone.
    static SCommandLine parse(const QStringList &arguments);
    // The process's arguments, decoded from the local 8-bit encoding.
    static SCommandLine parse(int argc, char **argv);
};
