#include "shell/WebResponse.h"

#include <QStringList>
#include <algorithm>
#include <utility>

namespace vorlix::shell {

namespace {

    const QByteArray kHeaderEnd = QByteArrayLiteral("\r\n\r\n");

    bool allDigits(const QString& text)
    {
        return std::all_of(text.cbegin(), text.cend(),
            [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    }

    bool allDigits(const QByteArray& text)
    {
        return !text.isEmpty()
            && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
    }

}

WebResponse::WebResponse(QByteArray received)
    : m_received(std::move(received))
    , m_hasHeader(m_received.startsWith("HTTP/"))
{
    if (!m_hasHeader) {
        m_bodyStart = 0;
        return;
    }
    // The empty line is looked for after "HTTP/", so that it cannot be the status line's own end.
    const qsizetype end = m_received.indexOf(kHeaderEnd, 5);
    if (end >= 6)
        m_bodyStart = end + kHeaderEnd.size();
    m_contentLength = findContentLength();
}

QString WebResponse::statusLine() const
{
    if (!m_hasHeader)
        return {};
    constexpr qsizetype kLongest = 256;
    qsizetype end = m_received.indexOf('\n');
    if (end < 0 || end > kLongest)
        end = std::min(m_received.size(), kLongest);
    return QString::fromLatin1(m_received.left(end)).trimmed();
}

int WebResponse::statusCode() const
{
    const QStringList words = statusLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Three digits exactly: "+20" or "-99" would read as numbers no server sends.
    if (words.size() < 2 || words[1].size() != 3 || !allDigits(words[1]))
        return 0;
    return words[1].toInt();
}

std::optional<QByteArray> WebResponse::field(const QByteArray& name) const
{
    if (m_bodyStart < 0)
        return std::nullopt;
    const QByteArray header = m_received.left(m_bodyStart - kHeaderEnd.size());
    for (const QByteArray& line : header.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon >= 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

std::optional<std::int64_t> WebResponse::findContentLength() const
{
    const auto value = field("content-length");
    if (!value)
        return std::nullopt;
    // Digits only: a sign or a trailing word makes the length unknown rather than guessed.
    bool ok = false;
    const std::int64_t length = value->toLongLong(&ok);
    if (ok && allDigits(*value))
        return length;
    return std::nullopt;
}

QByteArray WebResponse::transferCoding() const
{
    const QByteArray value = field("transfer-encoding").value_or(QByteArray());
    return value.toLower() == "identity" ? QByteArray() : value;
}

std::int64_t WebResponse::bodyReceived() const
{
    return m_bodyStart < 0 ? 0 : m_received.size() - m_bodyStart;
}

// What follows the declared length is no part of this file (a server that sent too much).
qsizetype WebResponse::bodyLength() const
{
    if (m_bodyStart < 0)
        return 0;
    return m_contentLength ? static_cast<qsizetype>(std::min(*m_contentLength, bodyReceived()))
                           : m_received.size() - m_bodyStart;
}

QByteArray WebResponse::body() const
{
    if (m_bodyStart < 0)
        return {};
    return m_received.mid(m_bodyStart, bodyLength());
}

QByteArray WebResponse::takeBody() &&
{
    if (m_bodyStart < 0)
        return {};
    const qsizetype length = bodyLength();
    QByteArray bytes = std::move(m_received);
    bytes.remove(0, m_bodyStart);
    bytes.truncate(length);
    return bytes;
}

WebResponse::Verdict WebResponse::verdict() const
{
    if (m_received.isEmpty())
        return Verdict::Empty;
    if (!m_hasHeader)
        return Verdict::Whole;
    const int code = statusCode();
    if (code < 200 || code > 299)
        return Verdict::Refused;
    if (m_bodyStart < 0)
        return Verdict::HeaderCut;
    if (!transferCoding().isEmpty())
        return Verdict::Encoded;
    if (m_contentLength && bodyReceived() < *m_contentLength)
        return Verdict::BodyCut;
    return Verdict::Whole;
}

}
