// SPDX-License-Identifier: GPL-3.0-or-later
// The short list of findings at the top of the report: each statistic judged by a stated
// threshold, so that a reader sees at once what needs attention and why.
#pragma once

#include "report/SReportDocument.h"
#include "report/SReportSettings.h"

struct SBlockStatistics;

namespace SReport {

Findings judgeBlock(const SBlockStatistics &stats, const SReportSettings::Thresholds &thresholds);

} // namespace SReport
