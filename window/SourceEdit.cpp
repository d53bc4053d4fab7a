#include "window/SourceEdit.h"

#include "window/CommandCompleter.h"
#include "window/LineNumberArea.h"
#include "window/SourceHighlighter.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>

namespace vorlix::window {

SourceEdit::SourceEdit(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_lineNumbers(new LineNumberArea(this))
    , m_highlighter(new SourceHighlighter(document()))
    , m_completer(new CommandCompleter(*this))
{
    setObjectName(QStringLiteral("Text1"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &SourceEdit::updateMargin);
    connect(this, &QPlainTextEdit::updateRequest, this, &SourceEdit::updateLineNumbers);
    updateMargin();
}

SourceEdit::~SourceEdit() = default;

int SourceEdit::lineNumberWidth() const
{
    int digits = 1;
    for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void SourceEdit::updateMargin()
{
    const int width = lineNumberWidth();
    setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    m_lineNumbers->setGeometry(area.left(), area.top(), width, area.height());
}

void SourceEdit::updateLineNumbers(const QRect& rect, int dy)
{
    if (dy != 0)
        m_lineNumbers->scroll(0, dy);
    else
        m_lineNumbers->update(0, rect.y(), m_lineNumbers->width(), rect.height());
}

void SourceEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    updateMargin();
}

void SourceEdit::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    // The numbers are measured in the editor's font: a new font needs a margin of its own.
    if (event->type() == QEvent::FontChange)
        updateMargin();
}

void SourceEdit::paintLineNumbers(QPaintEvent* event)
{
    QPainter painter(m_lineNumbers);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int right = m_lineNumbers->width() - 4;
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int lineHeight = fontMetrics().height();
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            painter.drawText(0, top, right, lineHeight, Qt::AlignRight,
                QString::number(block.blockNumber() + 1));
        }
        top += height;
        block = block.next();
    }
}

bool SourceEdit::find(const QString& text, bool backwards)
{
    if (text.isEmpty())
        return false;
    const auto flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (QPlainTextEdit::find(text, flags))
        return true;
    // Once round the end of the text.
    QTextCursor cursor = textCursor();
    const QTextCursor saved = cursor;
    cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    setTextCursor(cursor);
    if (QPlainTextEdit::find(text, flags))
        return true;
    setTextCursor(saved);
    return false;
}

void SourceEdit::keyPressEvent(QKeyEvent* event)
{
    const bool completion
        = event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier;
    if (completion && m_highlighter->mode() != SourceHighlighter::Mode::Data) {
        m_completer->complete();
        return;
    }
    const bool lineEnd = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (lineEnd && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+Enter would insert a line separator: one line to the interpreter, and a
        // character the Japanese code page has not.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
            event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void SourceEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QChar::LineSeparator, u'\n');
    insertPlainText(text);
}

}
