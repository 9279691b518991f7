// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxApp.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

namespace Mx {
namespace {

QMap<QString, QString> &infoTable()
{
    static QMap<QString, QString> table;
    return table;
}

QString &userCfgOverride()
{
    static QString path;
    return path;
}

QString configDir(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + name;
}

// A folder given relative to the program's configuration folder; empty is that folder itself.
QString folderIn(const QString &base, const QString &folder)
{
    return folder.isEmpty() ? base : QDir::cleanPath(QDir(base).filePath(folder));
}

} // namespace

App::App(const QString &name, int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(name);
    setObjectName(name);
}

App::~App()
{
    Mu::setSink(nullptr);
    Mu::closeLogFile();
}

App *App::getRep() { return qobject_cast<App *>(QCoreApplication::instance()); }

bool App::init(bool log, const QString &logDir, const QString &logExt, const QString &cfgDir, const QString &cfgExt)
{
    const QString name = applicationName();
    const QString dir = folderIn(configDir(name), logDir);
    if (!QDir().mkpath(folderIn(configDir(name), cfgDir)) && log)
        return false;
    if (!QDir().mkpath(dir) && log)
        return false;
    CfgStore::setUserFile(userCfgOverride().isEmpty() ? CfgStore::defaultUserFile(name, cfgExt, cfgDir)
                                                      : userCfgOverride());
    QString system;
    const QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &d : dirs)
        if (d != QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            system = d + QLatin1Char('/') + name + QLatin1Char('/') + name + cfgExt;
    CfgStore::setSystemFile(system);
    if (!log)
        return true;
    // Keep the previous runs' logs as <name>.1.log, <name>.2.log, ...
    mLogFile = dir + QLatin1Char('/') + name + logExt;
    for (int i = 2 * kKeptLogFiles; i >= 1; --i) {
        const QString older = QStringLiteral("%1/%2.%3%4").arg(dir, name).arg(i).arg(logExt);
        const QString newer = i == 1 ? mLogFile : QStringLiteral("%1/%2.%3%4").arg(dir, name).arg(i - 1).arg(logExt);
        if (QFileInfo::exists(newer)) {
            QFile::remove(older);
            QFile::rename(newer, older);
        }
    }
    return Mu::openLogFile(mLogFile);
}

void App::setInfo(const QString &key, const QString &value) { infoTable().insert(key, value); }
QString App::info(const QString &key) { return infoTable().value(key); }

void App::setUserCfgOverride(const QString &path) { userCfgOverride() = path; }

QString App::userCfgFile() const { return CfgStore::userFile(); }
QString App::systemCfgFile() const { return CfgStore::systemFile(); }

namespace {

// A missing file is normal (nothing saved yet); a present file that cannot be read is
// reported, and it is left alone until the user saves.
bool readCfgFile(const QString &path, bool quiet)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    QString error;
    const bool ok = CfgStore::load(path, &error);
    if (!ok && !quiet)
        Mu::warn("Can't read configuration-file: %s", qPrintable(error));
    return ok;
}

} // namespace

bool App::readUserCfg(bool quiet) { return readCfgFile(CfgStore::userFile(), quiet); }

bool App::readSystemCfg(bool quiet) { return readCfgFile(CfgStore::systemFile(), quiet); }

bool App::addLibraryPath(const QString &path)
{
    // Relative paths are taken from the program's folder, where the build puts them, or from
    // the program's library folder of an installation (<prefix>/lib/<name>/).
    QString full = QDir::isAbsolutePath(path) ? path : applicationDirPath() + QLatin1Char('/') + path;
    if (!QFileInfo(full).isDir() && !QDir::isAbsolutePath(path))
        full =
            applicationDirPath() + QStringLiteral("/../lib/") + applicationName().toLower() + QLatin1Char('/') + path;
    if (!QFileInfo(full).isDir())
        return false;
    // Image plug-ins found so far stay known after the search path changes.
    QImageReader::supportedImageFormats();
    QApplication::addLibraryPath(full);
    return true;
}

bool App::setHelpFile(const QString &path)
{
    // Never through the working folder: the program may be started from anywhere.
    // Relative names are found beside the program (the build copies the manual there)
    // or in the installation's documentation folder, seen from <prefix>/bin/ or from the
    // program's private folder <prefix>/lib/<name>/.
    QStringList candidates;
    if (QDir::isAbsolutePath(path)) {
        candidates << path;
    } else {
        const QString dir = applicationDirPath();
        const QString docFile =
            QStringLiteral("/share/doc/") + applicationName().toLower() + QLatin1Char('/') + QFileInfo(path).fileName();
        candidates << dir + QLatin1Char('/') + path << dir + QStringLiteral("/..") + docFile
                   << dir + QStringLiteral("/../..") + docFile;
    }
    for (const QString &c : candidates) {
        if (QFileInfo(c).isFile()) {
            mHelpFile = QFileInfo(c).absoluteFilePath();
            return true;
        }
    }
    return false;
}

bool App::reduceLogFiles(int keep)
{
    if (mLogFile.isEmpty())
        return false;
    const QFileInfo fi(mLogFile);
    bool ok = true;
    for (int i = keep + 1; i <= 2 * kKeptLogFiles + 1; ++i) {
        const QString old =
            QStringLiteral("%1/%2.%3.%4").arg(fi.absolutePath(), fi.completeBaseName()).arg(i).arg(fi.suffix());
        if (QFileInfo::exists(old))
            ok = QFile::remove(old) && ok;
    }
    return ok;
}

} // namespace Mx
