// SPDX-License-Identifier: GPL-3.0-or-later
// A read's handler for tests: every error dialog answers "stop this read", and its text is kept.
#pragma once

#include "patb/SPatbHandler.h"

#include <QStringList>

class StopHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        errors << text;
        return SReadErrorChoice::Stop;
    }
    QString error() const { return errors.join(u'\n'); }
    QStringList errors;
};
