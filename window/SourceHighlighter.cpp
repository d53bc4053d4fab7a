#include "window/SourceHighlighter.h"

#include "lang/CommandList.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <array>

namespace vorlix::window {

namespace {

    // Line states carried to the next line.
    constexpr int InString = 1;
    constexpr int StatementStart = 2;
    constexpr int InComment = 4;
    constexpr int InTag = 8;
    // A line past the coloured part: its state is not known yet.
    constexpr int Pending = 0x4000;

    const QSet<QString>& commandWords()
    {
        static const QSet<QString> words = [] {
            QSet<QString> set;
#define VORLIX_HIGHLIGHT_WORD(name, word) set.insert(QStringLiteral(word));
            VORLIX_ENUMERATE_COMMANDS(VORLIX_HIGHLIGHT_WORD)
#undef VORLIX_HIGHLIGHT_WORD
            return set;
        }();
        return words;
    }

    bool startsWord(QChar c)
    {
        const char16_t u = c.unicode();
        return u == u'@' || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u > 126;
    }

    bool continuesWord(QChar c)
    {
        const char16_t u = c.unicode();
        return startsWord(c) || (u >= u'0' && u <= u'9') || u == u'_' || u == u'/';
    }

    bool isDigit(QChar c)
    {
        return c.unicode() >= u'0' && c.unicode() <= u'9';
    }

    bool isBlank(QChar c)
    {
        return c.unicode() <= 32 || c.unicode() == 0x3000;
    }

    QTextCharFormat coloured(const QColor& colour, bool bold = false, bool italic = false)
    {
        QTextCharFormat format;
        format.setForeground(colour);
        if (bold)
            format.setFontWeight(QFont::Bold);
        format.setFontItalic(italic);
        return format;
    }

}

SourceHighlighter::SourceHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

bool SourceHighlighter::isCommand(const QString& word)
{
    return commandWords().contains(word);
}

void SourceHighlighter::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    restart();
    rehighlight();
}

void SourceHighlighter::restart()
{
    m_frontier = StepLines;
    if (!m_stepPending) {
        m_stepPending = true;
        QTimer::singleShot(0, this, &SourceHighlighter::step);
    }
}

bool SourceHighlighter::finished() const
{
    return !document() || m_frontier >= document()->blockCount();
}

void SourceHighlighter::step()
{
    m_stepPending = false;
    if (finished())
        return;
    const int from = m_frontier;
    m_frontier += StepLines;
    // Colouring the first pending line goes on line by line while the states change, which is
    // up to the new frontier.
    rehighlightBlock(document()->findBlockByNumber(from));
    m_stepPending = true;
    QTimer::singleShot(0, this, &SourceHighlighter::step);
}

QTextCharFormat SourceHighlighter::format(Kind kind) const
{
    switch (kind) {
    case Kind::Command:
        return coloured(QColor(0, 0, 160), true);
    case Kind::Number:
        return coloured(QColor(150, 60, 0));
    case Kind::String:
        return coloured(QColor(0, 120, 0));
    case Kind::Reference:
        return coloured(QColor(150, 0, 150), true);
    case Kind::Comment:
        return coloured(QColor(110, 110, 110), false, true);
    case Kind::Tag:
        return coloured(QColor(0, 0, 160));
    case Kind::Attribute:
        return coloured(QColor(170, 90, 0), false, true);
    case Kind::Plain:
        break;
    }
    return {};
}

void SourceHighlighter::mark(qsizetype start, qsizetype length, Kind kind)
{
    if (length > 0)
        setFormat(static_cast<int>(start), static_cast<int>(length), format(kind));
}

void SourceHighlighter::highlightBlock(const QString& text)
{
    if (m_mode != Mode::None && currentBlock().blockNumber() >= m_frontier) {
        setCurrentBlockState(Pending);
        return;
    }
    switch (m_mode) {
    case Mode::Face:
        highlightFace(text);
        break;
    case Mode::Data:
        highlightData(text);
        break;
    case Mode::None:
        setCurrentBlockState(0);
        break;
    }
}

