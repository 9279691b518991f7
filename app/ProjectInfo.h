// SPDX-License-Identifier: GPL-3.0-or-later
// The "In&fo" tab of the project dock: the project's files and adjustment statistics.
#pragma once

#include <QScrollArea>

class QLabel;
struct ProjectFiles;

class ProjectInfo : public QScrollArea {
    Q_OBJECT
public:
    explicit ProjectInfo(QWidget *parent = nullptr);

    // Shows the project's files and statistics with the numbers of images and points read.
    void showProject(const ProjectFiles &project, int images, int points);
    void clear();
    // The whole value (paths absolute); shownText is what fits the label.
    QString value(int row) const;
    QString shownText(int row) const;

    static constexpr int kRows = 11;
    static constexpr int kPathRows = 6; // project file and the five files it names

private:
    QLabel *mValues[kRows];
};
