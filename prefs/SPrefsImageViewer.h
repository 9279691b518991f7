// Preference page "Image Viewer": background, text font, largest-residual mark, residual
// scale and the initial display of point ids and blunders (group ImageViewer).
#pragma once

#include "MxPrefsTab.h"

#include <QFont>

class QCheckBox;
class QLabel;
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
    void _setTextFont(const QFont &font);

    QtColorPicker *mBgColor;
    QFont mTextFont;
    QLabel *mFontLabel;
    QtColorPicker *mLargestResidualColor;
    QSpinBox *mLargestResidualSize;
    QSpinBox *mScale;
    QCheckBox *mPointIdsOn;
    QCheckBox *mBlundersOn;
};
