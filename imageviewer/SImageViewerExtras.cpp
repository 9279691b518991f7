// SPDX-License-Identifier: GPL-3.0-or-later
// The image viewer's view additions in its Extras menu: colour by error and the residual
// legend. The choices live in the configuration, shared by every image viewer.
#include "framework/Mu.h"
#include "framework/MxChoiceMenu.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "prefs/SSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <functional>

double SImageViewer::sSigma0 = 0.0;

namespace {

using SErrorColours::MeasureE;

// Each choice writes the configuration; every image viewer then shows it.
void storeExtras(const std::function<void(SSettings::ImageViewExtras &)> &change)
{
    SSettings::ImageViewExtras extras = SSettings::readImageViewExtras();
    change(extras);
    SSettings::writeImageViewExtras(extras);
    SImageViewer::applyExtrasToAll();
}

} // namespace

void SImageViewer::buildViewExtras(QMenu *menu)
{
    mColourByGroup =
        Mx::addChoiceMenu(menu, Mu::tr("&Colour by Error"),
                          {{Mu::tr("Off"), int(MeasureE::Off)},
                           {Mu::tr("Residual |v|"), int(MeasureE::Residual)},
                           {Mu::tr("Standardized Residual"), int(MeasureE::Standardized)}},
                          this, [](int measure) {
                              storeExtras([measure](SSettings::ImageViewExtras &e) { e.colourBy = MeasureE(measure); });
                          });
    mResidualLegendAction = menu->addAction(Mu::tr("Residual &Legend"));
    mResidualLegendAction->setCheckable(true);
    connect(mResidualLegendAction, &QAction::triggered, this,
            [](bool on) { storeExtras([on](SSettings::ImageViewExtras &e) { e.residualLegendOn = on; }); });
    applyExtras();
}

void SImageViewer::applyExtras()
{
    const SSettings::ImageViewExtras extras = SSettings::readImageViewExtras();
    SImageCanvas &canvas = mView->canvas();
    canvas.setColouring(extras.colouring(sSigma0));
    canvas.setResidualLegendOn(extras.residualLegendOn);
    Mx::checkChoice(mColourByGroup, int(extras.colourBy));
    mResidualLegendAction->setChecked(extras.residualLegendOn);
    mView->updateContents();
}

void SImageViewer::applyExtrasToAll()
{
    for (SImageViewer *viewer : sViewers)
        viewer->applyExtras();
}

void SImageViewer::setSigma0(double sigma0)
{
    sSigma0 = sigma0;
    applyExtrasToAll();
}
