// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageInfoView.h"

#include "framework/Mu.h"
#include "framework/MxStd.h"
#include "misc/SImageData.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kGridMargin = 22;
constexpr int kGridSpacing = 5;
constexpr int kPanelLineWidth = 2;
constexpr int kDecimals = 3;

QLabel *makeCaption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFixedWidth(label->sizeHint().width());
    return label;
}

} // namespace

SImageInfoView::SImageInfoView(QWidget *parent) : QWidget(parent)
{
    Mu::debug("SImageInfoView");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    layout->setSpacing(Mx::stdSpace());

    auto *group = new QGroupBox(Mu::tr("Image Info"), this);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(kGridMargin, kGridMargin, kGridMargin, kGridMargin);
    grid->setSpacing(kGridSpacing);
    grid->setColumnStretch(2, 1);

    mImageId = makeValueLabel(group);
    mCameraId = makeValueLabel(group);
    mCoordCount = makeValueLabel(group);
    grid->addWidget(makeCaption(Mu::tr("Image ID: "), group), 0, 0);
    grid->addWidget(mImageId, 0, 1);
    grid->addWidget(makeCaption(Mu::tr("Camera ID: "), group), 1, 0);
    grid->addWidget(mCameraId, 1, 1);
    grid->addWidget(makeCaption(Mu::tr("# Coords: "), group), 2, 0);
    grid->addWidget(mCoordCount, 2, 1);
    grid->addWidget(makeCaption(Mu::tr("Projection Centre: "), group), 3, 0, Qt::AlignLeft | Qt::AlignTop);

    auto *centre = new QGridLayout();
    const char *axisCaptions[] = {"X: ", "Y: ", "Z: "};
    for (int axis = 0; axis < 3; ++axis) {
        mCentre[axis] = makeValueLabel(group);
        mCentreSigma[axis] = makeValueLabel(group);
        centre->addWidget(makeCaption(Mu::tr(axisCaptions[axis]), group), axis, 0);
        centre->addWidget(mCentre[axis], axis, 1);
        centre->addWidget(makeCaption(Mu::tr("\u00b1 "), group), axis, 2);
        centre->addWidget(mCentreSigma[axis], axis, 3);
    }
    grid->addLayout(centre, 3, 1);

    layout->addWidget(group);
    layout->addStretch();
}

SImageInfoView::~SImageInfoView() { Mu::debug("~SImageInfoView"); }

QLabel *SImageInfoView::makeValueLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(kPanelLineWidth);
    return label;
}

void SImageInfoView::setFixedText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setMinimumWidth(0);
    label->setMaximumWidth(QWIDGETSIZE_MAX);
    label->setFixedWidth(label->sizeHint().width());
}

void SImageInfoView::setImage(const SImage *image)
{
    if (!image)
        return;
    setFixedText(mImageId, QString::number(image->id()));
    setFixedText(mCameraId, QString::number(image->cameraId()));
    setFixedText(mCoordCount, QString::number(image->numberOfPoints()));
    const float centre[] = {image->X0(), image->Y0(), image->Z0()};
    const float sigma[] = {image->sigmaX0(), image->sigmaY0(), image->sigmaZ0()};
    for (int axis = 0; axis < 3; ++axis) {
        setFixedText(mCentre[axis], QStringLiteral("%1").arg(double(centre[axis]), 0, 'f', kDecimals));
        setFixedText(mCentreSigma[axis], QStringLiteral("%1").arg(double(sigma[axis]), 0, 'f', kDecimals));
    }
}

QString SImageInfoView::imageIdText() const { return mImageId->text(); }
QString SImageInfoView::cameraIdText() const { return mCameraId->text(); }
QString SImageInfoView::coordCountText() const { return mCoordCount->text(); }
QString SImageInfoView::centreText(int axis) const
{
    return (axis >= 0 && axis < 3) ? mCentre[axis]->text() : QString();
}
QString SImageInfoView::centreSigmaText(int axis) const
{
    return (axis >= 0 && axis < 3) ? mCentreSigma[axis]->text() : QString();
}
