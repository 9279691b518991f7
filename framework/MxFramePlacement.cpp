// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxFramePlacement.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace Mx {
namespace {

const char *const kNormalGeometry = "mxNormalGeometry";
const char *const kTracked = "mxNormalGeometryTracked";

bool shownNormally(const QWidget *frame)
{
    return !(frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void remember(QWidget *frame)
{
    if (shownNormally(frame))
        frame->setProperty(kNormalGeometry, frame->geometry());
}

// Child frames (of a workspace) have no normal geometry of their own in the toolkit.
class NormalGeometryTracker : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)
            remember(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void trackNormalGeometry(QWidget *frame)
{
    if (!frame || frame->property(kTracked).toBool())
        return;
    frame->setProperty(kTracked, true);
    frame->installEventFilter(new NormalGeometryTracker(frame));
    remember(frame);
}

QRect normalFrameGeometry(const QWidget *frame)
{
    if (shownNormally(frame))
        return frame->geometry();
    const QRect remembered = frame->property(kNormalGeometry).toRect();
    return remembered.isValid() ? remembered : frame->geometry();
}

FrameStateE frameState(const QWidget *frame)
{
    if (frame->windowState() & Qt::WindowMinimized)
        return FS_Minimized;
    if (frame->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return FS_Maximized;
    return FS_Normal;
}

void restoreFrame(QWidget *frame, const QRect &normalGeometry, int state)
{
    if (normalGeometry.width() > 0 && normalGeometry.height() > 0) {
        if (!shownNormally(frame))
            frame->showNormal();
        frame->setMinimumSize(0, 0); // as it was saved, even below the contents' wish
        frame->setGeometry(normalGeometry);
    }
    if (state == FS_Maximized)
        frame->showMaximized();
    else if (state == FS_Minimized)
        frame->showMinimized();
}

} // namespace Mx
