// SPDX-License-Identifier: GPL-3.0-or-later
// Access to one group of the in-memory configuration. The configuration is read from
// INI files at start-up and written back to the user's file only on request
// (CfgStore::saveUser), so readers never touch a file.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QMap>
#include <QRect>
#include <QString>

namespace Mx {

class Cfg {
public:
    explicit Cfg(const QString &group);

    void beginGroup(const QString &group);
    QString group() const { return mGroup; }

    bool hasKey(const QString &key) const;
    int readNum(const QString &key, int def) const;
    bool readBool(const QString &key, bool def) const;
    QString readString(const QString &key, const QString &def) const;
    QColor readColor(const QString &key, const QColor &def) const;
    QFont readFont(const QString &key, const QFont &def) const;
    QRect readRect(const QString &key, const QRect &def) const;

    void writeEntry(const QString &key, int value);
    void writeEntry(const QString &key, const QString &value);
    void writeEntry(const QString &key, const QColor &value);
    void writeEntry(const QString &key, const QFont &value);
    void writeEntry(const QString &key, const QRect &value);
    // A main window's tool-bar layout (QMainWindow::saveState()).
    void writeEntry(const QString &key, const QByteArray &layout);

private:
    QString mGroup;
};

// The process-wide in-memory configuration and its files.
class CfgStore {
public:
    // Replaces the in-memory values by the file's; false when the file is missing,
    // unreadable or not a valid INI file (the memory is then left unchanged).
    static bool load(const QString &path, QString *error = nullptr);
    // Writes every value atomically (temporary file, then rename).
    static bool save(const QString &path, QString *error = nullptr);
    static void clear();

    static QString value(const QString &group, const QString &key, bool *found = nullptr);
    static void setValue(const QString &group, const QString &key, const QString &value);
    static QMap<QString, QString> all(); // "group/key" -> value

    // The user's file of a program when no file is named on the command line:
    // "<config dir>/<name>/<cfgDir>/<name><cfgExt>" (empty cfgDir: in "<config dir>/<name>").
    static QString defaultUserFile(const QString &name, const QString &cfgExt, const QString &cfgDir = QString());
    // File names the application formed at init (see Mx::App).
    static void setUserFile(const QString &path);
    static QString userFile();
    static void setSystemFile(const QString &path);
    static QString systemFile();
};

} // namespace Mx
