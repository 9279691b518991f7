// SPDX-License-Identifier: GPL-3.0-or-later
// The "Recent Projects" menu: one entry per recent project, newest first; a project that no
// longer exists is greyed and can be removed with "Remove Missing Projects".
#pragma once

#include <QMenu>

class SRecentProjects;

class SRecentProjectsMenu : public QMenu {
    Q_OBJECT
public:
    SRecentProjectsMenu(SRecentProjects &projects, QWidget *parent = nullptr);

    // Builds the entries from the list (also done each time the menu opens).
    void rebuild();

signals:
    void sigOpenProject(const QString &projectFile);

private:
    SRecentProjects &mProjects;
};
