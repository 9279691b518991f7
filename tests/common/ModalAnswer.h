// SPDX-License-Identifier: GPL-3.0-or-later
// Answers the modal dialogs that a tested action opens, and finds menu entries by their text.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

// Runs `answer` on the next modal dialog of type Dialog once it is shown. A modal nobody
// answers would hang the test: after 20 s any other modal is rejected.
template <typename Dialog = QDialog> void answerNextModal(std::function<void(Dialog *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(timer, &QTimer::timeout, [timer, waited, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<Dialog *>(modal);
        if (!dialog && modal && waited->elapsed() > 20000) {
            qWarning("unanswered modal dialog %s: rejected", modal->metaObject()->className());
            if (auto *d = qobject_cast<QDialog *>(modal))
                d->reject();
        }
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

inline void clickButton(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *button : box->buttons())
        if (button->text() == text)
            button->click();
}

inline QAction *menuAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}
