#include "window/Cursors.h"

#include <QPainter>
#include <QPainterPath>

namespace vorlix::window {

namespace {

    constexpr int Size = 32;

    // Every shape is a white outline around a black figure, so that it shows on any page.
    void strokeTwice(QPainter& painter, const QPainterPath& path, qreal width)
    {
        painter.strokePath(path, QPen(Qt::white, width + 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.strokePath(path, QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap));
    }

    void drawCrossHair(QPainter& painter)
    {
        QPainterPath path;
        path.moveTo(16, 2);
        path.lineTo(16, 13);
        path.moveTo(16, 19);
        path.lineTo(16, 30);
        path.moveTo(2, 16);
        path.lineTo(13, 16);
        path.moveTo(19, 16);
        path.lineTo(30, 16);
        strokeTwice(painter, path, 1.0);
    }

    void drawWestEast(QPainter& painter)
    {
        QPainterPath path;
        path.moveTo(4, 16);
        path.lineTo(28, 16);
        path.moveTo(12, 16);
        path.moveTo(13, 10);
        path.lineTo(13, 22);
        path.moveTo(19, 10);
        path.lineTo(19, 22);
        strokeTwice(painter, path, 1.5);
        QPainterPath heads;
        heads.moveTo(2, 16);
        heads.lineTo(8, 11);
        heads.lineTo(8, 21);
        heads.closeSubpath();
        heads.moveTo(30, 16);
        heads.lineTo(24, 11);
        heads.lineTo(24, 21);
        heads.closeSubpath();
        painter.setPen(QPen(Qt::white, 1.0));
        painter.setBrush(Qt::black);
        painter.drawPath(heads);
    }

    // A hand seen from its back: four fingers up (open), or curled into a fist whose knuckles
    // show as a row of bumps (closed).
    void drawHand(QPainter& painter, bool closed)
    {
        QPainterPath hand;
        for (int i = 0; i < 4; ++i) {
            const qreal x = 9.0 + i * 4.5;
            if (closed)
                hand.addRoundedRect(QRectF(x, 10.0, 4.5, 7.0), 2.2, 2.2);
            else
                hand.addRoundedRect(
                    QRectF(x, 4.0 + (i == 0 || i == 3 ? 2 : 0), 4.0, 16.0), 2.0, 2.0);
        }
        hand.addRoundedRect(QRectF(9, 14, 18, 13), 4.0, 4.0);
        if (closed) {
            hand.addRoundedRect(QRectF(6, 15, 6, 8), 3.0, 3.0);
        } else {
            QPainterPath thumb;
            thumb.moveTo(10, 21);
            thumb.lineTo(4, 14);
            thumb.lineTo(6, 12);
            thumb.lineTo(11, 16);
            hand.addPath(thumb);
        }
        hand.setFillRule(Qt::WindingFill);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawPath(hand.simplified());
        painter.setPen(QPen(Qt::black, 0.8));
        for (int i = 1; i < 4; ++i) {
            const qreal x = 9.0 + i * 4.5;
            if (closed)
                painter.drawLine(QPointF(x, 11.0), QPointF(x, 15.0));
            else
                painter.drawLine(QPointF(x, 10.0), QPointF(x, 17.0));
        }
    }

}

QPixmap Cursors::picture(Shape shape)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (shape) {
    case Shape::CrossHair:
        drawCrossHair(painter);
        break;
    case Shape::WestEast:
        drawWestEast(painter);
        break;
    case Shape::OpenHand:
        drawHand(painter, false);
        break;
    case Shape::ClosedHand:
        drawHand(painter, true);
        break;
    }
    return pixmap;
}

QCursor Cursors::cursor(Shape shape)
{
    const bool centred = shape == Shape::CrossHair || shape == Shape::WestEast;
    return QCursor(picture(shape), centred ? Size / 2 : 16, centred ? Size / 2 : 12);
}

}
