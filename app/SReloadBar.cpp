// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SReloadBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {
constexpr int kMargin = 6; // pixels around the bar's contents
}

SReloadBar::SReloadBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ReloadBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 244, 196)); // a pale yellow notice, as browsers show
    setPalette(pal);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin / 2, kMargin, kMargin / 2);
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
    mLabel = new QLabel(this);
    mLabel->setWordWrap(true);
    mReload = new QPushButton(tr("Reload"), this);
    mIgnore = new QPushButton(tr("Ignore"), this);
    layout->addWidget(icon);
    layout->addWidget(mLabel, 1);
    layout->addWidget(mReload);
    layout->addWidget(mIgnore);
    connect(mReload, &QPushButton::clicked, this, &SReloadBar::sigReload);
    connect(mIgnore, &QPushButton::clicked, this, &SReloadBar::sigIgnore);
    hide();
}

void SReloadBar::showChanged() { showText(tr("The result files changed on disk"), true); }

void SReloadBar::showWaiting()
{
    showText(tr("The result files changed on disk; waiting until they are written completely ..."), false);
}

void SReloadBar::showFailed(const QString &reason)
{
    showText(tr("Reloading failed; the project shown is the one read before. %1").arg(reason), true);
}

void SReloadBar::showText(const QString &text, bool buttons)
{
    mLabel->setText(text);
    mReload->setEnabled(buttons);
    mIgnore->setEnabled(buttons);
    show();
}
