#include "window/TopBar.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vorlix::window {

namespace {

    constexpr int LabelWidth = 16;
    constexpr int Margin = 2;
    // The status columns share the room right of the file name box: the pointer and the
    // selection (longer texts) left, the zoom and the page right.
    constexpr int FirstColumnWidth = 128;

    QFont statusFont(const QFont& base)
    {
        QFont font = base;
        font.setPixelSize(11);
        return font;
    }

}

const std::array<const char16_t*, 8> TopBar::LabelCaptions { u"場所：", u"≫", u"∥", u"≪", u"▲",
    u"▼", u"－", u"＋" };

const std::array<const char16_t*, 8> TopBar::LabelTips { u"ファイル名を入れて Enter で開く",
    u"編集ウィンドウだけにする", u"編集とビューの両方を表示", u"ビューウィンドウだけにする",
    u"前ページ (PageUp)", u"次ページ (PageDown)", u"縮小 (Ctrl+-)", u"拡大 (Ctrl++)" };

TopBar::TopBar(QWidget* parent)
    : QWidget(parent)
    , m_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("SBar"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        auto* label = new QLabel(QString::fromUtf16(LabelCaptions[i]), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setToolTip(QString::fromUtf16(LabelTips[i]));
        label->setAlignment(Qt::AlignCenter);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        m_labels[i] = label;
    }
    m_name->setObjectName(QStringLiteral("Text2"));
    connect(m_name, &QLineEdit::returnPressed, this, [this] { emit nameEntered(m_name->text()); });
}

void TopBar::resizeEvent(QResizeEvent*)
{
    const int h = height();
    const int rowHeight = std::max(1, h - 2 * Margin);
    int x = Margin;
    // The tool labels first, then "場所：" and the file name box.
    for (std::size_t i = 1; i < m_labels.size(); ++i) {
        m_labels[i]->setGeometry(x, Margin, LabelWidth, rowHeight);
        x += LabelWidth;
    }
    x += 4;
    const int placeWidth = m_labels[0]->sizeHint().width();
    m_labels[0]->setGeometry(x, Margin, placeWidth, rowHeight);
    x += placeWidth;
    int nameWidth = width() - x - StatusRoom;
    if (width() > 200)
        nameWidth = std::max(nameWidth, MinimumNameWidth);
    m_name->setGeometry(x, Margin, std::max(0, nameWidth), rowHeight);
}

QRect TopBar::columnRect(int column) const
{
    const int left = width() - StatusRoom + 4;
    if (column == 0)
        return { left, 0, FirstColumnWidth, height() };
    return { left + FirstColumnWidth, 0, StatusRoom - 4 - FirstColumnWidth, height() };
}

bool TopBar::columnShown(int column) const
{
    return columnRect(column).left() > m_name->geometry().right();
}

void TopBar::ShowStatus(int slot, const QString& text)
{
    if (slot >= 0 && slot < static_cast<int>(m_status.size()))
        m_status[slot] = text;
    update();
}

void TopBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The bar's 3-D edge.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    painter.setFont(statusFont(font()));
    const int rowHeight = height() / 2;
    for (int column = 0; column < 2; ++column) {
        if (!columnShown(column))
            continue;
        const QRect area = columnRect(column).adjusted(0, 1, 0, -1);
        painter.fillRect(area, palette().color(QPalette::Button));
        painter.setPen(palette().color(QPalette::ButtonText));
        for (int row = 0; row < 2; ++row) {
            const QRect cell(area.left() + 2, row * rowHeight, area.width() - 2, rowHeight);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, m_status[column * 2 + row]);
        }
    }
}

void TopBar::setBorder(QLabel* hovered)
{
    for (QLabel* label : m_labels) {
        if (label != m_labels[0])
            label->setFrameStyle(label == hovered ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    }
}

bool TopBar::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Enter)
        setBorder(label);
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto index = std::find(m_labels.begin(), m_labels.end(), label) - m_labels.begin();
        if (index > 0)
            emit toolClicked(static_cast<int>(index));
    }
    return QWidget::eventFilter(watched, event);
}

void TopBar::mouseMoveEvent(QMouseEvent*)
{
    setBorder(nullptr);
}

}
