// SPDX-License-Identifier: GPL-3.0-or-later
// Files and outside programs as the tests use them.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace TestFiles {

// Writes bytes to path, making its folder first.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool hasProgram(const QString &name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// A program's standard output; null when the program is missing or fails.
inline QByteArray runProgram(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    if (!hasProgram(program))
        return {};
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    const QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

} // namespace TestFiles
