// SPDX-License-Identifier: GPL-3.0-or-later
// Where viewer frames go in the workspace when nothing was saved for them: side by side in
// a grid that fills the visible workspace exactly, or, for one opened later, fully inside it.
#pragma once

#include <QRect>

class QMdiArea;
class QWidget;

namespace SWorkspaceLayout {

// The cell of frame `index` among `count` frames in a grid of about square cells over area:
// columns = ceil(sqrt(count)), rows as needed; the cells cover the area without gaps.
QRect gridCell(const QRect &area, int count, int index);
// Lays all frames of the workspace out in that grid, in the order they were created.
void tile(QMdiArea *workspace);
// Moves (and if need be shrinks) the frame so that it lies wholly in the visible workspace.
void keepInside(QMdiArea *workspace, QWidget *frame);

} // namespace SWorkspaceLayout
