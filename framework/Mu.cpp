// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/Mu.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace Mu {
namespace {

Sink gSink;
DialogHook gDialogHook;
FatalHook gFatalHook;
QFile *gLog = nullptr;

QString vformat(const char *fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0)
        return QString::fromUtf8(fmt);
    QByteArray buf(n + 1, '\0');
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    buf.resize(n);
    return QString::fromUtf8(buf);
}

const char *levelTag(Level level)
{
    switch (level) {
    case Level::Debug: return "DEBUG";
    case Level::Note: return "NOTE";
    case Level::Info: return "INFO";
    case Level::Msg: return "MSG";
    case Level::Status: return "STATUS";
    case Level::Warn: return "WARN";
    case Level::Error: return "ERROR";
    case Level::Fatal: return "FATAL";
    }
    return "?";
}

void writeLog(Level level, const QString &text)
{
    if (!gLog)
        return;
    QTextStream out(gLog);
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ' ' << levelTag(level) << ": " << text << '\n';
    out.flush();
}

void emitMessage(Level level, const QString &text)
{
    writeLog(level, text);
    if (gSink)
        gSink(level, text);
}

[[noreturn]] void endProgram(Level level, const QString &text)
{
    emitMessage(level, text);
    if (level == Level::Fatal && gDialogHook)
        gDialogHook(level, text);
    else if (!gSink)
        std::fprintf(stderr, "%s\n", qPrintable(text));
    if (gFatalHook)
        gFatalHook(text);
    closeLogFile();
    std::exit(1);
}

} // namespace

#define MU_FORMAT(fmt)                                                                                                 \
    va_list args;                                                                                                      \
    va_start(args, fmt);                                                                                               \
    const QString text = vformat(fmt, args);                                                                           \
    va_end(args)

void debug(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    writeLog(Level::Debug, text); // traces stay in the log
}

void note(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    emitMessage(Level::Note, text);
}

void info(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    emitMessage(Level::Info, text);
}

void msg(int type, const char *fmt, ...)
{
    MU_FORMAT(fmt);
    if (type & MT_Log)
        writeLog(Level::Msg, text);
    if ((type & MT_Window) && gSink)
        gSink(Level::Msg, text);
}

void status(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    emitMessage(Level::Status, text);
}

bool warn(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    emitMessage(Level::Warn, text);
    return true;
}

void warnDlg(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    emitMessage(Level::Error, text);
    if (gDialogHook)
        gDialogHook(Level::Error, text);
    else if (!gSink)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void fatalDlg(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    endProgram(Level::Fatal, text);
}

void fatal(const char *fmt, ...)
{
    MU_FORMAT(fmt);
    // No dialog: the text goes to the log and the message window only.
    writeLog(Level::Fatal, text);
    if (gSink)
        gSink(Level::Fatal, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
    if (gFatalHook)
        gFatalHook(text);
    closeLogFile();
    std::exit(1);
}

void assertFailed(const char *condition, const char *source, int line)
{
    warn(">>> ERR: '%s' in %s (%d) <<<", condition, source, line);
}

QString ascii(int value) { return QString::number(value); }
QString ascii(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString tr(const char *text) { return QCoreApplication::translate("Varlomin", text); }

void setSink(Sink sink) { gSink = std::move(sink); }
void setDialogHook(DialogHook hook) { gDialogHook = std::move(hook); }
void setFatalHook(FatalHook hook) { gFatalHook = std::move(hook); }

bool openLogFile(const QString &path)
{
    closeLogFile();
    auto *file = new QFile(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        delete file;
        return false;
    }
    gLog = file;
    return true;
}

void closeLogFile()
{
    delete gLog;
    gLog = nullptr;
}

QString logFilePath() { return gLog ? gLog->fileName() : QString(); }

} // namespace Mu
