#include "lang/TokenCutter.h"

#include "shell/Convert.h"
#include "shell/RunError.h"
#include "shell/StringBuffer.h"

#include <algorithm>
#include <cstring>

namespace vorlix::lang {

namespace {

    bool isDigit(char16_t c)
    {
        return c >= '0' && c <= '9';
    }
    bool isHexDigit(char16_t c)
    {
        return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    }
    bool isLetter(char16_t c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }

    // Copies into the caller's token buffer, which keeps its capacity from token to token, so
    // that cutting a statement allocates nothing.
    void assign(QString& token, QStringView text)
    {
        shell::StringBuffer::assign(token, text);
    }

    // A string's text: each doubled double quote of the source stands for one.
    void assignUnquoted(QString& token, QStringView inner)
    {
        if (!inner.contains(QLatin1Char('"'))) {
            assign(token, inner);
            return;
        }
        token.resize(inner.size());
        QChar* out = token.data();
        qsizetype n = 0;
        for (qsizetype i = 0; i < inner.size(); ++i) {
            out[n++] = inner[i];
            if (inner[i] == QLatin1Char('"') && i + 1 < inner.size()
                && inner[i + 1] == QLatin1Char('"'))
                ++i;
        }
        token.truncate(n);
    }

    // The string as written, between double quotes (doubled ones stay doubled), straight into
    // the buffer.
    void assignQuoted(QString& token, QStringView text)
    {
        token.resize(text.size() + 2);
        QChar* out = token.data();
        out[0] = QLatin1Char('"');
        std::copy(text.begin(), text.end(), out + 1);
        out[text.size() + 1] = QLatin1Char('"');
    }

}

QString TokenCutter::codeText(int code)
{
    if (code < 0)
        return {};
    return QString(QChar(static_cast<char16_t>(code)));
}

namespace {

    // Texts shorter than this are normalised afresh (the statements between pages), and longer
    // ones too (a whole document run at once), so that the positions kept stay few.
    constexpr qsizetype MinPrefixText = 256;
    constexpr qsizetype MaxPrefixText = 256 * 1024;

