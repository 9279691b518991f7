// SPDX-License-Identifier: GPL-3.0-or-later
// Values shared by every subsystem: PAT-B point codes, the point-code index, symbols,
// link line styles, projection planes, selection and search modes, with their labels.
#pragma once

#include <QObject>

namespace SGlobal {
Q_NAMESPACE

// How a new search result is combined with the existing selection.
enum SelectionModeE { SL_Erase = 0, SL_Add = 1 };
Q_ENUM_NS(SelectionModeE)

// The criterion of a point search; also the index of the search tab's criterion groups.
enum SearchModeE {
    SM_PointId = 0,
    SM_ImageId = 1,
    SM_Links = 2,
    SM_Residuals = 3,
    SM_Sigmas = 4,
    SM_Blunder = 5,
    SM_PointCode = 6
};
Q_ENUM_NS(SearchModeE)

// How residuals and sigmas are shown: as vectors and ellipses, or as numbers.
enum ViewModeE { VM_Graphical = 0, VM_Textual = 1 };
Q_ENUM_NS(ViewModeE)

// PAT-B point codes that carry a meaning; every other code is a new (tie) point.
inline constexpr int kCodeVerticalControl = 200;
inline constexpr int kCodeHorizontalControl = 300;
inline constexpr int kCodeFullControl = 500;
inline constexpr int kCodeProjectionCentre = 900;
inline constexpr int kCodeObservedProjectionCentre = 901;
inline constexpr int kCodeLonely = -1; // image point without object point

// Point-code indices, under which settings, symbols and colours are kept.
inline constexpr int kIndexNewPoint = 0;
inline constexpr int kIndexVerticalControl = 1;
inline constexpr int kIndexHorizontalControl = 2;
inline constexpr int kIndexFullControl = 3;
inline constexpr int kIndexProjectionCentre = 4;
inline constexpr int kIndexObservedProjectionCentre = 5;
inline constexpr int kIndexLonely = 6;
inline constexpr int kPointCodeIndexCount = 7;

inline constexpr int kPointSymbolCount = 3;  // circle, triangle, cross
inline constexpr int kLinkLineTypeCount = 3; // solid, dash, dot
inline constexpr int kPlaneCount = 3;        // XY, XZ, YZ
inline constexpr int kPlaneXY = 0;
inline constexpr int kPlaneXZ = 1;
inline constexpr int kPlaneYZ = 2;

// An observed coordinate axis holds a value below this; PAT-B writes it for "no observation".
inline constexpr float kNoObservation = 999999999.0f;

} // namespace SGlobal

using SGlobal::ViewModeE;
using SGlobal::VM_Graphical;
using SGlobal::VM_Textual;

// Label tables. Every function returns "ERROR!" for a value outside its table. The labels
// are untranslated constants; callers pass them through Mu::tr before showing them.
int pointCodeIndex(int code);
const char *pointCodeName(int index, bool withAccel);
const char *pointSymbolName(int symbol);
const char *linkLineTypeName(int lineType);
const char *planeName(int plane);
const char *selectionModeName(int mode);

// Axis of a projection plane: 0 = X, 1 = Y, 2 = Z; -1 for a plane outside 0..2.
int planeHorizontalAxis(int plane);
int planeVerticalAxis(int plane);
