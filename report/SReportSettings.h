// SPDX-License-Identifier: GPL-3.0-or-later
// The thresholds the report judges a block by: group, keys and defaults named once, read
// through the configuration like the viewers' settings. Values are stored as text so that
// a tolerance can have decimals.
#pragma once

#include <QString>

namespace SReportSettings {

inline const QString kGroupReport = QStringLiteral("Report");
inline const QString kSigma0Max = QStringLiteral("Sigma0Max");
inline const QString kControlRmsTolerance = QStringLiteral("ControlRmsTolerance");
inline const QString kImageRmsFactor = QStringLiteral("ImageRmsFactor");
inline const QString kWorstImages = QStringLiteral("WorstImages");
inline const QString kEliminatedPercentMax = QStringLiteral("EliminatedPercentMax");

// Sigma 0 is in the units of the image coordinates (micrometres for a film or digital
// camera in PAT-B, pixels for a block from structure from motion).
inline constexpr double kDefaultSigma0Max = 5.0;
// Ground units: the RMS of the accepted control residuals of one axis.
inline constexpr double kDefaultControlRmsTolerance = 0.1;
// An image is named when its RMS of |v| exceeds this many times the block's.
inline constexpr double kDefaultImageRmsFactor = 2.0;
inline constexpr int kDefaultWorstImages = 25;
// Share of eliminated image points, in percent of all image points, that a robust
// adjustment is expected to stay under.
inline constexpr double kDefaultEliminatedPercentMax = 5.0;

struct Thresholds {
    double sigma0Max = kDefaultSigma0Max;
    double controlRmsTolerance = kDefaultControlRmsTolerance;
    double imageRmsFactor = kDefaultImageRmsFactor;
    int worstImages = kDefaultWorstImages;
    double eliminatedPercentMax = kDefaultEliminatedPercentMax;
};

// The configuration's values; a value that is no positive number falls back to its default.
Thresholds readThresholds();

} // namespace SReportSettings
