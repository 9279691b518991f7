// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SSettings.h"

#include "framework/MxCfg.h"

#include <algorithm>
#include <cmath>

namespace SSettings {

QString viewerOnKey(int plane) { return QStringLiteral("ViewerOn_%1").arg(plane); }
QString viewerKey(int index) { return QStringLiteral("Viewer_%1").arg(index); }
QString geometryKey(int index) { return QStringLiteral("Geometry_%1").arg(index); }
QString windowStateKey(int index) { return QStringLiteral("WindowState_%1").arg(index); }
QString pointOnKey(int index) { return QStringLiteral("PointOn_%1").arg(index); }
QString pointSymbolKey(int index) { return QStringLiteral("PointSymbol_%1").arg(index); }
QString pointColorKey(int index) { return QStringLiteral("PointColor_%1").arg(index); }
QString pointSizeKey(int index) { return QStringLiteral("PointSize_%1").arg(index); }

QFont defaultTextFont()
{
    QFont font(QStringLiteral("Arial"), 8);
    return font;
}

namespace {

int paintableSize(int size) { return std::clamp(size, 0, kMaxPaintedSize); }

void readPointStyles(const Mx::Cfg &cfg, std::array<PointStyle, SGlobal::kPointCodeIndexCount> &points)
{
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
        points[i].on = cfg.readBool(pointOnKey(i), kDefaultPointOn);
        points[i].symbol = cfg.readNum(pointSymbolKey(i), kDefaultPointSymbol);
        points[i].color = cfg.readColor(pointColorKey(i), kDefaultPointColor);
        points[i].size = paintableSize(cfg.readNum(pointSizeKey(i), kDefaultPointSize));
    }
}

} // namespace

ImageViewerSettings readImageViewerSettings()
{
    ImageViewerSettings s;
    Mx::Cfg cfg(kGroupImageViewer);
    s.bgColor = cfg.readColor(kBgColor, kDefaultBgColor);
    s.textFont = cfg.readFont(kTextFont, defaultTextFont());
    s.largestResidualColor = cfg.readColor(kLargestResidualColor, kDefaultLargestResidualColor);
    s.largestResidualSize = paintableSize(cfg.readNum(kLargestResidualSize, kDefaultLargestResidualSize));
    s.pointIdsOn = cfg.readBool(kPointIdsOn, kDefaultPointIdsOn);
    s.blundersOn = cfg.readBool(kBlundersOn, kDefaultBlundersOn);
    s.scale = cfg.readNum(kScale, kDefaultScale);
    cfg.beginGroup(kGroupPoints);
    readPointStyles(cfg, s.points);
    s.blunderColor = cfg.readColor(kBlunderColor, kDefaultBlunderColor);
    s.blunderSize = paintableSize(cfg.readNum(kBlunderSize, kDefaultBlunderSize));
    return s;
}

ObjectViewerSettings readObjectViewerSettings()
{
    ObjectViewerSettings s;
    Mx::Cfg cfg(kGroupObjectViewer);
    s.bgColor = cfg.readColor(kBgColor, kDefaultBgColor);
    s.textFont = cfg.readFont(kTextFont, defaultTextFont());
    s.blundersOn = cfg.readBool(kBlundersOn, kDefaultBlundersOn);
    s.scale = cfg.readNum(kScale, kDefaultScale);
    cfg.beginGroup(kGroupLinks);
    s.linkLineType = cfg.readNum(kLinkLineType, kDefaultLinkLineType);
    cfg.beginGroup(kGroupPoints);
    readPointStyles(cfg, s.points);
    s.blunderColor = cfg.readColor(kBlunderColor, kDefaultBlunderColor);
    s.blunderSize = paintableSize(cfg.readNum(kBlunderSize, kDefaultBlunderSize));
    s.markColor = cfg.readColor(kMarkColor, kDefaultMarkColorViewer);
    s.markSize = paintableSize(cfg.readNum(kMarkSize, kDefaultMarkSize));
    return s;
}

double readStandardizedThreshold()
{
    const Mx::Cfg cfg(kGroupStatistics);
    bool ok = false;
    const double value = cfg.readString(kStandardizedThreshold, QString()).toDouble(&ok);
    return ok && value > 0.0 && std::isfinite(value) ? value : kDefaultStandardizedThreshold;
}

} // namespace SSettings
