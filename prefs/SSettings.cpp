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

namespace {

double readThreshold(const Mx::Cfg &cfg, const QString &key, double def)
{
    bool ok = false;
    const double value = cfg.readString(key, QString()).toDouble(&ok);
    return ok && value > 0.0 && std::isfinite(value) ? value : def;
}

SErrorColours::MeasureE readMeasure(const Mx::Cfg &cfg, SErrorColours::MeasureE other)
{
    const SErrorColours::MeasureE m =
        SErrorColours::measureFromName(cfg.readString(kColourByError, SErrorColours::measureName({})));
    return m == other ? SErrorColours::MeasureE::Off : m;
}

} // namespace

SErrorColours::Colouring ImageViewExtras::colouring(double sigma0) const
{
    SErrorColours::Colouring c;
    c.measure = colourBy;
    c.threshold = colourBy == SErrorColours::MeasureE::Standardized ? standardizedThreshold : residualThreshold;
    c.sigma0 = sigma0;
    return c;
}

SErrorColours::Colouring ObjectViewExtras::colouring() const
{
    SErrorColours::Colouring c;
    c.measure = colourBy;
    c.threshold = colourBy == SErrorColours::MeasureE::Sigma ? sigmaThreshold : residualThreshold;
    return c;
}

ImageViewExtras readImageViewExtras()
{
    ImageViewExtras e;
    e.standardizedThreshold = readStandardizedThreshold();
    const Mx::Cfg cfg(kGroupImageViewer);
    e.colourBy = readMeasure(cfg, SErrorColours::MeasureE::Sigma);
    e.residualThreshold = readThreshold(cfg, kResidualThreshold, kDefaultImageResidualThreshold);
    e.residualLegendOn = cfg.readBool(kResidualLegendOn, false);
    return e;
}

ObjectViewExtras readObjectViewExtras()
{
    ObjectViewExtras e;
    const Mx::Cfg cfg(kGroupObjectViewer);
    e.colourBy = readMeasure(cfg, SErrorColours::MeasureE::Standardized);
    e.residualThreshold = readThreshold(cfg, kResidualThreshold, kDefaultObjectResidualThreshold);
    e.sigmaThreshold = readThreshold(cfg, kSigmaThreshold, kDefaultSigmaThreshold);
    e.scaleBarOn = cfg.readBool(kScaleBarOn, false);
    e.densityOn = cfg.readBool(kDensityOn, false);
    const int exaggeration = cfg.readNum(kVerticalExaggeration, kDefaultVerticalExaggeration);
    const bool listed = std::find(kVerticalExaggerations.begin(), kVerticalExaggerations.end(), exaggeration) !=
                        kVerticalExaggerations.end();
    e.verticalExaggeration = listed ? exaggeration : kDefaultVerticalExaggeration;
    return e;
}

void writeImageViewExtras(const ImageViewExtras &e)
{
    Mx::Cfg cfg(kGroupImageViewer);
    cfg.writeEntry(kColourByError, SErrorColours::measureName(e.colourBy));
    cfg.writeEntry(kResidualLegendOn, e.residualLegendOn ? 1 : 0);
}

void writeObjectViewExtras(const ObjectViewExtras &e)
{
    Mx::Cfg cfg(kGroupObjectViewer);
    cfg.writeEntry(kColourByError, SErrorColours::measureName(e.colourBy));
    cfg.writeEntry(kScaleBarOn, e.scaleBarOn ? 1 : 0);
    cfg.writeEntry(kDensityOn, e.densityOn ? 1 : 0);
    cfg.writeEntry(kVerticalExaggeration, e.verticalExaggeration);
}

} // namespace SSettings
