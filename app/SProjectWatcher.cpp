// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SProjectWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

SProjectWatcher::SProjectWatcher(QObject *parent) : QObject(parent)
{
    // A writer replaces or extends a file in many steps; the notices are gathered first.
    mSettle.setSingleShot(true);
    mSettle.setInterval(kSettleMs);
    connect(&mSettle, &QTimer::timeout, this, &SProjectWatcher::checkChange);
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, &mSettle, qOverload<>(&QTimer::start));
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, &mSettle, qOverload<>(&QTimer::start));
    mPoll.setInterval(kPollMs);
    connect(&mPoll, &QTimer::timeout, this, &SProjectWatcher::poll);
}

void SProjectWatcher::watch(const QStringList &files)
{
    stop();
    for (const QString &file : files)
        if (!file.isEmpty() && !mFiles.contains(QFileInfo(file).absoluteFilePath()))
            mFiles << QFileInfo(file).absoluteFilePath();
    rewatch();
    acceptCurrentState();
}

void SProjectWatcher::stop()
{
    mSettle.stop();
    mPoll.stop();
    mDone = nullptr;
    if (!mWatcher.files().isEmpty())
        mWatcher.removePaths(mWatcher.files());
    if (!mWatcher.directories().isEmpty())
        mWatcher.removePaths(mWatcher.directories());
    mFiles.clear();
    mAccepted.clear();
}

void SProjectWatcher::acceptCurrentState() { mAccepted = currentState(); }

bool SProjectWatcher::changedSinceAccepted() const { return !mFiles.isEmpty() && currentState() != mAccepted; }

QStringList SProjectWatcher::vanishedFiles() const
{
    QStringList gone;
    for (int i = 0; i < mFiles.size() && i < mAccepted.size(); ++i)
        if (mAccepted[i].exists && !QFileInfo::exists(mFiles[i]))
            gone << mFiles[i];
    return gone;
}

QList<SProjectWatcher::FileState> SProjectWatcher::currentState() const
{
    QList<FileState> states;
    for (const QString &file : mFiles) {
        const QFileInfo info(file);
        states << (info.exists() ? FileState{true, info.size(), info.lastModified()} : FileState{});
    }
    return states;
}

// A file replaced by renaming drops out of the watch; the folders catch its return.
void SProjectWatcher::rewatch()
{
    QSet<QString> folders;
    QStringList missing;
    for (const QString &file : mFiles) {
        folders.insert(QFileInfo(file).absolutePath());
        if (QFileInfo::exists(file) && !mWatcher.files().contains(file))
            missing << file;
    }
    if (!missing.isEmpty())
        mWatcher.addPaths(missing);
    for (const QString &folder : folders)
        if (!mWatcher.directories().contains(folder) && QFileInfo(folder).isDir())
            mWatcher.addPath(folder);
}

void SProjectWatcher::checkChange()
{
    rewatch();
    if (changedSinceAccepted())
        emit sigFilesChanged();
}

void SProjectWatcher::whenStable(std::function<void()> done, int stableMs)
{
    mDone = std::move(done);
    mStableMs = stableMs;
    mStableFor = 0;
    mLastPolled = currentState();
    mPoll.start();
}

void SProjectWatcher::poll()
{
    const QList<FileState> now = currentState();
    if (now != mLastPolled) {
        mLastPolled = now;
        mStableFor = 0;
        return;
    }
    mStableFor += mPoll.interval();
    if (mStableFor < mStableMs)
        return;
    mPoll.stop();
    if (auto done = std::exchange(mDone, nullptr))
        done();
}
