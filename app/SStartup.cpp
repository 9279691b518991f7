// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SStartup.h"

#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace SStartup {

bool readConfiguration(Mx::App &app, const QString &configOverride)
{
    if (!configOverride.isEmpty()) {
        QString error;
        if (!Mx::CfgStore::load(configOverride, &error)) {
            Mu::warnDlg("Can't read the configuration file: %s", qPrintable(error));
            return false;
        }
        return true;
    }
    if (!app.readUserCfg(false) && !app.readSystemCfg(false))
        Mu::warn("%s", qPrintable(Mu::tr("Can't find a valid configuration-file! Using internal defaults.")));
    return true;
}

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

bool wantsCurrentProject(const QStringList &arguments)
{
    for (const QString &arg : arguments)
        if (arg.startsWith(QLatin1String("-p")))
            return true;
    return false;
}

} // namespace SStartup
