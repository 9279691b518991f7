// SPDX-License-Identifier: GPL-3.0-or-later
// What the format tests share: files written by the test, the shared data folder when it is
// there, and outside programs.
#pragma once

#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "tests/common/StopHandler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace FormatsFixture {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// The shared data folder (BAL problems), empty when this machine has none.
inline QString sharedData(const QString &relative)
{
    const QString root = qEnvironmentVariable("VARLOMIN_SHARED_DATA");
    const QString path = QDir(root).filePath(relative);
    return !root.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

// Runs a program; its standard output, or a null array when it is missing or fails.
inline QByteArray run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    QByteArray out = process.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

} // namespace FormatsFixture
