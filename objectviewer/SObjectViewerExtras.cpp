// SPDX-License-Identifier: GPL-3.0-or-later
// The object viewer's view additions in its Extras menu: colour by error, the scale bar, the
// density of crowded pixels and the vertical exaggeration of XZ and YZ. The choices live in the configuration, shared by
// every object viewer.
#include "framework/Mu.h"
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
    QMenu *colourBy = menu->addMenu(Mu::tr("&Colour by Error"));
    mColourByGroup = new QActionGroup(this);
    mColourByGroup->setExclusive(true);
    const struct {
        const char *text;
        MeasureE measure;
    } choices[] = {
        {"Off", MeasureE::Off}, {"Largest Accepted Residual", MeasureE::Residual}, {"Largest Sigma", MeasureE::Sigma}};
    for (const auto &choice : choices) {
        QAction *action = mColourByGroup->addAction(Mu::tr(choice.text));
        action->setCheckable(true);
        action->setData(int(choice.measure));
        const MeasureE measure = choice.measure;
        connect(action, &QAction::triggered, this,
                [measure] { storeExtras([measure](SSettings::ObjectViewExtras &e) { e.colourBy = measure; }); });
        colourBy->addAction(action);
    }
    mScaleBarAction = menu->addAction(Mu::tr("Scale &Bar"));
    mScaleBarAction->setCheckable(true);
    connect(mScaleBarAction, &QAction::triggered, this,
            [](bool on) { storeExtras([on](SSettings::ObjectViewExtras &e) { e.scaleBarOn = on; }); });
    mDensityAction = menu->addAction(Mu::tr("&Density of Crowded Pixels"));
    mDensityAction->setCheckable(true);
    connect(mDensityAction, &QAction::triggered, this,
            [](bool on) { storeExtras([on](SSettings::ObjectViewExtras &e) { e.densityOn = on; }); });

    if (mPlane != SGlobal::kPlaneXY) { // Z is the vertical axis of XZ and YZ only
        QMenu *exaggeration = menu->addMenu(Mu::tr("&Vertical Exaggeration"));
        mExaggerationGroup = new QActionGroup(this);
        mExaggerationGroup->setExclusive(true);
        for (int factor : SSettings::kVerticalExaggerations) {
            QAction *action = mExaggerationGroup->addAction(Mu::tr("%1 \u00d7").arg(factor));
            action->setCheckable(true);
            action->setData(factor);
            connect(action, &QAction::triggered, this, [factor] {
                storeExtras([factor](SSettings::ObjectViewExtras &e) { e.verticalExaggeration = factor; });
            });
            exaggeration->addAction(action);
        }
    }
    applyExtras();
}

void SObjectViewer::applyExtras()
{
    const SSettings::ObjectViewExtras extras = SSettings::readObjectViewExtras();
    mView->applyExtras(extras);
    for (QAction *action : mColourByGroup->actions())
        action->setChecked(action->data().toInt() == int(extras.colourBy));
    mScaleBarAction->setChecked(extras.scaleBarOn);
    mDensityAction->setChecked(extras.densityOn);
    if (mExaggerationGroup)
        for (QAction *action : mExaggerationGroup->actions())
            action->setChecked(action->data().toInt() == mView->canvas().verticalExaggeration());
}

void SObjectViewer::applyExtrasToAll()
{
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
        if (SObjectViewer *v = viewer(plane))
            v->applyExtras();
}
