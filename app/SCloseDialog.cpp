// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SCloseDialog.h"

#include "framework/Mu.h"
#include "framework/MxStd.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

SCloseDialog::SCloseDialog(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowTitle(Mu::tr("Leave program?"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    layout->setSpacing(Mx::stdSpace());

    auto *question = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    question->addWidget(icon);
    question->addSpacing(Mx::stdSpace());
    question->addWidget(new QLabel(Mu::tr("Do you really want to leave the program now?"), this), 2);
    layout->addLayout(question);

    mPrefs = new QGroupBox(Mu::tr("Save Preferences on Exit?"), this);
    mPrefs->setCheckable(true);
    mPrefs->setChecked(false);
    mPrefs->setToolTip(Mu::tr("Check this box, to save the changes made in the preferences dialog for further use."));
    auto *inner = new QVBoxLayout(mPrefs);
    mPositions = new QCheckBox(Mu::tr("Save current Viewer positions?"), mPrefs);
    mPositions->setToolTip(
        Mu::tr("Check this box, to save the positions of the currently opened windows for further use, too."));
    inner->addWidget(mPositions);
    layout->addWidget(mPrefs);
    layout->addStretch(2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(2);
    mYes = new QPushButton(Mu::tr("Yes"), this);
    mNo = new QPushButton(Mu::tr("No"), this);
    mYes->setDefault(true);
    buttons->addWidget(mYes);
    buttons->addWidget(mNo);
    layout->addLayout(buttons);
    connect(mYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(mNo, &QPushButton::clicked, this, &QDialog::reject);
    mYes->setFocus();
}

void SCloseDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    mYes->setFocus();
}

bool SCloseDialog::savePreferences() const { return mPrefs->isChecked(); }

bool SCloseDialog::saveViewerPositions() const { return mPrefs->isChecked() && mPositions->isChecked(); }
