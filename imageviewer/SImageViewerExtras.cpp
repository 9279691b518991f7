// SPDX-License-Identifier: GPL-3.0-or-later
// The image viewer's view additions in its Extras menu: colour by error and the residual
// legend. The choices live in the configuration, shared by every image viewer.
#include "framework/Mu.h"
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
    QMenu *colourBy = menu->addMenu(Mu::tr("&Colour by Error"));
    mColourByGroup = new QActionGroup(this);
    mColourByGroup->setExclusive(true);
    const struct {
        const char *text;
        MeasureE measure;
    } choices[] = {{"Off", MeasureE::Off},
                   {"Residual |v|", MeasureE::Residual},
                   {"Standardized Residual", MeasureE::Standardized}};
    for (const auto &choice : choices) {
        QAction *action = mColourByGroup->addAction(Mu::tr(choice.text));
        action->setCheckable(true);
        action->setData(int(choice.measure));
        const MeasureE measure = choice.measure;
        connect(action, &QAction::triggered, this,
                [measure] { storeExtras([measure](SSettings::ImageViewExtras &e) { e.colourBy = measure; }); });
        colourBy->addAction(action);
    }
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
    for (QAction *action : mColourByGroup->actions())
        action->setChecked(action->data().toInt() == int(extras.colourBy));
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
