// SPDX-License-Identifier: GPL-3.0-or-later
// Preference page "Object Viewer": background, text font, residual and sigma scale and
// the initial display of blunders (group ObjectViewer).
#pragma once

#include "framework/MxPrefsTab.h"
#include "prefs/SPrefsWidgets.h"

class QCheckBox;
class QSpinBox;
class QtColorPicker;

class SPrefsObjectViewer : public Mx::PrefsTab {
    Q_OBJECT
public:
    explicit SPrefsObjectViewer(QWidget *parent);
    ~SPrefsObjectViewer() override;

public slots:
    void slotSaveWidgetStates() override;

public:
    void initWidgets() override;

private slots:
    void _slotSelectTextFont();

private:
    SPrefsWidgets::ViewerFirstRow mFirstRow; // background colour and text font
    QSpinBox *mScale;
    QCheckBox *mBlundersOn;
};
