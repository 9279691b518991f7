// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxCfg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>

namespace Mx {
namespace {

struct Store {
    QMap<QString, QString> values; // "group/key" -> text as stored in the file
    QString userFile;
    QString systemFile;
};

Store &store()
{
    static Store s;
    return s;
}

QString fullKey(const QString &group, const QString &key) { return group + QLatin1Char('/') + key; }

} // namespace

// --- CfgStore --------------------------------------------------------------------

bool CfgStore::load(const QString &path, QString *error)
{
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) {
        if (error)
            *error = QStringLiteral("'%1' does not exist or is not a file").arg(path);
        return false;
    }
    if (!fi.isReadable()) {
        if (error)
            *error = QStringLiteral("'%1' is not readable").arg(path);
        return false;
    }
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid configuration file").arg(path);
        return false;
    }
    QMap<QString, QString> loaded;
    const QStringList keys = ini.allKeys();
    for (const QString &k : keys) {
        const QVariant v = ini.value(k);
        // An unquoted value with commas comes back as a list; keep the text as written.
        loaded.insert(k, v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString());
    }
    store().values = loaded;
    return true;
}

bool CfgStore::save(const QString &path, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString tmp = path + QStringLiteral(".tmp");
    QFile::remove(tmp);
    {
        QSettings ini(tmp, QSettings::IniFormat);
        for (auto it = store().values.cbegin(); it != store().values.cend(); ++it)
            ini.setValue(it.key(), it.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            QFile::remove(tmp);
            if (error)
                *error = QStringLiteral("cannot write '%1'").arg(tmp);
            return false;
        }
    }
    // rename() replaces the old file in one step: a crash leaves either file, never half of one.
    if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(tmp);
        if (error)
            *error = QStringLiteral("cannot replace '%1'").arg(path);
        return false;
    }
    return true;
}

void CfgStore::clear() { store().values.clear(); }

QString CfgStore::value(const QString &group, const QString &key, bool *found)
{
    const auto it = store().values.constFind(fullKey(group, key));
    if (found)
        *found = it != store().values.cend();
    return it != store().values.cend() ? *it : QString();
}

void CfgStore::setValue(const QString &group, const QString &key, const QString &value)
{
    store().values.insert(fullKey(group, key), value);
}

QMap<QString, QString> CfgStore::all() { return store().values; }

QString CfgStore::defaultUserFile(const QString &name, const QString &cfgExt, const QString &cfgDir)
{
    const QString base =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + name;
    const QString dir = cfgDir.isEmpty() ? base : QDir::cleanPath(QDir(base).filePath(cfgDir));
    return dir + QLatin1Char('/') + name + cfgExt;
}

void CfgStore::setUserFile(const QString &path) { store().userFile = path; }
QString CfgStore::userFile() { return store().userFile; }
void CfgStore::setSystemFile(const QString &path) { store().systemFile = path; }
QString CfgStore::systemFile() { return store().systemFile; }

// --- Cfg -------------------------------------------------------------------------

Cfg::Cfg(const QString &group) : mGroup(group) {}

void Cfg::beginGroup(const QString &group) { mGroup = group; }

bool Cfg::hasKey(const QString &key) const
{
    bool found = false;
    CfgStore::value(mGroup, key, &found);
    return found;
}

int Cfg::readNum(const QString &key, int def) const
{
    bool found = false;
    const QString text = CfgStore::value(mGroup, key, &found).trimmed();
    bool ok = false;
    const int v = text.toInt(&ok);
    return found && ok ? v : def;
}

bool Cfg::readBool(const QString &key, bool def) const
{
    bool found = false;
    const QString text = CfgStore::value(mGroup, key, &found).trimmed().toLower();
    if (!found)
        return def;
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? v != 0 : def;
}

QString Cfg::readString(const QString &key, const QString &def) const
{
    bool found = false;
    const QString text = CfgStore::value(mGroup, key, &found);
    return found ? text : def;
}

QColor Cfg::readColor(const QString &key, const QColor &def) const
{
    bool found = false;
    const QColor c(CfgStore::value(mGroup, key, &found).trimmed());
    return found && c.isValid() ? c : def;
}

QFont Cfg::readFont(const QString &key, const QFont &def) const
{
    bool found = false;
    const QString text = CfgStore::value(mGroup, key, &found);
    QFont f;
    return found && f.fromString(text) ? f : def;
}

QRect Cfg::readRect(const QString &key, const QRect &def) const
{
    bool found = false;
    const QStringList parts = CfgStore::value(mGroup, key, &found).split(QLatin1Char(','));
    if (!found || parts.size() != 4)
        return def;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return def;
    }
    return QRect(v[0], v[1], v[2], v[3]);
}

void Cfg::writeEntry(const QString &key, int value) { CfgStore::setValue(mGroup, key, QString::number(value)); }

void Cfg::writeEntry(const QString &key, const QString &value) { CfgStore::setValue(mGroup, key, value); }

void Cfg::writeEntry(const QString &key, const QColor &value)
{
    CfgStore::setValue(mGroup, key, value.name(QColor::HexRgb));
}

void Cfg::writeEntry(const QString &key, const QFont &value) { CfgStore::setValue(mGroup, key, value.toString()); }

void Cfg::writeEntry(const QString &key, const QRect &value)
{
    CfgStore::setValue(
        mGroup, key,
        QStringLiteral("%1,%2,%3,%4").arg(value.x()).arg(value.y()).arg(value.width()).arg(value.height()));
}

void Cfg::writeEntry(const QString &key, const QByteArray &layout)
{
    CfgStore::setValue(mGroup, key, QString::fromLatin1(layout.toBase64()));
}

} // namespace Mx
