// SPDX-License-Identifier: GPL-3.0-or-later
// Preference page "Image Viewer": background, text font, largest-residual mark, residual
// scale and the initial display of point ids and blunders (group ImageViewer).
#pragma once

#include "framework/MxPrefsTab.h"
#include "prefs/SPrefsWidgets.h"

class QCheckBox;
class QSpinBox;
class QtColorPicker;

class SPrefsImageViewer : public Mx::PrefsTab {
    Q_OBJECT
public:
    explicit SPrefsImageViewer(QWidget *parent);
    ~SPrefsImageViewer() override;

public slots:
    void slotSaveWidgetStates() override;

public:
    void initWidgets() override;

private slots:
    void _slotSelectTextFont();

private:
    SPrefsWidgets::ViewerFirstRow mFirstRow; // background colour and text font
    QtColorPicker *mLargestResidualColor;
    QSpinBox *mLargestResidualSize;
    QSpinBox *mScale;
    QCheckBox *mPointIdsOn;
    QCheckBox *mBlundersOn;
};
