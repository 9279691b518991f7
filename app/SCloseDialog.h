// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that asks before the program ends, and whether to keep preferences and
// window positions.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;

class SCloseDialog : public QDialog {
    Q_OBJECT
public:
    explicit SCloseDialog(QWidget *parent = nullptr);

    bool savePreferences() const;
    // Positions are saved only together with the preferences.
    bool saveViewerPositions() const;

    QGroupBox *preferencesBox() const { return mPrefs; }
    QCheckBox *positionsBox() const { return mPositions; }
    QPushButton *yesButton() const { return mYes; }
    QPushButton *noButton() const { return mNo; }

protected:
    // "Yes" has the focus at every showing, whatever was clicked the time before.
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *mPrefs;
    QCheckBox *mPositions;
    QPushButton *mYes;
    QPushButton *mNo;
};
