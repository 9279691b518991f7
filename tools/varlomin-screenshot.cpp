// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of the whole X screen, for looking at the GUI under Xvfb:
//   xvfb-run -a sh -c 'varlomin & sleep 5; varlomin-screenshot shot.png'
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varlomin-screenshot FILE.png\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "varlomin-screenshot: cannot grab the screen into '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
