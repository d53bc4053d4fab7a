#include "window/ApplicationIcon.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace vorlix::window {

QPixmap applicationPixmap(int size)
{
    QSvgRenderer svg(QStringLiteral(":/vorlix/desktop/vorlix.svg"));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addPixmap(applicationPixmap(size));
    return icon;
}

}
