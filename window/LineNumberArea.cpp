#include "window/LineNumberArea.h"

#include "window/SourceEdit.h"

namespace vorlix::window {

LineNumberArea::LineNumberArea(SourceEdit* editor)
    : QWidget(editor)
    , m_editor(editor)
{
    setObjectName(QStringLiteral("LineNumberArea"));
}

QSize LineNumberArea::sizeHint() const
{
    return { m_editor->lineNumberWidth(), 0 };
}

void LineNumberArea::paintEvent(QPaintEvent* event)
{
    m_editor->paintLineNumbers(event);
}

}
