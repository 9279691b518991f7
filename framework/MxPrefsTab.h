// SPDX-License-Identifier: GPL-3.0-or-later
// A page of the preferences dialog. The dialog calls initWidgets() before the page is
// shown and slotSaveWidgetStates() when the user applies; a page writes its section of
// the configuration there and then emits sigWidgetsSaved().
#pragma once

#include <QWidget>

namespace Mx {

class PrefsTab : public QWidget {
    Q_OBJECT
public:
    PrefsTab(const QString &section, QWidget *parent);
    QString cfgSection() const { return mSection; }

    virtual void initWidgets() {}

public slots:
    virtual void slotSaveWidgetStates() { emit sigWidgetsSaved(); }

signals:
    void sigWidgetsSaved();

private:
    QString mSection;
};

} // namespace Mx
