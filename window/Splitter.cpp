#include "window/Splitter.h"

#include "window/Cursors.h"

#include <QMouseEvent>
#include <QPainter>

namespace vorlix::window {

Splitter::Splitter(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Bord"));
    setCursor(Cursors::cursor(Cursors::Shape::WestEast));
}

int Splitter::parentX(const QMouseEvent* event) const
{
    return mapToParent(event->position().toPoint()).x();
}

void Splitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    emit dragStarted();
}

void Splitter::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        emit dragged(parentX(event));
}

void Splitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    emit released(parentX(event));
}

void Splitter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, 0, height());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(width() - 1, 0, width() - 1, height());
}

}
