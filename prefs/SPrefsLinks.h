// SPDX-License-Identifier: GPL-3.0-or-later
// Preference page "Connections / Links": the line style of the connections drawn
// between selected object points and projection centres (group Links).
#pragma once

#include "framework/MxPrefsTab.h"

class QComboBox;

class SPrefsLinks : public Mx::PrefsTab {
    Q_OBJECT
public:
    explicit SPrefsLinks(QWidget *parent);
    ~SPrefsLinks() override;

public slots:
    void slotSaveWidgetStates() override;

public:
    void initWidgets() override;

private:
    QComboBox *mLineType;
};
