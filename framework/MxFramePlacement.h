// SPDX-License-Identifier: GPL-3.0-or-later
// Placement of a document window's frame in the workspace: the geometry it has when shown
// normally and whether it is maximised or minimised, so that a viewer saved in either state
// comes back in that state over its normal geometry.
#pragma once

#include <QRect>

class QWidget;

namespace Mx {

enum FrameStateE { FS_Normal = 0, FS_Maximized = 1, FS_Minimized = 2 };

// Keeps the frame's geometry up to date while it is shown normally.
void trackNormalGeometry(QWidget *frame);
// The geometry the frame has, or comes back to, when shown normally.
QRect normalFrameGeometry(const QWidget *frame);
FrameStateE frameState(const QWidget *frame);
// Puts the frame at the normal geometry (when valid), then into the state.
void restoreFrame(QWidget *frame, const QRect &normalGeometry, int state);

} // namespace Mx