    std::int32_t commonLength(const QString& a, const QString& b)
    {
        const qsizetype n = std::min(a.size(), b.size());
        const QChar* x = a.constData();
        const QChar* y = b.constData();
        constexpr qsizetype block = 64;
        qsizetype i = 0;
        while (i + block <= n && std::memcmp(x + i, y + i, block * sizeof(QChar)) == 0)
            i += block;
        while (i < n && x[i] == y[i])
            ++i;
        return static_cast<std::int32_t>(i);
    }

}

std::int32_t TokenCutter::reusePrefix(const QString& source)
{
    m_stops.clear();
    m_keepPrefix = source.size() >= MinPrefixText && source.size() <= MaxPrefixText;
    m_recordStops = m_keepPrefix;
    if (!m_keepPrefix || m_prefix.stops.empty() || m_prefix.opt1 != m_opt1
        || m_prefix.opt2 != m_opt2 || m_prefix.opt5 != m_opt5 || m_prefix.opt6 != m_opt6)
        return 1;
    // The characters before a stop were normalised from those characters and, for a carriage
    // return, the one at the stop: both texts must agree up to the stop itself.
    const std::int32_t agreed = commonLength(m_prefix.source, source);
    const auto after = std::upper_bound(m_prefix.stops.begin(), m_prefix.stops.end(), agreed);
    if (after == m_prefix.stops.begin())
        return 1;
    const std::int32_t resume = *(after - 1);
    // The stops before it are the new text's too; the kept text is replaced by this one.
    const auto kept = static_cast<std::size_t>(after - 1 - m_prefix.stops.begin());
    m_stops.swap(m_prefix.stops);
    m_stops.resize(kept);
    std::copy_n(m_prefix.text.constData(), resume - 1, m_text.data());
    return resume;
}

void TokenCutter::keepAsPrefix(const QString& source)
{
    if (!m_keepPrefix)
        return;
    m_prefix.source = source;
    m_prefix.text = m_text;
    m_prefix.stops.swap(m_stops);
    m_prefix.opt1 = m_opt1;
    m_prefix.opt2 = m_opt2;
    m_prefix.opt5 = m_opt5;
    m_prefix.opt6 = m_opt6;
    m_keepPrefix = false;
    m_recordStops = false;
}

void TokenCutter::TextEx(const QString& source)
{
    const std::int32_t n = static_cast<std::int32_t>(source.size());
    m_text = QString(n + 3, Qt::Uninitialized);
    std::int32_t p = reusePrefix(source);
    QChar* out = m_text.data();
    std::fill(out + (p - 1), out + n, QChar(MarkBlank));
    const QChar* in = source.constData();
    while (p <= n) {
        if (m_recordStops)
            m_stops.push_back(p);
        const char16_t c = in[p - 1].unicode();
        if (c == m_opt6) {
            out[p - 1] = QChar(MarkField);
        } else if (c == m_opt2) {
            out[p - 1] = QChar(MarkStatement);
        } else if (c == m_opt5) {
            p = normaliseComment(source, p);
            continue;
        } else if (c == '"') {
            p = normaliseString(source, p);
            continue;
        } else if (c == '\r') {
            if (p < n && in[p].unicode() == '\n' && m_opt1) {
                p += 2;
                continue;
            }
            out[p - 1] = QChar(MarkStatement);
        } else if (c == '\n') {
            if (!m_opt1)
                out[p - 1] = QChar(MarkStatement);
        } else if (c > 32 && c != IdeographicSpace) {
            out[p - 1] = in[p - 1];
        }
        ++p;
    }
    for (std::int32_t i = n; i < n + 3; ++i)
        out[i] = QChar(u'\0');
    m_size = n + 1;
    m_point = 1;
    m_commaPending = false;
    keepAsPrefix(source);
}

// A comment runs to its line feed (or carriage return, or the end); it stays blank.
std::int32_t TokenCutter::normaliseComment(const QString& source, std::int32_t p)
{
    const std::int32_t n = static_cast<std::int32_t>(source.size());
    const qsizetype lf = source.indexOf(QChar(u'\n'), p - 1);
    if (lf >= 0 && lf + 1 > p)
        return static_cast<std::int32_t>(lf) + 2;
    // Without a line feed in the rest of the text, where the comment ends depends on all of it:
    // nothing from here on can be taken over by a text that goes on differently.
    m_recordStops = false;
    const qsizetype cr = source.indexOf(QChar(u'\r'), p - 1);
    if (cr >= 0 && cr + 1 > p)
        return static_cast<std::int32_t>(cr) + 2;
    return n + 1;
}

// Copies a quoted string unchanged between the two quote markers; an unterminated string runs
// to the end of the text. Two double quotes in a row inside it are one double quote of the text,
// kept doubled here so that the working text still maps position to position.
std::int32_t TokenCutter::normaliseString(const QString& source, std::int32_t p)
{
    const std::int32_t n = static_cast<std::int32_t>(source.size());
    qsizetype close = source.indexOf(QChar(u'"'), p);
    while (close >= 0 && close + 1 < n && source[close + 1] == QLatin1Char('"'))
        close = source.indexOf(QChar(u'"'), close + 2);
    const std::int32_t q = close >= 0 ? static_cast<std::int32_t>(close) + 1 : n + 1;
    QChar* out = m_text.data();
    out[p - 1] = QChar(MarkOpenQuote);
    for (std::int32_t i = p + 1; i < q; ++i)
        out[i - 1] = source[i - 1];
    out[q - 1] = QChar(MarkCloseQuote);
    return q + 1;
}

void TokenCutter::SetText(const QString& raw)
{
    m_text = raw;
    m_size = static_cast<std::int32_t>(raw.size());
    m_point = 1;
    m_commaPending = false;
}

void TokenCutter::Refresh()
{
    m_text.clear();
    m_size = 0;
    m_point = 0;
    m_commaPending = false;
}

bool TokenCutter::isWordStart(char16_t c) const
{
    return c == '@' || isLetter(c) || c > 126;
}

bool TokenCutter::isWordPart(char16_t c) const
{
    return (m_opt7 >= 0 && c == m_opt7) || isDigit(c) || c == '@' || isLetter(c) || c == '_'
        || c > 127;
}

void TokenCutter::skip(std::int32_t from, bool alsoStatements)
{
    std::int32_t p = from;
    while (p <= m_size) {
        const char16_t c = at(p);
        if (c != MarkBlank && !(alsoStatements && c == MarkStatement))
            break;
        ++p;
    }
    if (at(p) == MarkField && !m_commaPending) {
        ++p;
        m_commaPending = true;
        fCtC = true;
    } else {
        fCtC = false;
    }
    m_point = p;
}

std::int32_t TokenCutter::cutWord(std::int32_t start) const
{
    std::int32_t p = start + 1;
    while (isWordPart(at(p)))
        ++p;
    return p;
}

std::int32_t TokenCutter::findCloseQuote(std::int32_t from) const
{
    for (std::int32_t p = from; p < m_size; ++p) {
        if (at(p) == MarkCloseQuote)
            return p;
    }
    return m_size;
}

// The digits after "0x", read as a signed 16-bit value (up to four significant digits) or a
// signed 32-bit value (up to eight); anything longer or empty reads as 0.
std::int32_t TokenCutter::cutHexNumber(std::int32_t start, QString& token) const
{
    std::int32_t p = start + 2;
    while (isHexDigit(at(p)))
        ++p;
    std::int32_t first = start + 2;
    while (first < p && at(first) == '0')
        ++first;
    const std::int32_t digits = p - first;
    if (digits == 0 || digits > 8) {
        assign(token, u"0");
        return p;
    }
    bool ok = false;
    const std::uint32_t raw = m_text.mid(first - 1, digits).toUInt(&ok, 16);
    std::int64_t value = raw;
    if (digits <= 4)
        value = static_cast<std::int16_t>(static_cast<std::uint16_t>(raw));
    else
        value = static_cast<std::int32_t>(raw);
    assign(token, QString::number(value));
    return p;
}

std::int32_t TokenCutter::cutNumber(std::int32_t start) const
{
    std::int32_t p = start + 1;
    while (isDigit(at(p)))
        ++p;
    if (at(p) == '.') {
        ++p;
        while (isDigit(at(p)))
            ++p;
    }
    if (at(p) == 'E' || at(p) == 'e') {
        ++p;
        if (at(p) == '+' || at(p) == '-') {
            ++p;
            while (isDigit(at(p)))
                ++p;
        }
    }
    return p;
}

namespace {

