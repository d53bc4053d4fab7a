#include "window/PreviewBox.h"

#include "render/PageRecord.h"
#include "window/Arrange.h"
#include "window/Cursors.h"
#include "window/ViewRules.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace vorlix::window {

namespace {

    int twipsToPixels(double twips)
    {
        return std::max(1, static_cast<int>(std::nearbyint(twips / Arrange::TwipsPerPixel)));
    }

    std::int64_t whole(double value)
    {
        return static_cast<std::int64_t>(std::nearbyint(value));
    }

}

PreviewBox::PreviewBox(QWidget* parent)
    : QWidget(parent)
    , m_mark(new QLabel(QStringLiteral("◎"), this))
{
    setObjectName(QStringLiteral("Pic"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_mark->setObjectName(QStringLiteral("Mark"));
    m_mark->setAlignment(Qt::AlignCenter);
    m_mark->setCursor(Cursors::cursor(Cursors::Shape::CrossHair));
    m_mark->setAttribute(Qt::WA_TranslucentBackground);
    m_mark->adjustSize();
    m_mark->installEventFilter(this);
    setTool(Tool::Hand);
    resetOrigin();
}

PreviewBox::~PreviewBox() = default;

void PreviewBox::setPicture(std::shared_ptr<const render::PageRecord> page)
{
    m_page = std::move(page);
    m_cache = QPixmap();
    update();
}

void PreviewBox::setWidthTwips(double twips)
{
    resize(twipsToPixels(twips), height());
}

void PreviewBox::setHeightTwips(double twips)
{
    resize(width(), twipsToPixels(twips));
}

void PreviewBox::clearPicture()
{
    setPicture(nullptr);
}

void PreviewBox::setScale(double width, double height)
{
    m_scaleWidth = width > 0.0 ? width : 1.0;
    m_scaleHeight = height > 0.0 ? height : 1.0;
    updateMarkGeometry();
    update();
}

QPointF PreviewBox::toPage(const QPointF& pixels) const
{
    return { pixels.x() * m_scaleWidth / std::max(1, width()),
        pixels.y() * m_scaleHeight / std::max(1, height()) };
}

QPointF PreviewBox::toPixels(const QPointF& page) const
{
    return { page.x() * std::max(1, width()) / m_scaleWidth,
        page.y() * std::max(1, height()) / m_scaleHeight };
}

void PreviewBox::setTool(Tool tool)
{
    m_tool = tool;
    if (tool == Tool::Cross) {
        setCursor(Cursors::cursor(Cursors::Shape::CrossHair));
        m_selection = QRectF(200, 100, 300, 300);
        m_selectionShown = true;
    } else {
        setCursor(Cursors::cursor(Cursors::Shape::OpenHand));
        m_selectionShown = false;
    }
    update();
}

void PreviewBox::resetOrigin()
{
    moveOrigin(QPointF(0, 0));
}

void PreviewBox::moveOrigin(const QPointF& page)
{
    m_origin = page;
    updateMarkGeometry();
}

void PreviewBox::setSelection(const QRectF& page)
{
    m_selection = page;
    m_selectionShown = true;
    update();
}

void PreviewBox::updateMarkGeometry()
{
    const QPointF centre = toPixels(m_origin);
    const QSize size = m_mark->sizeHint();
    m_mark->setGeometry(static_cast<int>(std::lround(centre.x() - size.width() / 2.0)),
        static_cast<int>(std::lround(centre.y() - size.height() / 2.0)), size.width(),
        size.height());
}

QImage PreviewBox::pageImage(qreal pixelRatio) const
{
    QImage image(size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    if (m_page) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_page->play(painter, QRectF(0, 0, width(), height()));
    }
    return image;
}

void PreviewBox::paintPage(QPainter& painter)
{
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.size() != size() * ratio || m_cache.devicePixelRatio() != ratio)
        m_cache = QPixmap::fromImage(pageImage(ratio));
    painter.drawPixmap(0, 0, m_cache);
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintPage(painter);
    if (m_tool == Tool::Cross && m_selectionShown) {
        const QRectF box(toPixels(m_selection.topLeft()), toPixels(m_selection.bottomRight()));
        painter.setPen(QPen(Qt::blue, 1.0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.normalized());
    }
}

void PreviewBox::resizeEvent(QResizeEvent*)
{
    m_cache = QPixmap();
    updateMarkGeometry();
    emit resized();
}

void PreviewBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    const QPointF point = toPage(event->position());
    if (m_tool == Tool::Cross) {
        m_selectionStart = point;
        setSelection(QRectF(point, QSizeF(0, 0)));
    } else {
        setCursor(Cursors::cursor(Cursors::Shape::ClosedHand));
        m_handStartGlobal = event->globalPosition().toPoint();
        m_handStartPos = pos();
    }
}

void PreviewBox::dragSelection(const QPointF& point)
{
    const double x = std::round(point.x());
    const double y = std::round(point.y());
    const double sx = std::round(m_selectionStart.x());
    const double sy = std::round(m_selectionStart.y());
    emit statusText(1,
        ViewRules::selectionText(
            whole(sx - m_origin.x()), whole(sy - m_origin.y()), whole(x - sx), whole(y - sy)));
    // A rectangle drawn towards the left or the top starts at the pointer and takes in the
    // starting point too.
    const double left = x < sx ? x : sx;
    const double top = y < sy ? y : sy;
    const double w = x < sx ? sx - x + 1 : x - sx;
    const double h = y < sy ? sy - y + 1 : y - sy;
    setSelection(QRectF(left, top, w, h));
}

void PreviewBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = toPage(event->position());
    emit statusText(0,
        ViewRules::pointerText(whole(point.x() - m_origin.x()), whole(point.y() - m_origin.y())));
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    if (m_tool == Tool::Cross) {
        dragSelection(point);
    } else {
        const QPoint moved = event->globalPosition().toPoint() - m_handStartGlobal;
        move(m_handStartPos + moved);
        emit handMoved(pos());
    }
}

void PreviewBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_dragging && m_tool == Tool::Hand) {
            setCursor(Cursors::cursor(Cursors::Shape::OpenHand));
            m_dragging = false;
            emit handReleased();
        }
        m_dragging = false;
        return;
    }
    if (!m_dragging)
        emit menuRequested(event->globalPosition().toPoint());
}

void PreviewBox::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event->key());
}

void PreviewBox::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            emit zoomWheel(steps);
        event->accept();
        return;
    }
    event->ignore();
}

bool PreviewBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_mark)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_markDragging = true;
            m_markGrab = mouse->position().toPoint();
        }
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_markDragging)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint topLeft = m_mark->mapToParent(mouse->position().toPoint()) - m_markGrab;
        const QPointF centre(
            topLeft.x() + m_mark->width() / 2.0, topLeft.y() + m_mark->height() / 2.0);
        moveOrigin(toPage(centre));
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_markDragging = false;
        return true;
    default:
        return false;
    }
}

}
