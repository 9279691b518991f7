// Building blocks that the preference pages share: colour pickers, spin boxes and the
// label that names a font.
#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QSpinBox;
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

} // namespace SPrefsWidgets
