// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SRecentProjectsMenu.h"

#include "app/SRecentProjects.h"

#include <QDir>

SRecentProjectsMenu::SRecentProjectsMenu(SRecentProjects &projects, QWidget *parent)
    : QMenu(tr("Recent Pro&jects"), parent), mProjects(projects)
{
    connect(this, &QMenu::aboutToShow, this, &SRecentProjectsMenu::rebuild);
    rebuild();
}

void SRecentProjectsMenu::rebuild()
{
    clear();
    bool anyMissing = false;
    int number = 0;
    for (const QString &path : mProjects.entries()) {
        ++number;
        // Numbers 1 to 8 double as accelerators; "&" in a path must not become one.
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *action = addAction(QStringLiteral("&%1 %2").arg(number).arg(shown));
        if (!SRecentProjects::exists(path)) {
            action->setEnabled(false);
            action->setStatusTip(tr("This project file no longer exists"));
            anyMissing = true;
            continue;
        }
        connect(action, &QAction::triggered, this, [this, path] { emit sigOpenProject(path); });
    }
    if (mProjects.entries().isEmpty())
        addAction(tr("No recent projects"))->setEnabled(false);
    addSeparator();
    QAction *removeMissing = addAction(tr("Remove &Missing Projects"), this, [this] {
        mProjects.removeMissing();
        rebuild();
    });
    removeMissing->setEnabled(anyMissing);
    addAction(tr("&Clear List"), this, [this] {
        mProjects.clear();
        rebuild();
    })->setEnabled(!mProjects.entries().isEmpty());
}
