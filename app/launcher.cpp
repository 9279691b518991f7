// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of `varlomin`, a lean launcher. The widget libraries (Qt Widgets, Charts, OpenGL) cost
// every process start milliseconds and megabytes, since all their symbols are bound when the
// program is loaded; the command-line modes never use them. So they run here, linked only
// against the widget-free libraries, and the window is handed to the full program by exec:
// the same process, arguments, environment, standard streams and exit code.
#include "app/SCommandLine.h"
#include "app/SCommandLineRun.h"
#include "app/SStartup.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

constexpr const char *kFullProgram = "varlomin-gui";

// The folder of this executable with links resolved; empty when the system does not say.
std::string ownFolder()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string file(path, std::size_t(length));
    return file.substr(0, file.rfind('/'));
}

// Beside the launcher in the build tree; in an installation the private folder
// <prefix>/lib/varlomin/ of the launcher's <prefix>/bin/.
std::string fullProgramPath()
{
    const std::string folder = ownFolder();
    const std::string beside = folder + '/' + kFullProgram;
    if (::access(beside.c_str(), X_OK) == 0)
        return beside;
    return folder.substr(0, folder.rfind('/')) + "/lib/varlomin/" + kFullProgram;
}

// Returns only when the full program could not be started.
int runFullProgram(char **argv)
{
    const std::string path = fullProgramPath();
    ::execv(path.c_str(), argv);
    std::fprintf(stderr, "varlomin: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
    return 127;
}

} // namespace

int main(int argc, char **argv)
{
    const SCommandLine cl = SCommandLine::parse(argc, argv);
    if (cl.mode == SCommandLine::Mode::Gui)
        return runFullProgram(argv);
    SStartup::prepareRuntimeDir();
    return *runCommandLineMode(cl, argc, argv);
}
