// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProjectInfo.h"

#include "framework/Mu.h"
#include "framework/MxStd.h"
#include "patb/ProjectFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

namespace {

// A value label that shows a long path elided in the middle, so that the ends that tell
// the files apart ("(i)", "(o)", ...) stay visible; the whole path is its tool tip.
class PathLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setPath(const QString &path)
    {
        mPath = path;
        setToolTip(path);
        elide();
    }
    QString path() const { return mPath; }
    // The path does not widen the dock: it is elided to whatever width there is.
    QSize minimumSizeHint() const override { return QSize(minimumWidth(), QLabel::minimumSizeHint().height()); }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(mPath, Qt::ElideMiddle, std::max(0, contentsRect().width()))); }
    QString mPath;
};

// Shown absolute, with the platform's separators; empty stays empty.
QString absolutePath(const QString &path)
{
    return path.isEmpty() ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

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
        mValues[row] = row < kPathRows ? new PathLabel(body) : new QLabel(body);
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

void ProjectInfo::showProject(const ProjectFiles &project, int images, int points)
{
    const QString values[kRows] = {project.projectFile,
                                   project.cameraFile,
                                   project.imageFile,
                                   project.objectFile,
                                   project.orientationFile,
                                   project.observationFile,
                                   QString::number(project.sigma0, 'f', 3),
                                   QString::number(project.averageRedundancy, 'f', 3),
                                   QString::number(images),
                                   QString::number(points),
                                   project.inversion ? QStringLiteral("TRUE") : QStringLiteral("FALSE")};
    for (int row = 0; row < kRows; ++row) {
        if (row < kPathRows)
            static_cast<PathLabel *>(mValues[row])->setPath(absolutePath(values[row]));
        else
            mValues[row]->setText(values[row]);
    }
}

void ProjectInfo::clear()
{
    for (int row = 0; row < kRows; ++row) {
        if (row < kPathRows)
            static_cast<PathLabel *>(mValues[row])->setPath(QString());
        else
            mValues[row]->clear();
    }
}

QString ProjectInfo::value(int row) const
{
    if (row < 0 || row >= kRows)
        return {};
    return row < kPathRows ? static_cast<PathLabel *>(mValues[row])->path() : mValues[row]->text();
}

QString ProjectInfo::shownText(int row) const { return row >= 0 && row < kRows ? mValues[row]->text() : QString(); }
