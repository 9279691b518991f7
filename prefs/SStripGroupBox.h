// SPDX-License-Identifier: GPL-3.0-or-later
// A titled group box that places its children in rows of a fixed number of cells, left
// to right, starting a new row when a row is full; the preference pages are built from it.
#pragma once

#include <QGroupBox>

class QGridLayout;
class QLabel;

class SStripGroupBox : public QGroupBox {
    Q_OBJECT
public:
    SStripGroupBox(int strips, const QString &title, QWidget *parent);

    // Appends a widget (created with this box as parent) in the next cell.
    void addWidget(QWidget *widget);
    // Appends a caption whose accelerator focuses the buddy; it keeps its natural width.
    QLabel *addCaption(const QString &text, QWidget *buddy);

private:
    QGridLayout *mGrid;
    int mStrips;
    int mCount = 0;
};
