// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line report of a project: the model after reading and initialising, as JSON.
// Reading and writing in one step: formats/SReportRun.h.
#pragma once

#include "patb/SProjectData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

class QIODevice;

// {code, message} of the error that ended a read: 0 and the dialog text for an error
// dialog, the exception's code and message for an SException.
using SReportError = std::pair<int, QString>;

// Writes the report document; streams so that a large block needs no copy in memory.
void writeProjectReportJson(QIODevice &out, const SProjectData &data, const QStringList &warnings,
                            const std::optional<SReportError> &error);
QByteArray projectReportJson(const SProjectData &data, const QStringList &warnings,
                             const std::optional<SReportError> &error);
