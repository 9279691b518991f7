// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProjectInfo.h"

#include "framework/Mu.h"
#include "framework/MxStd.h"

#include <QGridLayout>
#include <QLabel>

ProjectInfo::ProjectInfo(QWidget *parent) : QScrollArea(parent)
{
    setWidgetResizable(true); // the one child fills the view
    auto *body = new QWidget;
    auto *grid = new QGridLayout(body);
    grid->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    grid->setSpacing(Mx::stdSpace());
    const char *captions[kRows] = {
        "Project:", "Camera File:",        "Image File:", "Object File:", "Orientation File:", "Observation File:",
        "Sigma 0:", "Average Redundancy:", "# Images:",   "# Points",     "Inversion:"};
    for (int row = 0; row < kRows; ++row) {
        grid->addWidget(new QLabel(Mu::tr(captions[row]), body), row, 0);
        mValues[row] = new QLabel(body);
        mValues[row]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        mValues[row]->setLineWidth(2);
        mValues[row]->setMinimumWidth(20);
        mValues[row]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(mValues[row], row, 1);
    }
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(kRows, 2);
    setWidget(body);
}

void ProjectInfo::update(const QString &project, const QString &camera, const QString &image, const QString &object,
                         const QString &orientation, const QString &observation, double sigma0, double redundancy,
                         int images, int points, bool inversion)
{
    const QString values[kRows] = {project,
                                   camera,
                                   image,
                                   object,
                                   orientation,
                                   observation,
                                   QString::number(sigma0, 'f', 3),
                                   QString::number(redundancy, 'f', 3),
                                   QString::number(images),
                                   QString::number(points),
                                   inversion ? QStringLiteral("TRUE") : QStringLiteral("FALSE")};
    for (int row = 0; row < kRows; ++row)
        mValues[row]->setText(values[row]);
}

void ProjectInfo::clear()
{
    for (QLabel *label : mValues)
        label->clear();
}

QString ProjectInfo::value(int row) const { return row >= 0 && row < kRows ? mValues[row]->text() : QString(); }
