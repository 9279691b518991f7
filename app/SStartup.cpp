// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SStartup.h"

#include "framework/Mu.h"
#include "framework/MxApp.h"
#include "framework/MxCfg.h"

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

bool wantsCurrentProject(const QStringList &arguments)
{
    for (const QString &arg : arguments)
        if (arg.startsWith(QLatin1String("-p")))
            return true;
    return false;
}

} // namespace SStartup
