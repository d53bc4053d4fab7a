#include "window/EditorBinding.h"

#include "window/SourceEdit.h"
#include "window/SourceHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace vorlix::window {

EditorBinding::EditorBinding(SourceEdit& editor)
    : m_editor(editor)
{
}

QString EditorBinding::widgetText(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

QString EditorBinding::text() const
{
    // The raw text keeps non-breaking spaces; only the paragraph ends change.
    QString raw = m_editor.document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return raw;
}

void EditorBinding::setText(const QString& text)
{
    m_loading = true;
    m_editor.highlighter().restart();
    m_editor.setPlainText(widgetText(text));
    m_loading = false;
}

int EditorBinding::fromWidget(int position) const
{
    const QTextBlock block = m_editor.document()->findBlock(position);
    return position + std::max(0, block.blockNumber());
}

int EditorBinding::toWidget(int position) const
{
    const QTextDocument* document = m_editor.document();
    if (position <= 0)
        return 0;
    // The last line whose first character lies at or before the position: each line before it
    // adds one character (the LF of its CR LF).
    int low = 0;
    int high = document->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (document->findBlockByNumber(middle).position() + middle <= position)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = document->findBlockByNumber(low);
    const int lineEnd = block.position() + block.length() - 1;
    return std::clamp(position - low, block.position(), lineEnd);
}

int EditorBinding::selectionStart() const
{
    return fromWidget(m_editor.textCursor().selectionStart());
}

void EditorBinding::setSelectionStart(int position)
{
    QTextCursor cursor = m_editor.textCursor();
    cursor.setPosition(toWidget(position));
    m_editor.setTextCursor(cursor);
}

int EditorBinding::selectionLength() const
{
    const QTextCursor cursor = m_editor.textCursor();
    return fromWidget(cursor.selectionEnd()) - fromWidget(cursor.selectionStart());
}

void EditorBinding::setSelectionLength(int length)
{
    QTextCursor cursor = m_editor.textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(toWidget(fromWidget(start) + std::max(0, length)), QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
}

void EditorBinding::replaceSelection(const QString& text)
{
    QTextCursor cursor = m_editor.textCursor();
    cursor.insertText(widgetText(text));
    m_editor.setTextCursor(cursor);
}

void EditorBinding::setFontSize(int points)
{
    if (points <= 0)
        return;
    QFont font = m_editor.font();
    font.setPointSize(points);
    m_editor.setFont(font);
}

}