    // A plain integer of up to 15 digits without a leading zero is already its own general
    // decimal text, which spares the conversion for the most common numbers of a face.
    bool isPlainInteger(QStringView s)
    {
        qsizetype i = s.startsWith(u'-') ? 1 : 0;
        const qsizetype digits = s.size() - i;
        if (digits < 1 || digits > 15 || (s[i] == u'0' && (digits > 1 || i == 1)))
            return false;
        for (; i < s.size(); ++i) {
            if (s[i] < u'0' || s[i] > u'9')
                return false;
        }
        return true;
    }

}

void TokenCutter::normalisedNumber(std::int32_t start, std::int32_t end, QString& token) const
{
    const QStringView written = QStringView(m_text).mid(start - 1, end - start);
    if (isPlainInteger(written)) {
        assign(token, written);
        return;
    }
    const auto value = shell::parseNumber(written);
    // Assigned, not swapped in, so that the buffer keeps its room for the next token.
    if (value)
        assign(token, shell::generalNumberText(*value));
    else
        assign(token, u"0");
}

TokenType TokenCutter::getToken(QString& token)
{
    m_prevPoint = m_point;
    for (;;) {
        const char16_t c = at(m_point);
        const char16_t d = at(m_point + 1);
        std::int32_t end = 0;
        TokenType type = TokenType::TkSymbol;
        if (c == MarkOpenQuote) {
            const std::int32_t close = findCloseQuote(m_point + 1);
            // The caller's buffer is reused: most statements need no allocation for their tokens.
            const QStringView inner = QStringView(m_text).mid(m_point, close - m_point - 1);
            if (m_opt3)
                assignUnquoted(token, inner);
            else
                assignQuoted(token, inner);
            type = TokenType::TkString;
            end = close + 1;
        } else if (isWordStart(c)) {
            end = cutWord(m_point);
            assign(token, QStringView(m_text).mid(m_point - 1, end - m_point));
            type = TokenType::TkWord;
        } else if (c == '0' && d == 'x') {
            end = cutHexNumber(m_point, token);
            type = TokenType::TkNumber;
        } else if (isDigit(c) || ((c == '+' || c == '-') && (isDigit(d) || d == '.'))
            || (c == '.' && isDigit(d))) {
            end = cutNumber(m_point);
            if (m_opt4)
                normalisedNumber(m_point, end, token);
            else
                assign(token, QStringView(m_text).mid(m_point - 1, end - m_point));
            type = TokenType::TkNumber;
        } else if (c >= 33 && c <= 126) {
            assign(token, QStringView(&c, 1));
            end = m_point + 1;
            if (c == '(' || c == '[' || c == '{')
                type = TokenType::TkOpen;
            else if (c == ')' || c == ']' || c == '}')
                type = TokenType::TkClose;
        } else if (c == MarkStatement) {
            assign(token, {});
            if (m_commaPending) {
                m_commaPending = false;
                return TokenType::TkEmpty;
            }
            if (m_opt2 >= 0) {
                const char16_t separator = static_cast<char16_t>(m_opt2);
                assign(token, QStringView(&separator, 1));
            }
            skipBlankLine(m_point + 1);
            return TokenType::TkSeparator;
        } else if (c == MarkField) {
            assign(token, {});
            m_commaPending = false;
            ++m_point;
            return TokenType::TkEmpty;
        } else if (c == MarkBlank) {
            skipBlankLine(m_point + 1);
            continue;
        } else {
            assign(token, {});
            return TokenType::TkEndOfText;
        }
        m_commaPending = false;
        skipBlank(end);
        return type;
    }
}

QString TokenCutter::getToTemin(const QString& terminator)
{
    if (terminator.isEmpty())
        throw shell::RunError::invalidArgument();
    if (terminator[0].unicode() == 0)
        return {};
    const std::int32_t start = m_point;
    QString result;
    result.reserve(std::max<qsizetype>(0, m_text.size() - start + 1));
    const char16_t first = terminator[0].unicode();
    std::int32_t p = m_point;
    for (;;) {
        const char16_t c = at(p);
        if (c == 0)
            break;
        if (c == first && QStringView(m_text).mid(p - 1).startsWith(terminator))
            break;
        if (c == MarkOpenQuote) {
            const std::int32_t close = findCloseQuote(p + 1);
            result += QLatin1Char('"');
            result += QStringView(m_text).mid(p, close - p - 1);
            result += QLatin1Char('"');
            p = close + 1;
            continue;
        }
        if (c == MarkField)
            result += Opt6();
        else if (c == MarkStatement)
            result += Opt2();
        else
            result += QChar(c);
        ++p;
    }
    m_point = std::max(p, start);
    qsizetype keep = result.size();
    while (keep > 0 && result[keep - 1] == QLatin1Char(' '))
        --keep;
    result.truncate(keep);
    return result;
}

}
