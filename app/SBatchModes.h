// SPDX-License-Identifier: GPL-3.0-or-later
// The modes that run without a window (JSON report, picture export, statistics, quality
// report), and what they share: the configuration and an application without a display.
#pragma once

#include <QString>

#include <memory>

class QGuiApplication;
struct SCommandLine;

// Each returns the process exit code.
int runReportMode(const SCommandLine &cl);
int runExportMode(const SCommandLine &cl);
int runStatsMode(const SCommandLine &cl);
int runQualityReportMode(const SCommandLine &cl);

// The user's configuration as the GUI would read it, or the file named with --config; false
// with a message on stderr when the named file cannot be used.
bool loadConfiguration(const QString &configFile);
// Loads the configuration file named by --config; false with a message on stderr.
bool loadConfigOverride(const QString &file);

// A GUI application on the offscreen platform, for the modes that paint or set text (fonts
// need a GUI application; offscreen needs no display), with the configuration loaded.
class SOffscreenApplication {
public:
    explicit SOffscreenApplication(const QString &configFile);
    ~SOffscreenApplication();
    SOffscreenApplication(const SOffscreenApplication &) = delete;
    SOffscreenApplication &operator=(const SOffscreenApplication &) = delete;

    // False when the configuration named with --config could not be used.
    bool configured() const { return mConfigured; }

private:
    int mArgc = 1;
    char mName[9] = "varlomin";
    char *mArgv[2] = {mName, nullptr};
    std::unique_ptr<QGuiApplication> mApp;
    bool mConfigured = false;
};
