// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the image viewer: action icons, the window icon and the two ball
// icons of the image table. They are drawn once on first use and shared.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace SImageIcons {

enum IconE {
    IC_Window,
    IC_Close,
    IC_ExportPicture,
    IC_NavFirst,
    IC_NavPrev,
    IC_NavNext,
    IC_NavLast,
    IC_ZoomIn,
    IC_ZoomOut,
    IC_FixedZoom,
    IC_Zoom100,
    IC_FitWindow,
    IC_ZoomMode,
    IC_ScrollMode,
    IC_SelectPoints,
    IC_Preferences,
    IC_Count
};

QIcon icon(IconE which);

// 14 x 14 shaded balls: green for an active image point, red for a blunder.
inline constexpr int kBallSize = 14;
const QPixmap &greenBall();
const QPixmap &redBall();

} // namespace SImageIcons
