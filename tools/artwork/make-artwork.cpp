// SPDX-License-Identifier: GPL-3.0-or-later
// Renders Varlomin's artwork (splash, window icon, ball images) into PNG files; with a second
// folder also the desktop icon in the hicolor sizes (the drawing of packaging/icons/*.svg).
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace {

// The window icon's design on its 32-unit grid, at any size.
QImage desktopIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, size > 32);
    p.scale(size / 32.0, size / 32.0);
    p.fillRect(QRectF(3, 3, 26, 26), QColor(0, 0, 128));
    p.fillRect(QRectF(6, 6, 20, 20), QColor(255, 255, 255));
    p.setPen(QPen(QColor(0, 0, 128), 1.0, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(8.5, 23.5), QPointF(23.5, 8.5));
    p.drawLine(QPointF(8.5, 8.5), QPointF(23.5, 23.5));
    p.fillRect(QRectF(14, 14, 4, 4), QColor(255, 0, 0));
    return icon;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argv[1];
    // Splash: 758 x 380, a palette of 12 greys from black upward.
    QImage rgb(758, 380, QImage::Format_RGB32);
    {
        QPainter p(&rgb);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, 0, 380);
        g.setColorAt(0, QColor(235, 235, 235));
        g.setColorAt(1, QColor(150, 150, 150));
        p.fillRect(rgb.rect(), g);
        // A block of images: strips of footprints with rays to a terrain point.
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        for (int s = 0; s < 3; ++s)
            for (int i = 0; i < 7; ++i)
                p.drawRect(QRectF(380 + i * 48 + s * 10, 40 + s * 52, 60, 60));
        p.setPen(QPen(QColor(40, 40, 40), 1));
        for (int i = 0; i < 7; ++i)
            p.drawLine(QPointF(410 + i * 48, 70), QPointF(560, 300));
        p.setBrush(QColor(0, 0, 0));
        p.drawEllipse(QPointF(560, 300), 5, 5);
        QFont f("Liberation Sans", 54, QFont::Bold);
        p.setFont(f);
        p.setPen(QColor(20, 20, 20));
        p.drawText(QRect(30, 200, 500, 80), Qt::AlignLeft | Qt::AlignVCenter, "Varlomin");
        QFont f2("Liberation Sans", 15);
        p.setFont(f2);
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRect(34, 270, 700, 30), Qt::AlignLeft, "Graphical Analysis Tool for PATB Adjustment Results");
    }
    QList<QRgb> greys;
    for (int i = 0; i < 12; ++i) {
        int v = i * 255 / 11;
        greys << qRgb(v, v, v);
    }
    rgb.convertToFormat(QImage::Format_Indexed8, greys, Qt::ThresholdDither).save(out + "/splash.png");
    // Window icon: 32 x 32, four colours.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.fillRect(3, 3, 26, 26, QColor(0, 0, 128));
        p.fillRect(6, 6, 20, 20, QColor(255, 255, 255));
        p.setPen(QColor(0, 0, 128));
        p.drawLine(8, 24, 24, 8);
        p.drawLine(8, 8, 24, 24);
        p.fillRect(14, 14, 4, 4, QColor(255, 0, 0));
    }
    icon.save(out + "/varlomin.png");
    for (auto [name, c] : {std::pair{"ball-green", QColor(0, 170, 0)}, std::pair{"ball-red", QColor(210, 0, 0)}}) {
        QImage b(14, 14, QImage::Format_ARGB32);
        b.fill(Qt::transparent);
        QPainter p(&b);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient g(QPointF(5, 5), 8);
        g.setColorAt(0, c.lighter(190));
        g.setColorAt(1, c.darker(140));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(1, 1, 12, 12));
        p.end();
        b.save(out + "/" + name + ".png");
    }
    if (argc > 2) {
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
            QDir().mkpath(dir);
            desktopIcon(size).save(dir + "/org.varlomin.Varlomin.png");
        }
    }
}
