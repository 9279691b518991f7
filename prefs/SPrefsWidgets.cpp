#include "SPrefsWidgets.h"

#include "Mu.h"
#include "QtColorPicker.h"

#include <QFontDatabase>
#include <QLabel>
#include <QSpinBox>

namespace SPrefsWidgets {

namespace {
constexpr int kAutoColumns = -1;
constexpr int kFontLabelLineWidth = 2;
} // namespace

QtColorPicker *makeColorPicker(QWidget *parent)
{
    auto *picker = new QtColorPicker(parent, kAutoColumns, true);
    picker->setStandardColors();
    return picker;
}

QSpinBox *makeSpinBox(int min, int max, const QString &suffix, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(min, max);
    spin->setSuffix(suffix);
    return spin;
}

QLabel *makeFontLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(kFontLabelLineWidth);
    return label;
}

QString fontLabelText(const QFont &font)
{
    return Mu::tr("%1 [%2] %3").arg(font.family(), QFontDatabase::styleString(font)).arg(font.pointSize());
}

} // namespace SPrefsWidgets
