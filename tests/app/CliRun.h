// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the varlomin program as a user runs it, with no display.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct CliRun {
    int exitCode = -1; // -2 when the program crashed
    QByteArray out;
    QByteArray err;
};

// removeToo names further variables to leave out of the environment.
inline CliRun runVarlomin(const QStringList &args, const QStringList &removeToo = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString &name : removeToo)
        env.remove(name);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("VARLOMIN_BIN_DIR") + QStringLiteral("/varlomin"), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
