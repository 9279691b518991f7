// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportSettings.h"

#include "framework/MxCfg.h"

namespace SReportSettings {

namespace {

double positive(const Mx::Cfg &cfg, const QString &key, double def)
{
    bool ok = false;
    const double value = cfg.readString(key, QString()).toDouble(&ok);
    return ok && value > 0 ? value : def;
}

} // namespace

Thresholds readThresholds()
{
    const Mx::Cfg cfg(kGroupReport);
    Thresholds t;
    t.sigma0Max = positive(cfg, kSigma0Max, kDefaultSigma0Max);
    t.controlRmsTolerance = positive(cfg, kControlRmsTolerance, kDefaultControlRmsTolerance);
    t.imageRmsFactor = positive(cfg, kImageRmsFactor, kDefaultImageRmsFactor);
    t.worstImages = int(positive(cfg, kWorstImages, kDefaultWorstImages));
    t.eliminatedPercentMax = positive(cfg, kEliminatedPercentMax, kDefaultEliminatedPercentMax);
    return t;
}

} // namespace SReportSettings
