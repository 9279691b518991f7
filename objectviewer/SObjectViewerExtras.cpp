// SPDX-License-Identifier: GPL-3.0-or-later
// The object viewer's view additions in its Extras menu: colour by error, the scale bar, the
// density of crowded pixels and the vertical exaggeration of XZ and YZ. The choices live in the configuration, shared by
// every object viewer.
#include "framework/Mu.h"
#include "framework/MxChoiceMenu.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <functional>

namespace {

using SErrorColours::MeasureE;

// Each choice writes the configuration; every object viewer then shows it.
void storeExtras(const std::function<void(SSettings::ObjectViewExtras &)> &change)
{
    SSettings::ObjectViewExtras extras = SSettings::readObjectViewExtras();
    change(extras);
    SSettings::writeObjectViewExtras(extras);
    SObjectViewer::applyExtrasToAll();
}

} // namespace

void SObjectViewer::buildViewExtras(QMenu *menu)
{
    mColourByGroup = Mx::addChoiceMenu(
        menu, Mu::tr("&Colour by Error"),
        {{Mu::tr("Off"), int(MeasureE::Off)},
         {Mu::tr("Largest Accepted Residual"), int(MeasureE::Residual)},
         {Mu::tr("Largest Sigma"), int(MeasureE::Sigma)}},
        this, [](int measure) {
            storeExtras([measure](SSettings::ObjectViewExtras &e) { e.colourBy = MeasureE(measure); });
        });
    mScaleBarAction = menu->addAction(Mu::tr("Scale &Bar"));
    mScaleBarAction->setCheckable(true);
    connect(mScaleBarAction, &QAction::triggered, this,
            [](bool on) { storeExtras([on](SSettings::ObjectViewExtras &e) { e.scaleBarOn = on; }); });
    mDensityAction = menu->addAction(Mu::tr("&Density of Crowded Pixels"));
    mDensityAction->setCheckable(true);
    connect(mDensityAction, &QAction::triggered, this,
            [](bool on) { storeExtras([on](SSettings::ObjectViewExtras &e) { e.densityOn = on; }); });

    if (mPlane != SGlobal::kPlaneXY) { // Z is the vertical axis of XZ and YZ only
        std::vector<Mx::Choice> factors;
        for (int factor : SSettings::kVerticalExaggerations)
            factors.push_back({Mu::tr("%1 \u00d7").arg(factor), factor});
        mExaggerationGroup = Mx::addChoiceMenu(menu, Mu::tr("&Vertical Exaggeration"), factors, this, [](int factor) {
            storeExtras([factor](SSettings::ObjectViewExtras &e) { e.verticalExaggeration = factor; });
        });
    }
    applyExtras();
}

void SObjectViewer::applyExtras()
{
    const SSettings::ObjectViewExtras extras = SSettings::readObjectViewExtras();
    mView->applyExtras(extras);
    Mx::checkChoice(mColourByGroup, int(extras.colourBy));
    mScaleBarAction->setChecked(extras.scaleBarOn);
    mDensityAction->setChecked(extras.densityOn);
    if (mExaggerationGroup)
        Mx::checkChoice(mExaggerationGroup, mView->canvas().verticalExaggeration());
}

void SObjectViewer::applyExtrasToAll()
{
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
        if (SObjectViewer *v = viewer(plane))
            v->applyExtras();
}
