// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SWorkspaceLayout.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <cmath>

namespace SWorkspaceLayout {

QRect gridCell(const QRect &area, int count, int index)
{
    if (count <= 0 || index < 0 || index >= count)
        return {};
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const int row = index / columns;
    const int column = index % columns;
    // The last row's frames share its width among themselves.
    const int inRow = row == rows - 1 ? count - row * columns : columns;
    auto edge = [](int start, int length, int parts, int i) { return start + int(qint64(length) * i / parts); };
    const int left = edge(area.left(), area.width(), inRow, column);
    const int right = edge(area.left(), area.width(), inRow, column + 1);
    const int top = edge(area.top(), area.height(), rows, row);
    const int bottom = edge(area.top(), area.height(), rows, row + 1);
    return QRect(left, top, right - left, bottom - top);
}

void tile(QMdiArea *workspace)
{
    const QList<QMdiSubWindow *> frames = workspace->subWindowList(QMdiArea::CreationOrder);
    const QRect area = workspace->viewport()->rect();
    for (int i = 0; i < frames.size(); ++i) {
        QMdiSubWindow *frame = frames[i];
        if (frame->isMaximized() || frame->isMinimized())
            frame->showNormal();
        // A frame may be made smaller than its contents would like: the views scroll.
        frame->setMinimumSize(0, 0);
        frame->setGeometry(gridCell(area, int(frames.size()), i));
    }
}

void keepInside(QMdiArea *workspace, QWidget *frame)
{
    const QRect area = workspace->viewport()->rect();
    if (area.isEmpty())
        return;
    QRect r = frame->geometry();
    r.setSize(r.size().boundedTo(area.size()));
    r.moveLeft(std::clamp(r.left(), area.left(), area.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), area.top(), area.bottom() + 1 - r.height()));
    if (r != frame->geometry())
        frame->setGeometry(r);
}

} // namespace SWorkspaceLayout
