// SPDX-License-Identifier: GPL-3.0-or-later
// The message window: every message of the Mu functions, coloured by its level,
// docked at the bottom of the main window.
#pragma once

#include "framework/Mu.h"

#include <QTextEdit>

namespace Mx {

class MessageWindow : public QTextEdit {
    Q_OBJECT
public:
    explicit MessageWindow(QWidget *parent = nullptr);

    // The one window of the process (null before setup).
    static MessageWindow *instance();
    static MessageWindow *setup();

    void append(Mu::Level level, const QString &text);

signals:
    void statusMessage(const QString &text);
};

} // namespace Mx
