// SPDX-License-Identifier: GPL-3.0-or-later
// Steps of the start-up that tests run on their own.
#pragma once

#include <QString>
#include <QStringList>

namespace Mx {
class App;
}

namespace SStartup {

// Reads the user's configuration, or else the system's; warns once and leaves the
// defaults when neither can be read. A file named with --config must be readable:
// false (with an error dialog) when it is not.
bool readConfiguration(Mx::App &app, const QString &configOverride);

// Gives the process a private runtime folder when the session names none, so that Qt
// does not warn about it: the command-line modes print only their own output.
void prepareRuntimeDir();

// True when an argument, the program path included, begins with "-p".
bool wantsCurrentProject(const QStringList &arguments);

} // namespace SStartup
