// SPDX-License-Identifier: GPL-3.0-or-later
// Preference page "Point Representation": visibility, symbol, colour and size per
// point-code index, and the marks of selected and blunder points (group Points).
#pragma once

#include "framework/MxPrefsTab.h"
#include "prefs/SSettings.h"

#include <QIcon>
#include <QList>
#include <array>

class QComboBox;
class QSpinBox;
class SStripGroupBox;
class QtColorPicker;

class SPrefsPoints : public Mx::PrefsTab {
    Q_OBJECT
public:
    explicit SPrefsPoints(QWidget *parent);
    ~SPrefsPoints() override;

    // The 13 x 13 pictures of the point symbols, in symbol order; made once, shared by
    // every page. An entry is null when its picture could not be made.
    static const QList<QIcon> &symbolIcons();

public slots:
    void slotSaveWidgetStates() override;

public:
    void initWidgets() override;

private:
    struct PointWidgets {
        SStripGroupBox *group = nullptr;
        QComboBox *symbol = nullptr;
        QtColorPicker *color = nullptr;
        QSpinBox *size = nullptr;
    };

    PointWidgets _makePointGroup(int index);

    std::array<PointWidgets, SGlobal::kPointCodeIndexCount> mPoints;
    QtColorPicker *mMarkColor;
    QSpinBox *mMarkSize;
    QtColorPicker *mBlunderColor;
    QSpinBox *mBlunderSize;
};
