// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SPrefsObjectViewer.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "framework/MxStd.h"
#include "framework/QtColorPicker.h"
#include "prefs/SPrefsWidgets.h"
#include "prefs/SSettings.h"
#include "prefs/SStripGroupBox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kRowEndStretch = 2;
constexpr int kAboveChecksStretch = 3;
constexpr int kPageEndStretch = 2;
} // namespace

using namespace SSettings;
using namespace SPrefsWidgets;

SPrefsObjectViewer::SPrefsObjectViewer(QWidget *parent) : Mx::PrefsTab(kGroupObjectViewer, parent)
{
    Mu::debug("SPrefsObjectViewer");
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    page->setSpacing(Mx::stdSpace());

    mFirstRow = addViewerFirstRow(page, this, Mu::tr("&Background:"), Mu::tr("&Text:"));
    connect(mFirstRow.fontButton, &QPushButton::clicked, this, &SPrefsObjectViewer::_slotSelectTextFont);

    auto *secondRow = new QHBoxLayout;
    page->addLayout(secondRow);
    mScale = addScaleGroup(secondRow, this);
    secondRow->addStretch(kRowEndStretch);

    page->addStretch(kAboveChecksStretch);
    mBlundersOn = addBlundersCheckBox(page, this);
    page->addStretch(kPageEndStretch);
}

SPrefsObjectViewer::~SPrefsObjectViewer() { Mu::debug("~SPrefsObjectViewer"); }

void SPrefsObjectViewer::slotSaveWidgetStates()
{
    Mu::debug("SPrefsObjectViewer::slotSaveWidgetStates");
    {
        Mx::Cfg cfg(cfgSection());
        cfg.writeEntry(kBgColor, mFirstRow.bgColor->currentColor());
        cfg.writeEntry(kTextFont, mFirstRow.textFont);
        cfg.writeEntry(kScale, mScale->value());
        cfg.writeEntry(kBlundersOn, mBlundersOn->isChecked() ? 1 : 0);
    }
    emit sigWidgetsSaved();
}

void SPrefsObjectViewer::initWidgets()
{
    Mu::debug("SPrefsObjectViewer::initWidgets");
    Mx::Cfg cfg(cfgSection());
    mFirstRow.bgColor->setCurrentColor(cfg.readColor(kBgColor, kDefaultBgColor));
    setTextFont(mFirstRow, cfg.readFont(kTextFont, defaultTextFont()));
    mScale->setValue(cfg.readNum(kScale, kDefaultScale));
    mBlundersOn->setChecked(cfg.readBool(kBlundersOn, kDefaultBlundersOn));
}

void SPrefsObjectViewer::_slotSelectTextFont() { selectTextFont(mFirstRow, this); }
