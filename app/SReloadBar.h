// SPDX-License-Identifier: GPL-3.0-or-later
// The bar above the workspace that tells that the open project's files changed on disk and
// offers "Reload" and "Ignore"; it never blocks the window. It also shows that a reload is
// waiting for the files and why a reload failed.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

class SReloadBar : public QFrame {
    Q_OBJECT
public:
    explicit SReloadBar(QWidget *parent = nullptr);

    void showChanged();
    void showWaiting();
    void showFailed(const QString &reason);

    QLabel *label() const { return mLabel; }
    QPushButton *reloadButton() const { return mReload; }
    QPushButton *ignoreButton() const { return mIgnore; }

signals:
    void sigReload();
    void sigIgnore();

private:
    void showText(const QString &text, bool buttons);

    QLabel *mLabel;
    QPushButton *mReload;
    QPushButton *mIgnore;
};
