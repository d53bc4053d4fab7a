#include "window/BottomBar.h"

#include <QPainter>

namespace vorlix::window {

BottomBar::BottomBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("BBar"));
    setAutoFillBackground(true);
}

void BottomBar::setPrinterName(const QString& name)
{
    m_printer = name;
    update();
}

void BottomBar::setSeparator(int x)
{
    m_separator = x;
    update();
}

void BottomBar::setMessage(const QString& message)
{
    m_message = message;
    update();
}

void BottomBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont small = font();
    small.setPixelSize(std::max(8, height() - 3));
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width(), 0);
    painter.drawLine(m_separator, 0, m_separator, height());
    painter.setPen(palette().color(QPalette::WindowText));
    // The printer's name at 70 x 10 twips from the corner.
    const QRect left(5, 0, std::max(0, m_separator - 6), height());
    painter.drawText(left, Qt::AlignLeft | Qt::AlignVCenter, m_printer);
    if (!m_message.isEmpty()) {
        painter.setPen(QColor(170, 0, 0));
        const QRect right(m_separator + 6, 0, std::max(0, width() - m_separator - 6), height());
        painter.drawText(right, Qt::AlignLeft | Qt::AlignVCenter, m_message);
    }
}

}
