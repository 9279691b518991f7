// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: names the program, forms the log and configuration file
// names, reads the configuration, keeps the information table and the help file.
#pragma once

#include <QApplication>
#include <QMap>
#include <QString>

namespace Mx {

class App : public QApplication {
    Q_OBJECT
public:
    App(const QString &name, int &argc, char **argv);
    ~App() override;

    static App *getRep();

    // Forms "<config dir>/<name>/<logDir>/<name><logExt>" and ".../<cfgDir>/<name><cfgExt>" and
    // opens the log. The folders are relative to "<config dir>/<name>"; empty puts the file there
    // itself. False when a folder cannot be made or the log cannot be opened.
    bool init(bool log, const QString &logDir, const QString &logExt, const QString &cfgDir, const QString &cfgExt);

    static void setInfo(const QString &key, const QString &value);
    static QString info(const QString &key);

    bool readUserCfg(bool quiet);
    bool readSystemCfg(bool quiet);
    // A configuration file named on the command line replaces the user's file.
    static void setUserCfgOverride(const QString &path);

    bool addLibraryPath(const QString &path);
    bool setHelpFile(const QString &path);
    QString helpFile() const { return mHelpFile; }
    bool reduceLogFiles(int keep = kKeptLogFiles);

    QString userCfgFile() const;
    QString systemCfgFile() const;
    QString logFile() const { return mLogFile; }

    static constexpr int kKeptLogFiles = 5;

private:
    QString mLogFile;
    QString mHelpFile;
};

} // namespace Mx
