// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SStripGroupBox.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>

SStripGroupBox::SStripGroupBox(int strips, const QString &title, QWidget *parent)
    : QGroupBox(title, parent), mGrid(new QGridLayout(this)), mStrips(std::max(1, strips))
{}

void SStripGroupBox::addWidget(QWidget *widget)
{
    mGrid->addWidget(widget, mCount / mStrips, mCount % mStrips);
    ++mCount;
}

QLabel *SStripGroupBox::addCaption(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, this);
    label->setBuddy(buddy);
    label->setFixedWidth(label->sizeHint().width());
    addWidget(label);
    return label;
}
