#include "document/SourceCaret.h"

#include "document/SourceEditor.h"

#include <algorithm>

namespace vorlix::document {

namespace {

    const QString kCrLf = QStringLiteral("\r\n");

}

std::int32_t SourceCaret::LineStart()
{
    const QString text = m_editor->text();
    std::int32_t p = m_editor->selectionStart();
    p = std::clamp<std::int32_t>(p, 0, static_cast<std::int32_t>(text.size()));
    while (p > 0 && text[p - 1] != u'\n')
        --p;
    m_editor->setSelectionStart(p);
    return p;
}

std::int32_t SourceCaret::PLT() const
{
    return m_editor ? m_editor->selectionStart() : 0;
}

void SourceCaret::setPLT(std::int32_t position)
{
    if (!m_editor)
        return;
    m_editor->setSelectionStart(
        std::clamp<std::int32_t>(position, 0, static_cast<std::int32_t>(m_editor->text().size())));
}

void SourceCaret::topPLT()
{
    if (m_editor)
        m_editor->setSelectionStart(0);
}

void SourceCaret::prevPLT()
{
    if (!m_editor)
        return;
    const std::int32_t p = LineStart();
    if (p > 0) {
        m_editor->setSelectionStart(p - 1);
        LineStart();
    }
}

void SourceCaret::nextPLT()
{
    if (!m_editor)
        return;
    const QString text = m_editor->text();
    const std::int32_t p = std::max(m_editor->selectionStart(), 1);
    const qsizetype c = text.indexOf(kCrLf, p - 1);
    if (c >= 0) {
        m_editor->setSelectionStart(static_cast<std::int32_t>(c) + 2);
        return;
    }
    m_editor->setText(text + kCrLf);
    m_editor->setSelectionStart(static_cast<std::int32_t>(text.size()) + 2);
}

QString SourceCaret::DefaultLine()
{
    if (!m_editor)
        return {};
    const std::int32_t p = LineStart();
    const QString text = m_editor->text();
    qsizetype end = text.indexOf(kCrLf, p);
    if (end < 0)
        end = text.size();
    const QString line = text.mid(p, end - p);
    m_editor->setSelectionLength(static_cast<std::int32_t>(line.size()));
    return line;
}

void SourceCaret::AddItem(const QString& text)
{
    if (!m_editor)
        return;
    LineStart();
    m_editor->setSelectionLength(0);
    m_editor->replaceSelection(text + kCrLf);
}

}
