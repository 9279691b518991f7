// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line report of any project the opener reads: read, initialise, write the JSON.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reads and initialises the project, collecting warnings, and writes the report.
// Returns 0 when no error ended the read, else 1.
int runProjectReport(const QString &projectFile, QIODevice &out);
int runProjectReport(const QString &projectFile, QByteArray *jsonOut);
