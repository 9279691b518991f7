// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SRecentProjects.h"

#include "framework/Mu.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024; // eight paths; anything larger is not ours

QString absolute(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

} // namespace

SRecentProjects::SRecentProjects(const QString &file) : mFile(file) { load(); }

void SRecentProjects::add(const QString &projectFile)
{
    const QString path = absolute(projectFile);
    mEntries.removeAll(path);
    mEntries.prepend(path);
    while (mEntries.size() > kMaxEntries)
        mEntries.removeLast();
    save();
}

void SRecentProjects::remove(const QString &projectFile)
{
    if (mEntries.removeAll(absolute(projectFile)) > 0)
        save();
}

int SRecentProjects::removeMissing()
{
    const int removed = int(mEntries.removeIf([](const QString &path) { return !exists(path); }));
    if (removed > 0)
        save();
    return removed;
}

void SRecentProjects::clear()
{
    mEntries.clear();
    save();
}

bool SRecentProjects::exists(const QString &projectFile) { return QFileInfo(projectFile).isFile(); }

void SRecentProjects::load()
{
    QFile file(mFile);
    if (mFile.isEmpty() || !file.exists())
        return;
    if (file.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Mu::warn("%s", qPrintable(Mu::tr("Can't read the list of recent projects '%1'; it starts empty.")
                                      .arg(QDir::toNativeSeparators(mFile))));
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString path = line.trimmed();
        if (QDir::isAbsolutePath(path) && !mEntries.contains(path) && mEntries.size() < kMaxEntries)
            mEntries << path;
    }
}

void SRecentProjects::save() const
{
    if (mFile.isEmpty())
        return;
    QDir().mkpath(QFileInfo(mFile).absolutePath());
    QSaveFile file(mFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const QString &path : mEntries)
            file.write(path.toUtf8() + '\n');
        if (file.commit())
            return;
    }
    Mu::warn("%s",
             qPrintable(Mu::tr("Can't write the list of recent projects '%1'.").arg(QDir::toNativeSeparators(mFile))));
}
