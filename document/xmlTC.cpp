#include "document/xmlTC.h"

#include "shell/StringBuffer.h"
#include "shell/Trim.h"

#include <vector>

namespace vorlix::document {

namespace {

    bool isAsciiLetter(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    }

    // Characters beyond Latin-1 stand for the double-byte characters of the document's code
    // page; the ideographic space is a blank, never part of a name.
    bool isWideNameChar(QChar c)
    {
        return c.unicode() > 0xFF && c.unicode() != 0x3000;
    }

    bool canStartName(QChar c)
    {
        return isAsciiLetter(c) || isWideNameChar(c);
    }

    bool isNameChar(QChar c)
    {
        const char16_t u = c.unicode();
        return canStartName(c) || (u >= '0' && u <= '9') || u == ':' || u == '-' || u == '.'
            || u == '_';
    }

}

bool xmlTC::isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == '\r' || u == '\n' || u == '\t' || u == ' ' || u == 0x3000;
}

QString xmlTC::trimBlanks(const QString& text)
{
    return shell::trimmedBy(text, isBlank).toString();
}

void xmlTC::Text(const QString& text)
{
    m_text = text;
    m_size = static_cast<std::int32_t>(text.size());
    m_point = 1;
}

void xmlTC::Refresh()
{
    m_text.clear();
    m_size = 0;
    m_point = 0;
}

QChar xmlTC::at(std::int32_t position) const
{
    if (position < 1 || position > m_size)
        return QChar();
    return m_text.at(position - 1);
}

bool xmlTC::startsWithAt(std::int32_t position, QLatin1String what) const
{
    if (position < 1)
        return false;
    return QStringView(m_text).mid(position - 1).startsWith(what);
}

QString xmlTC::mid(std::int32_t from, std::int32_t to) const
{
    return midView(from, to).toString();
}

QStringView xmlTC::midView(std::int32_t from, std::int32_t to) const
{
    if (from < 1)
        from = 1;
    if (to > m_size + 1)
        to = m_size + 1;
    if (to <= from)
        return {};
    return QStringView(m_text).mid(from - 1, to - from);
}

void xmlTC::skipBlanks()
{
    while (m_point >= 1 && m_point <= m_size && isBlank(at(m_point)))
        ++m_point;
}

bool xmlTC::readName()
{
    if (!canStartName(at(m_point)))
        return false;
    ++m_point;
    while (m_point <= m_size && isNameChar(at(m_point)))
        ++m_point;
    return true;
}

// Scans to the closing character. "<", "[" and double quotes open nested spans with their own
// closers; the nesting is kept on an explicit stack so that deeply nested garbage cannot exhaust
// the call stack. A quoted span records the attribute value, a "=" the attribute name. Returns
// whether the closing character was met before the end of the text.
bool xmlTC::spanScan(QChar closing)
{
    struct Span {
        QChar closer;
        std::int32_t valueStart;
    };
    std::vector<Span> open { { closing, 0 } };
    while (m_point >= 1 && m_point <= m_size) {
        const QChar c = at(m_point);
        ++m_point;
        if (c == open.back().closer) {
            if (c == QLatin1Char('"')) {
                m_value = mid(open.back().valueStart, m_point - 1);
                m_attributeStart = m_point;
            }
            open.pop_back();
            if (open.empty())
                return true;
            continue;
        }
        switch (c.unicode()) {
        case '<':
            open.push_back({ QLatin1Char('>'), 0 });
            break;
        case '[':
            open.push_back({ QLatin1Char(']'), 0 });
            break;
        case '"':
            open.push_back({ QLatin1Char('"'), m_point });
            break;
        case '=':
            m_attribut = trimBlanks(mid(m_attributeStart, m_point - 1));
            break;
        default:
            break;
        }
    }
    return false;
}

