// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SPrefsImageViewer.h"

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

SPrefsImageViewer::SPrefsImageViewer(QWidget *parent) : Mx::PrefsTab(kGroupImageViewer, parent)
{
    Mu::debug("SPrefsImageViewer");
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    page->setSpacing(Mx::stdSpace());

    mFirstRow = addViewerFirstRow(page, this, Mu::tr("Background:"), Mu::tr("Text:"));
    connect(mFirstRow.fontButton, &QPushButton::clicked, this, &SPrefsImageViewer::_slotSelectTextFont);

    auto *secondRow = new QHBoxLayout;
    page->addLayout(secondRow);
    auto *largest = new SStripGroupBox(2, Mu::tr("Largest Residual:"), this);
    mLargestResidualColor = makeColorPicker(largest);
    mLargestResidualColor->setObjectName(QStringLiteral("largestResidualColor"));
    mLargestResidualSize = makeSpinBox(kLargestResidualSizeMin, kLargestResidualSizeMax, Mu::tr(" pixel"), largest);
    mLargestResidualSize->setObjectName(QStringLiteral("largestResidualSize"));
    largest->addCaption(Mu::tr("Color "), mLargestResidualColor);
    largest->addWidget(mLargestResidualColor);
    largest->addCaption(Mu::tr("+Si&ze "), mLargestResidualSize);
    largest->addWidget(mLargestResidualSize);
    secondRow->addWidget(largest);

    mScale = addScaleGroup(secondRow, this);
    secondRow->addStretch(kRowEndStretch);

    page->addStretch(kAboveChecksStretch);
    mPointIdsOn = new QCheckBox(Mu::tr("Display Point &IDs"), this);
    mPointIdsOn->setObjectName(QStringLiteral("pointIdsOn"));
    page->addWidget(mPointIdsOn);
    mBlundersOn = addBlundersCheckBox(page, this);
    page->addStretch(kPageEndStretch);
}

SPrefsImageViewer::~SPrefsImageViewer() { Mu::debug("~SPrefsImageViewer"); }

void SPrefsImageViewer::slotSaveWidgetStates()
{
    Mu::debug("SPrefsImageViewer::slotSaveWidgetStates");
    {
        Mx::Cfg cfg(cfgSection());
        cfg.writeEntry(kBgColor, mFirstRow.bgColor->currentColor());
        cfg.writeEntry(kTextFont, mFirstRow.textFont);
        cfg.writeEntry(kLargestResidualColor, mLargestResidualColor->currentColor());
        cfg.writeEntry(kLargestResidualSize, mLargestResidualSize->value());
        cfg.writeEntry(kScale, mScale->value());
        cfg.writeEntry(kPointIdsOn, mPointIdsOn->isChecked() ? 1 : 0);
        cfg.writeEntry(kBlundersOn, mBlundersOn->isChecked() ? 1 : 0);
    }
    emit sigWidgetsSaved();
}

void SPrefsImageViewer::initWidgets()
{
    Mu::debug("SPrefsImageViewer::initWidgets");
    Mx::Cfg cfg(cfgSection());
    mFirstRow.bgColor->setCurrentColor(cfg.readColor(kBgColor, kDefaultBgColor));
    setTextFont(mFirstRow, cfg.readFont(kTextFont, defaultTextFont()));
    mLargestResidualColor->setCurrentColor(cfg.readColor(kLargestResidualColor, kDefaultLargestResidualColor));
    mLargestResidualSize->setValue(cfg.readNum(kLargestResidualSize, kDefaultLargestResidualSize));
    mScale->setValue(cfg.readNum(kScale, kDefaultScale));
    mPointIdsOn->setChecked(cfg.readBool(kPointIdsOn, kDefaultPointIdsOn));
    mBlundersOn->setChecked(cfg.readBool(kBlundersOn, kDefaultBlundersOn));
}

void SPrefsImageViewer::_slotSelectTextFont() { selectTextFont(mFirstRow, this); }
