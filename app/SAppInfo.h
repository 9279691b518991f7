// SPDX-License-Identifier: GPL-3.0-or-later
// The application's information table (version, dates, authors, history, support) and
// the texts built from it.
#pragma once

#include <QString>

namespace SAppInfo {

inline constexpr const char *kAppName = "Varlomin";
inline constexpr const char *kVersion = "1.0.5";
// The endings of the log and configuration files that the framework names after the program.
inline constexpr const char *kLogExt = ".log";
inline constexpr const char *kCfgExt = ".cfg";

// Fills the framework's information table in its fixed order.
void fill();
QString aboutText();
QString historyText();
QString supportText();

} // namespace SAppInfo
