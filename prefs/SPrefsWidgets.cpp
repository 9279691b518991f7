// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SPrefsWidgets.h"

#include "framework/Mu.h"
#include "framework/QtColorPicker.h"
#include "prefs/SStripGroupBox.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace SPrefsWidgets {

namespace {
constexpr int kAutoColumns = -1;
constexpr int kFontLabelLineWidth = 2;
constexpr int kFontButtonWidth = 30;
constexpr int kFirstRowGroupStretch = 2;
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

QSpinBox *addScaleGroup(QBoxLayout *row, QWidget *pageWidget)
{
    auto *scale = new SStripGroupBox(1, Mu::tr("&Scale:"), pageWidget);
    QSpinBox *spin = makeSpinBox(SSettings::kScaleMin, SSettings::kScaleMax, QString(), scale);
    spin->setObjectName(QStringLiteral("scale"));
    scale->addWidget(spin);
    row->addWidget(scale);
    return spin;
}

QCheckBox *addBlundersCheckBox(QBoxLayout *page, QWidget *pageWidget)
{
    auto *box = new QCheckBox(Mu::tr("Display &Blunders"), pageWidget);
    box->setObjectName(QStringLiteral("blundersOn"));
    page->addWidget(box);
    return box;
}

ViewerFirstRow addViewerFirstRow(QBoxLayout *page, QWidget *pageWidget, const QString &backgroundTitle,
                                 const QString &textTitle)
{
    ViewerFirstRow row;
    auto *layout = new QHBoxLayout;
    page->addLayout(layout);

    auto *background = new SStripGroupBox(2, backgroundTitle, pageWidget);
    row.bgColor = makeColorPicker(background);
    row.bgColor->setObjectName(QStringLiteral("bgColor"));
    background->addCaption(Mu::tr("&Color "), row.bgColor);
    background->addWidget(row.bgColor);
    layout->addWidget(background, kFirstRowGroupStretch);

    auto *text = new SStripGroupBox(3, textTitle, pageWidget);
    row.fontButton = new QPushButton(Mu::tr("..."), text);
    row.fontButton->setObjectName(QStringLiteral("fontButton"));
    row.fontButton->setFixedWidth(kFontButtonWidth);
    row.fontLabel = makeFontLabel(text);
    row.fontLabel->setObjectName(QStringLiteral("fontLabel"));
    text->addCaption(Mu::tr("&Font "), row.fontButton);
    text->addWidget(row.fontLabel);
    text->addWidget(row.fontButton);
    layout->addWidget(text, kFirstRowGroupStretch);

    setTextFont(row, row.textFont);
    return row;
}

void setTextFont(ViewerFirstRow &row, const QFont &font)
{
    row.textFont = font;
    row.fontLabel->setText(fontLabelText(row.textFont));
}

namespace {

bool sameChoice(const QFont &a, const QFont &b)
{
    return a.family() == b.family() && a.pointSizeF() == b.pointSizeF() && a.weight() == b.weight() &&
           a.italic() == b.italic() && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

} // namespace

void selectTextFont(ViewerFirstRow &row, QWidget *dialogParent)
{
    // A configured family such as "Arial" may be drawn by a metric-compatible substitute
    // that the dialog lists under its own name: preselect that one, and keep the
    // configured name when the user changes nothing.
    const QFont configured = row.textFont;
    QFont shown = configured;
    shown.setFamily(QFontInfo(configured).family());
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, shown, dialogParent);
    if (ok)
        setTextFont(row, sameChoice(font, shown) ? configured : font);
}

} // namespace SPrefsWidgets