// Comments nest: every "<!--" inside needs its own "-->". Counted instead of recursing.
void xmlTC::skipComment()
{
    std::int64_t depth = 1;
    while (m_point >= 1 && m_point <= m_size) {
        if (startsWithAt(m_point, QLatin1String("<!--"))) {
            m_point += 4;
            ++depth;
        } else if (startsWithAt(m_point, QLatin1String("-->"))) {
            m_point += 3;
            if (--depth == 0)
                return;
        } else {
            ++m_point;
        }
    }
}

XmlToken xmlTC::readXmlDeclaration(std::int32_t start, QString& token)
{
    const qsizetype close = m_text.indexOf(QLatin1String("?>"), start + 5 - 1);
    if (close < 0) {
        // An unclosed declaration ends the text: nothing after it can be read reliably.
        m_point = m_size + 1;
        return XmlToken::EndOfText;
    }
    const auto closeAt = static_cast<std::int32_t>(close) + 1;
    token = trimBlanks(mid(start + 5, closeAt));
    m_point = closeAt + 2;
    skipBlanks();
    return XmlToken::XmlDecl;
}

bool xmlTC::readTagName(std::int32_t nameStart, QString& token)
{
    m_point = nameStart;
    if (!readName()) {
        skipBlanks();
        return false;
    }
    // Names are cut into the caller's buffer, which keeps its room from tag to tag.
    shell::StringBuffer::assign(token, midView(nameStart, m_point));
    return true;
}

XmlToken xmlTC::readEndTag(std::int32_t start, QString& token)
{
    if (!readTagName(start + 2, token))
        return XmlToken::BadTag;
    skipBlanks();
    const bool closed = at(m_point) == QLatin1Char('>');
    if (closed)
        ++m_point;
    skipBlanks();
    return closed ? XmlToken::EndTag : XmlToken::BadTag;
}

XmlToken xmlTC::readStartTag(std::int32_t start, QString& token)
{
    if (!readTagName(start + 1, token))
        return XmlToken::BadTag;
    m_attribut.clear();
    m_value.clear();
    m_attributeStart = m_point;
    const bool closed = spanScan(QLatin1Char('>'));
    const bool empty = closed && at(m_point - 2) == QLatin1Char('/');
    skipBlanks();
    return empty ? XmlToken::EmptyTag : XmlToken::StartTag;
}

XmlToken xmlTC::getToken(QString& token)
{
    m_prevPoint = m_point;
    for (;;) {
        const std::int32_t p = m_point;
        if (p < 1 || p > m_size)
            return XmlToken::EndOfText;
        if (at(p) != QLatin1Char('<')) {
            qsizetype next = m_text.indexOf(QLatin1Char('<'), p - 1);
            if (next < 0)
                next = m_size;
            m_point = static_cast<std::int32_t>(next) + 1;
            QStringView data = midView(p, m_point);
            while (!data.isEmpty() && isBlank(data.back()))
                data.chop(1);
            shell::StringBuffer::assign(token, data);
            return XmlToken::CharData;
        }
        const QChar second = at(p + 1);
        if (second == QLatin1Char('?')) {
            if (startsWithAt(p + 2, QLatin1String("xml")))
                return readXmlDeclaration(p, token);
            // A processing instruction is skipped; the loop reads the token after it.
            m_point = p + 2;
            spanScan(QLatin1Char('>'));
            skipBlanks();
            continue;
        }
        if (second == QLatin1Char('!')) {
            if (startsWithAt(p + 2, QLatin1String("--"))) {
                // The walk starts on the second dash, so "<!--->" is a complete comment.
                m_point = p + 3;
                skipComment();
                skipBlanks();
                continue;
            }
            m_point = p + 1;
            m_attributeStart = p + 2;
            const bool closed = spanScan(QLatin1Char('>'));
            token = mid(p + 2, closed ? m_point - 1 : m_point);
            skipBlanks();
            return XmlToken::Declaration;
        }
        if (second == QLatin1Char('/'))
            return readEndTag(p, token);
        return readStartTag(p, token);
    }
}

}
