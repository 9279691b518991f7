// SPDX-License-Identifier: GPL-3.0-or-later
// Watches the files of the open project (the project file and the files it names) and says
// when one of them differs from what was read: size or modification time changed, a file
// appeared or vanished. Also waits, on request, until the files have stopped growing.
#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class SProjectWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kStableMs = 1000; // sizes unchanged this long: the writer is done
    static constexpr int kPollMs = 200;    // how often the sizes are looked at while waiting
    static constexpr int kSettleMs = 300;  // change notices closer than this count as one

    explicit SProjectWatcher(QObject *parent = nullptr);

    // Watches these files from now on; what they are now counts as read.
    void watch(const QStringList &files);
    void stop();
    // What the files are now counts as read (after a reload, or when the user ignores a change).
    void acceptCurrentState();
    bool changedSinceAccepted() const;
    // Files that existed when their state was accepted and are gone now.
    QStringList vanishedFiles() const;
    const QStringList &files() const { return mFiles; }

    // Calls done once the files' sizes and times have stayed the same for stableMs; a new
    // request replaces a waiting one.
    void whenStable(std::function<void()> done, int stableMs = kStableMs);
    bool waiting() const { return mPoll.isActive(); }

signals:
    // A watched file differs from what was read.
    void sigFilesChanged();

private:
    struct FileState {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileState &) const = default;
    };
    QList<FileState> currentState() const;
    void rewatch();
    void checkChange();
    void poll();

    QFileSystemWatcher mWatcher;
    QStringList mFiles;
    QList<FileState> mAccepted;
    QTimer mSettle;
    QTimer mPoll;
    QList<FileState> mLastPolled;
    qint64 mStableFor = 0;
    int mStableMs = kStableMs;
    std::function<void()> mDone;
};
