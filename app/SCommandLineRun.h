// SPDX-License-Identifier: GPL-3.0-or-later
// The modes that run without a window, dispatched the same way by the full program and by the
// lean launcher that runs them without loading the widget libraries.
#pragma once

#include <optional>

struct SCommandLine;

// The exit code of a mode without a window (help, version, report, export, statistics, quality
// report, or the message about an unusable command line); nothing for the GUI.
std::optional<int> runCommandLineMode(const SCommandLine &cl, int &argc, char **argv);
