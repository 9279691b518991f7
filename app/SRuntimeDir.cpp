// SPDX-License-Identifier: GPL-3.0-or-later
// The runtime folder of the command-line modes, apart from the rest of start-up, which needs
// the widget application.
#include "app/SStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace SStartup {

void prepareRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    // The folder Qt would fall back to, but made by us with the rights it checks for.
    const QString dir = QDir::tempPath() + QStringLiteral("/runtime-varlomin-%1").arg(::getuid());
    if (!QDir().mkpath(dir))
        return;
    if (!QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return;
    if (QFileInfo(dir).ownerId() != ::getuid())
        return; // someone else's: Qt will say so
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

} // namespace SStartup
