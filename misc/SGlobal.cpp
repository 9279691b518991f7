// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SGlobal.h"

#include <QtGlobal>
#include <array>

namespace {

const char *const kError = "ERROR!";

constexpr std::array<const char *, SGlobal::kPointCodeIndexCount> kPointCodeAccelNames = {
    QT_TRANSLATE_NOOP("Varlomin", "&New Point"),
    QT_TRANSLATE_NOOP("Varlomin", "&Vertical Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "&Horizontal Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "Horiz. &+ Vert. Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "&Projection Centre"),
    QT_TRANSLATE_NOOP("Varlomin", "Observed P&roj. Centre"),
    QT_TRANSLATE_NOOP("Varlomin", "&Lonely Image Point"),
};

constexpr std::array<const char *, SGlobal::kPointCodeIndexCount> kPointCodeNames = {
    QT_TRANSLATE_NOOP("Varlomin", "New Point"),
    QT_TRANSLATE_NOOP("Varlomin", "Vertical Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "Horizontal Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "Horiz. + Vert. Control Point"),
    QT_TRANSLATE_NOOP("Varlomin", "Projection Centre"),
    QT_TRANSLATE_NOOP("Varlomin", "Observed Proj. Centre"),
    QT_TRANSLATE_NOOP("Varlomin", "Lonely Image Point"),
};

constexpr std::array<const char *, SGlobal::kPointSymbolCount> kSymbolNames = {
    QT_TRANSLATE_NOOP("Varlomin", "Circle"),
    QT_TRANSLATE_NOOP("Varlomin", "Triangle"),
    QT_TRANSLATE_NOOP("Varlomin", "Cross"),
};

constexpr std::array<const char *, SGlobal::kLinkLineTypeCount> kLineTypeNames = {
    QT_TRANSLATE_NOOP("Varlomin", "Solid Line"),
    QT_TRANSLATE_NOOP("Varlomin", "Dash Line"),
    QT_TRANSLATE_NOOP("Varlomin", "Dot Line"),
};

constexpr std::array<const char *, SGlobal::kPlaneCount> kPlaneNames = {"XY", "XZ", "YZ"};

constexpr std::array<const char *, 2> kSelectionModeNames = {
    QT_TRANSLATE_NOOP("Varlomin", "Erase e&xisting Selection"),
    QT_TRANSLATE_NOOP("Varlomin", "&Add to existing Selection"),
};

template <size_t N> const char *label(const std::array<const char *, N> &table, int value)
{
    return value >= 0 && value < static_cast<int>(N) ? table[static_cast<size_t>(value)] : kError;
}

} // namespace

int pointCodeIndex(int code)
{
    using namespace SGlobal;
    switch (code) {
    case kCodeLonely: return kIndexLonely;
    case kCodeVerticalControl: return kIndexVerticalControl;
    case kCodeHorizontalControl: return kIndexHorizontalControl;
    case kCodeFullControl: return kIndexFullControl;
    case kCodeProjectionCentre: return kIndexProjectionCentre;
    case kCodeObservedProjectionCentre: return kIndexObservedProjectionCentre;
    default: return kIndexNewPoint;
    }
}

const char *pointCodeName(int index, bool withAccel)
{
    return label(withAccel ? kPointCodeAccelNames : kPointCodeNames, index);
}

const char *pointSymbolName(int symbol) { return label(kSymbolNames, symbol); }
const char *linkLineTypeName(int lineType) { return label(kLineTypeNames, lineType); }
const char *planeName(int plane) { return label(kPlaneNames, plane); }
const char *selectionModeName(int mode) { return label(kSelectionModeNames, mode); }

int planeHorizontalAxis(int plane)
{
    switch (plane) {
    case SGlobal::kPlaneXY:
    case SGlobal::kPlaneXZ: return 0;
    case SGlobal::kPlaneYZ: return 1;
    default: return -1;
    }
}

int planeVerticalAxis(int plane)
{
    switch (plane) {
    case SGlobal::kPlaneXY: return 1;
    case SGlobal::kPlaneXZ:
    case SGlobal::kPlaneYZ: return 2;
    default: return -1;
    }
}
