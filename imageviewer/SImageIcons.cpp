// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <array>

namespace SImageIcons {
namespace {

constexpr int kIconSize = 22;
const QColor kInk(40, 60, 110);
const QColor kGlass(210, 230, 250);

QPen inkPen(qreal width = 2.0) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void drawMagnifier(QPainter &p)
{
    p.setPen(inkPen());
    p.setBrush(kGlass);
    p.drawEllipse(QRectF(3, 3, 11, 11));
    p.setPen(inkPen(3.0));
    p.drawLine(QPointF(13, 13), QPointF(19, 19));
}

void drawTriangle(QPainter &p, qreal tipX, bool pointsRight)
{
    const qreal back = pointsRight ? tipX - 7 : tipX + 7;
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(tipX, 11), QPointF(back, 5), QPointF(back, 17)}));
}

void drawArrowHead(QPainter &p, QPointF tip, QPointF direction)
{
    const QPointF side(-direction.y(), direction.x());
    p.drawPolygon(QPolygonF({tip, tip - 3 * direction + 3 * side, tip - 3 * direction - 3 * side}));
}

void paintFileIcon(QPainter &p, IconE which)
{
    switch (which) {
    case IC_Window:
        p.setPen(inkPen(1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 4.5, 17, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(7, 9), 1.5, 1.5);
        p.drawEllipse(QPointF(14, 13), 1.5, 1.5);
        p.setBrush(Qt::red);
        p.drawEllipse(QPointF(11, 8), 1.5, 1.5);
        break;
    case IC_Close:
        p.setPen(QPen(QColor(170, 30, 30), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(17, 17));
        p.drawLine(QPointF(17, 5), QPointF(5, 17));
        break;
    case IC_ExportPicture:
        p.setPen(inkPen(1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 2.5, 12, 16));
        p.setPen(inkPen(2.0));
        p.drawLine(QPointF(10, 11), QPointF(19, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        drawArrowHead(p, QPointF(21, 11), QPointF(1, 0));
        break;
    default: break;
    }
}

void paintNavigationIcon(QPainter &p, IconE which)
{
    switch (which) {
    case IC_NavFirst:
        p.fillRect(QRectF(4, 5, 2.5, 12), kInk);
        drawTriangle(p, 7, false);
        drawTriangle(p, 13, false);
        break;
    case IC_NavPrev: drawTriangle(p, 7, false); break;
    case IC_NavNext: drawTriangle(p, 15, true); break;
    case IC_NavLast:
        drawTriangle(p, 9, true);
        drawTriangle(p, 15, true);
        p.fillRect(QRectF(15.5, 5, 2.5, 12), kInk);
        break;
    default: break;
    }
}

// The magnifier with its sign: a plus, a minus, two bars or a one.
void paintZoomIcon(QPainter &p, IconE which)
{
    drawMagnifier(p);
    switch (which) {
    case IC_ZoomIn:
        p.setPen(inkPen(1.5));
        p.drawLine(QPointF(6, 8.5), QPointF(11, 8.5));
        p.drawLine(QPointF(8.5, 6), QPointF(8.5, 11));
        break;
    case IC_ZoomOut:
        p.setPen(inkPen(1.5));
        p.drawLine(QPointF(6, 8.5), QPointF(11, 8.5));
        break;
    case IC_FixedZoom:
        p.setPen(inkPen(1.2));
        p.drawLine(QPointF(6, 7), QPointF(11, 7));
        p.drawLine(QPointF(6, 10), QPointF(11, 10));
        break;
    case IC_Zoom100:
        p.setPen(inkPen(1.5));
        p.drawLine(QPointF(8.5, 5.5), QPointF(8.5, 11.5));
        p.drawLine(QPointF(7, 7), QPointF(8.5, 5.5));
        break;
    default: break;
    }
}

// A frame with its four corners pushed outwards: the whole canvas in the window.
void paintFitWindow(QPainter &p)
{
    p.setPen(inkPen(1.5));
    p.setBrush(kGlass);
    p.drawRect(QRectF(6.5, 6.5, 9, 9));
    p.setPen(inkPen(2.0));
    for (const QPointF &corner : {QPointF(2, 2), QPointF(20, 2), QPointF(2, 20), QPointF(20, 20)}) {
        const QPointF inward((corner.x() < 11 ? 1 : -1) * 5.0, (corner.y() < 11 ? 1 : -1) * 5.0);
        p.drawLine(corner, corner + QPointF(inward.x(), 0));
        p.drawLine(corner, corner + QPointF(0, inward.y()));
    }
}

void paintScrollArrows(QPainter &p)
{
    p.setPen(inkPen(2.0));
    p.drawLine(QPointF(11, 4), QPointF(11, 18));
    p.drawLine(QPointF(4, 11), QPointF(18, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    drawArrowHead(p, QPointF(11, 2), QPointF(0, -1));
    drawArrowHead(p, QPointF(11, 20), QPointF(0, 1));
    drawArrowHead(p, QPointF(2, 11), QPointF(-1, 0));
    drawArrowHead(p, QPointF(20, 11), QPointF(1, 0));
}

void paintPreferences(QPainter &p)
{
    p.setPen(inkPen(3.0));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(11, 11);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(-8, 0), QPointF(8, 0));
        p.restore();
    }
    p.setPen(inkPen(1.5));
    p.setBrush(kGlass);
    p.drawEllipse(QPointF(11, 11), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 11), 2, 2);
}

void paintToolIcon(QPainter &p, IconE which)
{
    switch (which) {
    case IC_ZoomMode:
        p.setPen(QPen(kInk, 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2.5, 2.5, 17, 17));
        drawMagnifier(p);
        break;
    case IC_ScrollMode: paintScrollArrows(p); break;
    case IC_SelectPoints:
        p.setPen(QPen(QColor(200, 160, 0), 1.5));
        p.setBrush(QColor(255, 230, 80));
        p.drawRect(QRectF(3.5, 3.5, 15, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        p.drawEllipse(QPointF(14, 13), 2, 2);
        break;
    case IC_Preferences: paintPreferences(p); break;
    default: break;
    }
}

void paintIcon(QPainter &p, IconE which)
{
    switch (which) {
    case IC_Window:
    case IC_Close:
    case IC_ExportPicture: paintFileIcon(p, which); break;
    case IC_NavFirst:
    case IC_NavPrev:
    case IC_NavNext:
    case IC_NavLast: paintNavigationIcon(p, which); break;
    case IC_ZoomIn:
    case IC_ZoomOut:
    case IC_FixedZoom:
    case IC_Zoom100: paintZoomIcon(p, which); break;
    case IC_FitWindow: paintFitWindow(p); break;
    case IC_ZoomMode:
    case IC_ScrollMode:
    case IC_SelectPoints:
    case IC_Preferences: paintToolIcon(p, which); break;
    case IC_Count: break;
    }
}

QPixmap makeBall(const QColor &color)
{
    QPixmap pixmap(kBallSize, kBallSize);
    if (pixmap.isNull())
        return pixmap;
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Light from the upper left gives the ball its shading.
    QRadialGradient shade(QPointF(4.5, 4.5), kBallSize * 0.75, QPointF(4.0, 4.0));
    shade.setColorAt(0.0, color.lighter(190));
    shade.setColorAt(0.5, color);
    shade.setColorAt(1.0, color.darker(220));
    p.setPen(QPen(color.darker(250), 0.8));
    p.setBrush(shade);
    p.drawEllipse(QRectF(0.5, 0.5, kBallSize - 1.0, kBallSize - 1.0));
    return pixmap;
}

} // namespace

QIcon icon(IconE which)
{
    static std::array<QIcon, IC_Count> icons;
    if (which < 0 || which >= IC_Count)
        return QIcon();
    QIcon &cached = icons[which];
    if (cached.isNull()) {
        QPixmap pixmap(kIconSize, kIconSize);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        paintIcon(p, which);
        p.end();
        cached = QIcon(pixmap);
    }
    return cached;
}

const QPixmap &greenBall()
{
    static const QPixmap ball = makeBall(QColor(0, 170, 0));
    return ball;
}

const QPixmap &redBall()
{
    static const QPixmap ball = makeBall(QColor(220, 0, 0));
    return ball;
}

} // namespace SImageIcons
