// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers appended to UTF-8 text with the same characters as QString::number, without a QString
// per number: the text tables of a large block hold tens of thousands of them.
#pragma once

#include <QtGlobal>

#include <string>

// QString::number(value, 'f', decimals)
void appendFixed(std::string &out, double value, int decimals);
// QString::number(value)
void appendInteger(std::string &out, qint64 value);
