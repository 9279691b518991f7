// SPDX-License-Identifier: GPL-3.0-or-later
// A submenu of exclusive choices, each a checkable action that carries a number: the viewers'
// Extras menus offer their colourings and factors this way.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QString>

#include <functional>
#include <vector>

namespace Mx {

struct Choice {
    QString text;
    int value;
};

// Adds the submenu `title` to menu, one action per choice in their order; picking one calls
// chosen with its value. The returned group (owned by owner) holds the actions.
inline QActionGroup *addChoiceMenu(QMenu *menu, const QString &title, const std::vector<Choice> &choices,
                                   QObject *owner, const std::function<void(int)> &chosen)
{
    QMenu *submenu = menu->addMenu(title);
    auto *group = new QActionGroup(owner);
    group->setExclusive(true);
    for (const Choice &choice : choices) {
        QAction *action = group->addAction(choice.text);
        action->setCheckable(true);
        action->setData(choice.value);
        QObject::connect(action, &QAction::triggered, owner, [chosen, value = choice.value] { chosen(value); });
        submenu->addAction(action);
    }
    return group;
}

// Checks the group's action whose value is value (and unchecks the others).
inline void checkChoice(const QActionGroup *group, int value)
{
    for (QAction *action : group->actions())
        action->setChecked(action->data().toInt() == value);
}

} // namespace Mx
