// SPDX-License-Identifier: GPL-3.0-or-later
// Building blocks that the preference pages share: colour pickers, spin boxes, the label
// that names a font, and the background and text row of the two viewer pages.
#pragma once

#include "prefs/SSettings.h"

#include <QFont>
#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class QCheckBox;
class QWidget;
class QtColorPicker;

namespace SPrefsWidgets {

// A colour button with automatic popup columns, the colour dialog and the standard colours.
QtColorPicker *makeColorPicker(QWidget *parent);
// A spin box of the given range; the suffix is optional (" pixel").
QSpinBox *makeSpinBox(int min, int max, const QString &suffix, QWidget *parent);
// A sunken panel that shows fontLabelText().
QLabel *makeFontLabel(QWidget *parent);
// "<family> [<style>] <point size>".
QString fontLabelText(const QFont &font);

// The first row of the image and object viewer pages: the background colour and the text
// font, which the page owns until it is saved.
struct ViewerFirstRow {
    QtColorPicker *bgColor = nullptr;
    QLabel *fontLabel = nullptr;
    QPushButton *fontButton = nullptr; // the page connects it to its own font slot
    QFont textFont = SSettings::defaultTextFont();
};

// Adds to the page a row of the group backgroundTitle [2] ("&Color " and the picker) and
// the group textTitle [3] ("&Font ", the font label and a "..." button), each of stretch 2.
// The "&Scale:" group [1] with its spin box of the scale range, added to a row.
QSpinBox *addScaleGroup(QBoxLayout *row, QWidget *pageWidget);
// The "Display &Blunders" check box, added to the page.
QCheckBox *addBlundersCheckBox(QBoxLayout *page, QWidget *pageWidget);

ViewerFirstRow addViewerFirstRow(QBoxLayout *page, QWidget *pageWidget, const QString &backgroundTitle,
                                 const QString &textTitle);
// Makes font the row's text font and names it in the font label.
void setTextFont(ViewerFirstRow &row, const QFont &font);
// Offers the font dialog on the row's text font; a confirmed choice becomes the text font.
void selectTextFont(ViewerFirstRow &row, QWidget *dialogParent);

} // namespace SPrefsWidgets
