// SPDX-License-Identifier: GPL-3.0-or-later
// The splash screen shown while the application starts: the picture with one status
// line per start-up step.
#pragma once

#include <QColor>
#include <QSplashScreen>

namespace Mx {

class Splash : public QSplashScreen {
    Q_OBJECT
public:
    Splash(const QPixmap &pixmap, const QString &aboutText, int x, int y, const QFont *font = nullptr);

    void setMessageAlignment(int flags) { mAlignment = flags; }
    void setMessageColor(const QColor &color) { mColor = color; }
    void setMessageDelay(int ms) { mDelay = ms; }
    QString aboutText() const { return mAbout; }
    QString lastMessage() const { return mLast; }

    // Shows a status text; an invalid colour and a negative delay mean the defaults.
    void msg(const QString &text, const QColor &color = QColor(), int delay = -1);

private:
    QString mAbout;
    QString mLast;
    int mAlignment = Qt::AlignLeft | Qt::AlignBottom;
    QColor mColor = Qt::black;
    int mDelay = 100;
};

} // namespace Mx
