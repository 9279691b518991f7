// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

constexpr int kIconSize = 22;
const QColor kInk(40, 40, 40);
const QColor kLens(200, 225, 255);
const QColor kAccent(30, 110, 200);

QIcon drawn(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

// A magnifying glass with an optional sign inside the lens.
void magnifier(QPainter &p, QChar sign)
{
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13.5, 13.5), QPointF(19.5, 19.5));
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kLens);
    p.drawEllipse(QPointF(9, 9), 6.5, 6.5);
    p.setPen(QPen(kAccent, 2));
    if (sign == QLatin1Char('+') || sign == QLatin1Char('-'))
        p.drawLine(QPointF(6, 9), QPointF(12, 9));
    if (sign == QLatin1Char('+'))
        p.drawLine(QPointF(9, 6), QPointF(9, 12));
}

} // namespace

QIcon SObjectIcons::window()
{
    return drawn([](QPainter &p) {
        // Three axes with a few points: an orthogonal projection of a block.
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(3, 19), QPointF(20, 19));
        p.drawLine(QPointF(3, 19), QPointF(3, 2));
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        for (const QPointF &c : {QPointF(8, 14), QPointF(13, 8), QPointF(17, 13), QPointF(10, 5)})
            p.drawEllipse(c, 2, 2);
    });
}

QIcon SObjectIcons::close()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(190, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(17, 17));
        p.drawLine(QPointF(17, 5), QPointF(5, 17));
    });
}

QIcon SObjectIcons::zoomIn()
{
    return drawn([](QPainter &p) { magnifier(p, QLatin1Char('+')); });
}
QIcon SObjectIcons::zoomOut()
{
    return drawn([](QPainter &p) { magnifier(p, QLatin1Char('-')); });
}
QIcon SObjectIcons::fixedZoom()
{
    return drawn([](QPainter &p) { magnifier(p, QLatin1Char(' ')); });
}

QIcon SObjectIcons::zoom100()
{
    return drawn([](QPainter &p) {
        magnifier(p, QLatin1Char(' '));
        QFont font = p.font();
        font.setPixelSize(7);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kAccent);
        p.drawText(QRectF(2.5, 2.5, 13, 13), Qt::AlignCenter, QStringLiteral("1:1"));
    });
}

QIcon SObjectIcons::fitWindow()
{
    return drawn([](QPainter &p) {
        // A frame with its four corners pushed outwards: the whole block in the window.
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kLens);
        p.drawRect(QRectF(6.5, 6.5, 9, 9));
        p.setPen(QPen(kAccent, 2));
        for (const QPointF &corner : {QPointF(2, 2), QPointF(20, 2), QPointF(2, 20), QPointF(20, 20)}) {
            const qreal dx = corner.x() < 11 ? 5.0 : -5.0;
            const qreal dy = corner.y() < 11 ? 5.0 : -5.0;
            p.drawLine(corner, corner + QPointF(dx, 0));
            p.drawLine(corner, corner + QPointF(0, dy));
        }
    });
}

QIcon SObjectIcons::zoomMode()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        magnifier(p, QLatin1Char('+'));
    });
}

QIcon SObjectIcons::scrollMode()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 3), QPointF(11, 19));
        p.drawLine(QPointF(3, 11), QPointF(19, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const QPointF tips[4][3] = {{{11, 1}, {8, 5}, {14, 5}},
                                    {{11, 21}, {8, 17}, {14, 17}},
                                    {{1, 11}, {5, 8}, {5, 14}},
                                    {{21, 11}, {17, 8}, {17, 14}}};
        for (const auto &tip : tips)
            p.drawPolygon(tip, 3);
    });
}

QIcon SObjectIcons::selectionMode()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2.5, 4.5, 17, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 200, 0));
        p.drawEllipse(QPointF(8, 11), 3.5, 3.5);
        p.drawEllipse(QPointF(14, 9), 3.5, 3.5);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(8, 11), 1.5, 1.5);
        p.drawEllipse(QPointF(14, 9), 1.5, 1.5);
    });
}

QIcon SObjectIcons::preferences()
{
    return drawn([](QPainter &p) {
        // A cog: a toothed ring around a hole.
        QPainterPath cog;
        constexpr int kTeeth = 8;
        for (int i = 0; i < kTeeth; ++i) {
            QTransform t;
            t.translate(11, 11);
            t.rotate(360.0 * i / kTeeth);
            cog.addPolygon(t.map(QPolygonF(QRectF(-2, -10, 4, 5))));
        }
        cog.addEllipse(QPointF(11, 11), 7, 7);
        cog.setFillRule(Qt::WindingFill);
        QPainterPath hole;
        hole.addEllipse(QPointF(11, 11), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(cog.simplified().subtracted(hole));
    });
}
