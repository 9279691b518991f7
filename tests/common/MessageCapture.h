// SPDX-License-Identifier: GPL-3.0-or-later
// Collects every message sent while it is alive, for tests that check what the user is told.
#pragma once

#include "framework/Mu.h"

#include <QList>
#include <QPair>
#include <QStringList>

class MessageCapture {
public:
    MessageCapture()
    {
        Mu::setSink([this](Mu::Level level, const QString &text) { messages.append({level, text}); });
    }
    ~MessageCapture() { Mu::setSink(nullptr); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;
    QStringList texts(Mu::Level level) const
    {
        QStringList out;
        for (const auto &m : messages)
            if (m.first == level)
                out << m.second;
        return out;
    }
    QStringList warnings() const { return texts(Mu::Level::Warn); }
    QStringList notes() const { return texts(Mu::Level::Note); }
    QList<QPair<Mu::Level, QString>> messages;
};
