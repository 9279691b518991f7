// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics as one JSON document: every table and histogram in full.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <QJsonObject>

QJsonObject statisticsJson(const SBlockStatistics &stats);
