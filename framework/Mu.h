// SPDX-License-Identifier: GPL-3.0-or-later
// Message functions of the framework: printf-style reports that go to the message
// window (when one is set up), to the log file, and to whatever sink a command-line
// mode installs. Widget-free so the model, the readers and the tools can report too.
#pragma once

#include <QString>
#include <functional>

namespace Mu {

enum class Level { Debug, Note, Info, Msg, Status, Warn, Error, Fatal };

// Where msg() sends its text; the type argument combines these.
enum MsgTargetE { MT_Log = 0x02, MT_Window = 0x40 };
// Progress reports: to the log and to the message window (or a command-line mode's sink).
inline constexpr int kMsgProgress = MT_Log | MT_Window;

// printf-style; text arguments are expected as Latin-1/UTF-8 char pointers (qPrintable).
void debug(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void note(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void info(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void msg(int type, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
void status(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
bool warn(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void warnDlg(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void fatalDlg(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void fatal(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Internal consistency failure: warns ">>> ERR: '<cond>' in <source> (<line>) <<<".
void assertFailed(const char *condition, const char *source, int line);

// Value to text, as shown to the user.
QString ascii(int value);
QString ascii(double value, int decimals = 3);

// Translation of user-visible texts (context "Varlomin").
QString tr(const char *text);

// Where messages go. A sink receives every message (debug included) after formatting.
using Sink = std::function<void(Level level, const QString &text)>;
void setSink(Sink sink);
// Dialogs (warnDlg, fatalDlg) are shown by this hook when set; otherwise they are printed.
using DialogHook = std::function<void(Level level, const QString &text)>;
void setDialogHook(DialogHook hook);
// Called by fatal/fatalDlg before the process exits; tests may throw from it.
using FatalHook = std::function<void(const QString &text)>;
void setFatalHook(FatalHook hook);

// Log file that receives every message, debug traces included.
bool openLogFile(const QString &path);
void closeLogFile();
QString logFilePath();

} // namespace Mu

#define MU_CHECK(cond, source) ((cond) ? true : (Mu::assertFailed(#cond, source, __LINE__), false))
