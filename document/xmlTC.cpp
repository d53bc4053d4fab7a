#include "document/xmlTC.h"

#include "shell/StringBuffer.h"
#include "shell/Trim.h"

#include <algorithm>
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
    m_feed = nullptr;
    m_text = text;
    m_base = 1;
    m_size = static_cast<std::int32_t>(text.size());
    m_point = 1;
}

void xmlTC::Stream(TextFeed* feed)
{
    m_feed = feed;
    m_text.clear();
    m_base = 1;
    m_size = 0;
    m_point = 1;
}

void xmlTC::Refresh()
{
    m_feed = nullptr;
    m_text.clear();
    m_base = 1;
    m_size = 0;
    m_point = 0;
}

bool xmlTC::fetch(std::int32_t position)
{
    while (position > m_size) {
        if (!m_feed->more(m_text)) {
            m_feed = nullptr;
            return false;
        }
        m_size = m_base - 1 + static_cast<std::int32_t>(m_text.size());
    }
    return true;
}

void xmlTC::dropRead()
{
    // Moving the rest costs as much as the part dropped at most, so the text is moved a few
    // times over in all.
    constexpr std::int32_t kWorthMoving = 1 << 16;
    const std::int32_t done = m_point - m_base;
    if (done < kWorthMoving || done < static_cast<std::int32_t>(m_text.size()) / 2)
        return;
    m_text.remove(0, std::min<qsizetype>(done, m_text.size()));
    m_base += done;
    // A value of a hundred megabytes left room for as much behind it: the room goes with it.
    constexpr qsizetype kLargeRoom = qsizetype(1) << 24;
    if (m_text.capacity() > kLargeRoom && m_text.capacity() > 4 * m_text.size())
        m_text.squeeze();
}

std::int32_t xmlTC::indexOf(QStringView what, std::int32_t from)
{
    from = std::max(from, m_base);
    for (;;) {
        const qsizetype found = QStringView(m_text).indexOf(what, from - m_base);
        if (found >= 0)
            return m_base + static_cast<std::int32_t>(found);
        // What is sought may begin in the text held and end in the next piece.
        const std::int32_t searched = m_size;
        if (!has(m_size + 1))
            return 0;
        from = std::max(from, searched - static_cast<std::int32_t>(what.size()) + 2);
    }
}

std::int32_t xmlTC::findNext(QChar c, std::int32_t from)
{
    return indexOf(QStringView(&c, 1), std::max(from, 1));
}

bool xmlTC::startsWithAt(std::int32_t position, QLatin1String what)
{
    if (position < m_base)
        return false;
    (void)has(position + static_cast<std::int32_t>(what.size()) - 1);
    return QStringView(m_text).mid(position - m_base).startsWith(what);
}

QString xmlTC::mid(std::int32_t from, std::int32_t to) const
{
    return midView(from, to).toString();
}

QStringView xmlTC::midView(std::int32_t from, std::int32_t to) const
{
    if (from < m_base)
        from = m_base;
    if (to > m_size + 1)
        to = m_size + 1;
    if (to <= from)
        return {};
    return QStringView(m_text).mid(from - m_base, to - from);
}

void xmlTC::skipBlanks()
{
    while (m_point >= 1 && has(m_point) && isBlank(at(m_point)))
        ++m_point;
}

bool xmlTC::readName()
{
    if (!canStartName(at(m_point)))
        return false;
    ++m_point;
    while (has(m_point) && isNameChar(at(m_point)))
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
    while (m_point >= 1 && has(m_point)) {
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
    while (m_point >= 1 && has(m_point)) {
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
    const std::int32_t closeAt = indexOf(u"?>", start + 5);
    if (closeAt == 0) {
        // An unclosed declaration ends the text: nothing after it can be read reliably.
        m_point = m_size + 1;
        return XmlToken::EndOfText;
    }
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
    if (m_feed != nullptr)
        dropRead();
    m_prevPoint = m_point;
    for (;;) {
        const std::int32_t p = m_point;
        if (p < 1 || !has(p))
            return XmlToken::EndOfText;
        if (at(p) != QLatin1Char('<')) {
            std::int32_t next = indexOf(u"<", p);
            m_point = next == 0 ? m_size + 1 : next;
            QStringView data = midView(p, m_point);
            while (!data.isEmpty() && isBlank(data.back()))
                data.chop(1);
            // A buffer grown for a value of many megabytes would keep room for half as much
            // again: such a value gets a token of its own size.
            constexpr qsizetype kLargeValue = qsizetype(1) << 20;
            if (data.size() >= kLargeValue)
                token = data.toString();
            else
                shell::StringBuffer::assign(token, data);
            // A long value is now held twice, here and in the token: what was read goes at once.
            if (m_feed != nullptr)
                dropRead();
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