void SourceHighlighter::highlightFace(const QString& text)
{
    const int previous = previousBlockState();
    int state = previous < 0 || previous == Pending ? StatementStart : previous;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (state & InString) {
            const qsizetype close = text.indexOf(u'"', i);
            const qsizetype end = close < 0 ? n : close + 1;
            mark(i, end - i, Kind::String);
            if (close >= 0)
                state &= ~InString;
            i = end;
            continue;
        }
        const QChar c = text[i];
        if (c == u'#') {
            mark(i, n - i, Kind::Comment);
            break;
        }
        if (isBlank(c) || c == u',') {
            ++i;
            continue;
        }
        if (c == u';') {
            state |= StatementStart;
            ++i;
            continue;
        }
        const bool atStart = state & StatementStart;
        state &= ~StatementStart;
        if (c == u'"') {
            state |= InString;
            mark(i, 1, Kind::String);
            ++i;
        } else if (c == u'$' && i + 1 < n && text[i + 1] == u'"') {
            // A quoted reference: the path is a string, coloured as the reference it is.
            qsizetype end = i + 2;
            for (;;) {
                const qsizetype close = text.indexOf(u'"', end);
                end = close < 0 ? n : close + 1;
                if (close < 0 || end >= n || text[end] != u'"')
                    break;
                ++end;
            }
            mark(i, end - i, Kind::Reference);
            i = end;
        } else if ((c == u'$' || c == u'&') && i + 1 < n && continuesWord(text[i + 1])) {
            qsizetype end = i + 1;
            while (end < n && continuesWord(text[end]))
                ++end;
            mark(i, end - i, Kind::Reference);
            i = end;
        } else if (isDigit(c)
            || ((c == u'-' || c == u'+' || c == u'.') && i + 1 < n
                && (isDigit(text[i + 1]) || text[i + 1] == u'.'))) {
            qsizetype end = i + 1;
            while (end < n && (isDigit(text[end]) || text[end] == u'.' || text[end] == u'x'))
                ++end;
            mark(i, end - i, Kind::Number);
            i = end;
        } else if (startsWord(c)) {
            qsizetype end = i + 1;
            while (end < n && continuesWord(text[end]) && text[end] != u'/')
                ++end;
            if (atStart && isCommand(text.mid(i, end - i)))
                mark(i, end - i, Kind::Command);
            i = end;
        } else {
            ++i;
        }
    }
    setCurrentBlockState(state);
}

void SourceHighlighter::highlightData(const QString& text)
{
    const int previous = previousBlockState();
    int state = previous < 0 || previous == Pending ? 0 : previous;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (state & InComment) {
            const qsizetype close = text.indexOf(QStringLiteral("-->"), i);
            const qsizetype end = close < 0 ? n : close + 3;
            mark(i, end - i, Kind::Comment);
            if (close >= 0)
                state &= ~InComment;
            i = end;
            continue;
        }
        if (state & InTag) {
            const QChar c = text[i];
            if (c == u'>' || (c == u'/' && i + 1 < n && text[i + 1] == u'>')
                || (c == u'?' && i + 1 < n && text[i + 1] == u'>')) {
                const qsizetype length = c == u'>' ? 1 : 2;
                mark(i, length, Kind::Tag);
                i += length;
                state &= ~InTag;
            } else if (c == u'"' || c == u'\'') {
                const qsizetype close = text.indexOf(c, i + 1);
                const qsizetype end = close < 0 ? n : close + 1;
                mark(i, end - i, Kind::String);
                i = end;
            } else if (startsWord(c)) {
                qsizetype end = i + 1;
                while (end < n
                    && (continuesWord(text[end]) || text[end] == u'-' || text[end] == u':')
                    && text[end] != u'/')
                    ++end;
                mark(i, end - i, Kind::Attribute);
                i = end;
            } else {
                ++i;
            }
            continue;
        }
        const qsizetype open = text.indexOf(u'<', i);
        if (open < 0)
            break;
        if (text.mid(open, 4) == u"<!--") {
            state |= InComment;
            i = open;
            continue;
        }
        qsizetype end = open + 1;
        while (end < n && (text[end] == u'/' || text[end] == u'?' || text[end] == u'!'))
            ++end;
        while (end < n && !isBlank(text[end]) && text[end] != u'>' && text[end] != u'/'
            && text[end] != u'?')
            ++end;
        mark(open, end - open, Kind::Tag);
        state |= InTag;
        i = end;
    }
    setCurrentBlockState(state);
}

}
