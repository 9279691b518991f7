// SPDX-License-Identifier: GPL-3.0-or-later
// The application's information table (version, dates, authors, history, support) and
// the texts built from it.
#pragma once

#include <QString>

namespace SAppInfo {

inline constexpr const char *kAppName = "Varlomin";
inline constexpr const char *kVersion = "1.0.5";

// Fills the framework's information table in its fixed order.
void fill();
QString aboutText();
QString historyText();
QString supportText();

} // namespace SAppInfo
