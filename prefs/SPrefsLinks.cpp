// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SPrefsLinks.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "framework/MxStd.h"
#include "misc/SGlobal.h"
#include "prefs/SSettings.h"
#include "prefs/SStripGroupBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kGroupStretch = 3;
constexpr int kRowEndStretch = 2;
constexpr int kPageEndStretch = 2;
} // namespace

using namespace SSettings;

SPrefsLinks::SPrefsLinks(QWidget *parent) : Mx::PrefsTab(kGroupLinks, parent)
{
    Mu::debug("SPrefsLinks");
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    page->setSpacing(Mx::stdSpace());

    auto *row = new QHBoxLayout;
    page->addLayout(row);
    auto *connections = new SStripGroupBox(2, Mu::tr("Connections:"), this);
    mLineType = new QComboBox(connections);
    mLineType->setObjectName(QStringLiteral("lineType"));
    mLineType->setEditable(false);
    for (int type = 0; type < SGlobal::kLinkLineTypeCount; ++type)
        mLineType->addItem(Mu::tr(linkLineTypeName(type)));
    connections->addCaption(Mu::tr("&Line Type "), mLineType);
    connections->addWidget(mLineType);
    row->addWidget(connections, kGroupStretch);
    row->addStretch(kRowEndStretch);
    page->addStretch(kPageEndStretch);
}

SPrefsLinks::~SPrefsLinks() { Mu::debug("~SPrefsLinks"); }

void SPrefsLinks::slotSaveWidgetStates()
{
    Mu::debug("SPrefsLinks::slotSaveWidgetStates");
    {
        Mx::Cfg cfg(cfgSection());
        cfg.writeEntry(kLinkLineType, mLineType->currentIndex());
    }
    emit sigWidgetsSaved();
}

void SPrefsLinks::initWidgets()
{
    Mu::debug("SPrefsLinks::initWidgets");
    Mx::Cfg cfg(cfgSection());
    // A stored type outside the list shows as the nearest item instead of no item.
    const int stored = cfg.readNum(kLinkLineType, kDefaultLinkLineType);
    mLineType->setCurrentIndex(std::clamp(stored, 0, mLineType->count() - 1));
}
