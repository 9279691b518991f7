// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxSplash.h"

#include "framework/Mu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace Mx {

Splash::Splash(const QPixmap &pixmap, const QString &aboutText, int /*x*/, int /*y*/, const QFont *font)
    : QSplashScreen(pixmap), mAbout(aboutText)
{
    if (font)
        setFont(*font);
}

void Splash::msg(const QString &text, const QColor &color, int delay)
{
    mLast = text;
    Mu::debug("Splash: %s", qPrintable(text));
    showMessage(text, mAlignment, color.isValid() ? color : mColor);
    QCoreApplication::processEvents();
    // Leave each line on screen long enough to be read; the events keep flowing meanwhile.
    const int wait = delay < 0 ? mDelay : delay;
    if (wait > 0 && isVisible()) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < wait) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
    }
}

} // namespace Mx
