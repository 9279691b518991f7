// SPDX-License-Identifier: GPL-3.0-or-later
// The vocabulary of the viewers' configuration: every group, key, type and default in
// one place. Viewers read their whole state through the read functions below; the
// preference pages write the same keys under the same names.
#pragma once

#include "misc/SErrorColours.h"
#include "misc/SGlobal.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <array>

namespace SSettings {

// Groups.
inline const QString kGroupImageViewer = QStringLiteral("ImageViewer");
inline const QString kGroupObjectViewer = QStringLiteral("ObjectViewer");
inline const QString kGroupLinks = QStringLiteral("Links");
inline const QString kGroupPoints = QStringLiteral("Points");

// Keys of ImageViewer / ObjectViewer.
inline const QString kBgColor = QStringLiteral("BG_Color");
inline const QString kTextFont = QStringLiteral("TextFont");
inline const QString kLargestResidualColor = QStringLiteral("LargestResidualColor");
inline const QString kLargestResidualSize = QStringLiteral("LargestResidualSize");
inline const QString kScale = QStringLiteral("Scale");
inline const QString kPointIdsOn = QStringLiteral("PointIdsOn");
inline const QString kBlundersOn = QStringLiteral("BlundersOn");
// Links.
inline const QString kLinkLineType = QStringLiteral("LinkLineType");
// Points; the per-index keys take the point-code index.
QString pointOnKey(int index);     // "PointOn_%1"
QString pointSymbolKey(int index); // "PointSymbol_%1"
QString pointColorKey(int index);  // "PointColor_%1"
QString pointSizeKey(int index);   // "PointSize_%1"
inline const QString kMarkColor = QStringLiteral("MarkColor");
inline const QString kMarkSize = QStringLiteral("MarkSize");
inline const QString kBlunderColor = QStringLiteral("BlunderColor");
inline const QString kBlunderSize = QStringLiteral("BlunderSize");
// Viewer placements in ImageViewer and ObjectViewer. The keys take an object viewer's plane
// or an image viewer's position in the class-wide list of image viewers.
QString viewerOnKey(int plane);    // "ViewerOn_%1": whether the plane's object viewer is open
QString viewerKey(int index);      // "Viewer_%1": the viewer's window layout
QString geometryKey(int index);    // "Geometry_%1": the geometry of the viewer's frame
QString windowStateKey(int index); // "WindowState_%1": 0 normal, 1 maximised, 2 minimised
inline const QString kViewerCountKey = QStringLiteral("#Viewer"); // open image viewers
// The main window's own group: the project opened last, where the file dialog starts.
inline const QString kGroupVarlomin = QStringLiteral("Varlomin");
inline const QString kLastProjectFile = QStringLiteral("Last project-file");

// Defaults.
inline const QColor kDefaultBgColor{255, 255, 255};
QFont defaultTextFont(); // Arial, 8 pt
inline const QColor kDefaultLargestResidualColor{255, 0, 0};
inline constexpr int kDefaultLargestResidualSize = 2;
inline constexpr int kDefaultScale = 1000;
inline constexpr bool kDefaultPointIdsOn = false;
inline constexpr bool kDefaultBlundersOn = false;
inline constexpr int kDefaultLinkLineType = 0;
inline constexpr bool kDefaultPointOn = true;
inline constexpr int kDefaultPointSymbol = 0;
inline const QColor kDefaultPointColor{0, 0, 0};
inline constexpr int kDefaultPointSize = 7;
inline const QColor kDefaultMarkColorViewer{255, 255, 0}; // what the object viewer falls back to
inline const QColor kDefaultMarkColorPage{255, 0, 0};     // what the Points page shows
inline constexpr int kDefaultMarkSize = 2;
inline const QColor kDefaultBlunderColor{255, 0, 0};
inline constexpr int kDefaultBlunderSize = 2;
inline constexpr bool kDefaultViewerOn = true;
inline constexpr int kDefaultViewerCount = 1;

// Ranges the preference pages allow.
inline constexpr int kLargestResidualSizeMin = 1, kLargestResidualSizeMax = 10;
inline constexpr int kScaleMin = 1, kScaleMax = 100000;
inline constexpr int kPointSizeMin = 3, kPointSizeMax = 25;
inline constexpr int kMarkSizeMin = 1, kMarkSizeMax = 10;
inline constexpr int kBlunderSizeMin = 1, kBlunderSizeMax = 10;
inline constexpr int kLinkLineTypeMin = 0, kLinkLineTypeMax = 2;
inline constexpr int kPointSymbolMin = 0, kPointSymbolMax = 2;

struct PointStyle {
    bool on = kDefaultPointOn;
    int symbol = kDefaultPointSymbol;
    QColor color = kDefaultPointColor;
    int size = kDefaultPointSize;
};

struct ImageViewerSettings {
    QColor bgColor = kDefaultBgColor;
    QFont textFont = defaultTextFont();
    QColor largestResidualColor = kDefaultLargestResidualColor;
    int largestResidualSize = kDefaultLargestResidualSize;
    bool pointIdsOn = kDefaultPointIdsOn;
    bool blundersOn = kDefaultBlundersOn;
    double scale = kDefaultScale;
    std::array<PointStyle, SGlobal::kPointCodeIndexCount> points{};
    QColor blunderColor = kDefaultBlunderColor;
    int blunderSize = kDefaultBlunderSize;
};

struct ObjectViewerSettings {
    QColor bgColor = kDefaultBgColor;
    QFont textFont = defaultTextFont();
    bool blundersOn = kDefaultBlundersOn;
    double scale = kDefaultScale;
    int linkLineType = kDefaultLinkLineType;
    std::array<PointStyle, SGlobal::kPointCodeIndexCount> points{};
    QColor blunderColor = kDefaultBlunderColor;
    int blunderSize = kDefaultBlunderSize;
    QColor markColor = kDefaultMarkColorViewer;
    int markSize = kDefaultMarkSize;
};

// The viewers' settings passes, reading the keys in the viewers' order. Values outside
// the pages' ranges are passed on as they are, except sizes, which are limited to what
// can be painted (a hand-edited 100000 must not freeze a paint).
ImageViewerSettings readImageViewerSettings();
ObjectViewerSettings readObjectViewerSettings();

inline constexpr int kMaxPaintedSize = 200; // pixels; far above every page range

// Statistics: standardized residuals above this threshold are counted per image. Stored as a
// decimal number; a value that is not a positive number reads as the default.
inline const QString kGroupStatistics = QStringLiteral("Statistics");
inline const QString kStandardizedThreshold = QStringLiteral("StandardizedThreshold");
inline constexpr double kDefaultStandardizedThreshold = 3.0;
double readStandardizedThreshold();

// Additions to the views beyond their classic settings, each off (or neutral) by default so
// that the pictures stay as they are; the viewers' Extras menus write them. Colour by error
// ("off", "residual", "standardized", "sigma") and its thresholds, stored as decimal numbers;
// standardized residuals use the statistics threshold above.
inline const QString kColourByError = QStringLiteral("ColourByError");         // ImageViewer, ObjectViewer
inline const QString kResidualThreshold = QStringLiteral("ResidualThreshold"); // ImageViewer, ObjectViewer
inline const QString kSigmaThreshold = QStringLiteral("SigmaThreshold");       // ObjectViewer
inline const QString kResidualLegendOn = QStringLiteral("ResidualLegendOn");   // ImageViewer
inline const QString kScaleBarOn = QStringLiteral("ScaleBarOn");               // ObjectViewer
inline const QString kDensityOn = QStringLiteral("DensityOn");                 // ObjectViewer
// ObjectViewer: vertical exaggeration of the XZ and YZ views, one of kVerticalExaggerations.
inline const QString kVerticalExaggeration = QStringLiteral("VerticalExaggeration");

// Image residuals |v| in PAT-B's image unit, the millimetre: 15 microns, three times a typical
// sigma 0. Object residuals and sigmas in ground units (metres): a decimetre.
inline constexpr double kDefaultImageResidualThreshold = 0.015;
inline constexpr double kDefaultObjectResidualThreshold = 0.1;
inline constexpr double kDefaultSigmaThreshold = 0.1;
inline constexpr std::array<int, 5> kVerticalExaggerations{1, 2, 5, 10, 20};
inline constexpr int kDefaultVerticalExaggeration = 1;

struct ImageViewExtras {
    SErrorColours::MeasureE colourBy = SErrorColours::MeasureE::Off; // Off, Residual or Standardized
    double residualThreshold = kDefaultImageResidualThreshold;
    double standardizedThreshold = kDefaultStandardizedThreshold;
    bool residualLegendOn = false;
    // The colouring for a block with this sigma 0.
    SErrorColours::Colouring colouring(double sigma0) const;
};

struct ObjectViewExtras {
    SErrorColours::MeasureE colourBy = SErrorColours::MeasureE::Off; // Off, Residual or Sigma
    double residualThreshold = kDefaultObjectResidualThreshold;
    double sigmaThreshold = kDefaultSigmaThreshold;
    bool scaleBarOn = false;
    bool densityOn = false;                                  // crowded pixels as a density image
    int verticalExaggeration = kDefaultVerticalExaggeration; // for XZ and YZ
    SErrorColours::Colouring colouring() const;
};

// Values a view cannot use (a measure of the other kind of view, a threshold that is not a
// positive number, an exaggeration not on the list) read as the defaults.
ImageViewExtras readImageViewExtras();
ObjectViewExtras readObjectViewExtras();
// Writes the choices of the Extras menus (the thresholds are left as they are).
void writeImageViewExtras(const ImageViewExtras &extras);
void writeObjectViewExtras(const ObjectViewExtras &extras);

} // namespace SSettings
