// SPDX-License-Identifier: GPL-3.0-or-later
// The projects opened last, newest first, as absolute paths: at most eight, kept in a small
// text file of their own (one path a line) so that the list survives a run whose preferences
// are not saved.
#pragma once

#include <QString>
#include <QStringList>

class SRecentProjects {
public:
    static constexpr int kMaxEntries = 8;

    // The list kept in file; an empty name keeps the list in memory only.
    explicit SRecentProjects(const QString &file = QString());

    // Moves the project to the top (as an absolute path) and drops what falls off the end.
    void add(const QString &projectFile);
    void remove(const QString &projectFile);
    // Drops the entries whose file no longer exists; returns how many.
    int removeMissing();
    void clear();

    const QStringList &entries() const { return mEntries; }
    static bool exists(const QString &projectFile);

private:
    void load();
    void save() const;

    QString mFile;
    QStringList mEntries;
};
