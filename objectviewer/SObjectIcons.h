// SPDX-License-Identifier: GPL-3.0-or-later
// The small pictures of the object viewer's actions, drawn at run time so that no image
// files have to travel with the program.
#pragma once

#include <QIcon>

class SObjectIcons {
public:
    static QIcon window();
    static QIcon close();
    static QIcon zoomIn();
    static QIcon zoomOut();
    static QIcon fixedZoom();
    static QIcon zoom100();
    static QIcon fitWindow();
    static QIcon zoomMode();
    static QIcon scrollMode();
    static QIcon selectionMode();
    static QIcon preferences();
};
