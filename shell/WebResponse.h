#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace vorlix::shell {

// What a server answered to one GET, read from every byte it sent before it closed the
// connection: the status line, the declared body length, the body and whether the answer is
// whole. A bare answer without a status line (HTTP/0.9) is all body.
class WebResponse {
public:
    // Why an answer is or is not taken; only Whole counts as success.
    enum class Verdict : std::int32_t {
        Whole = 0,
        Empty, // the server closed without a byte
        Refused, // a status line that is not 2xx (or no status at all)
        HeaderCut, // the connection ended inside the header
        BodyCut, // fewer body bytes than the header declared
        Encoded, // the body comes in a transfer coding (chunked) and is not the file itself
    };

    explicit WebResponse(QByteArray received);

    // The data starts with "HTTP/": a status line and headers come before the body.
    [[nodiscard]] bool hasHeader() const { return m_hasHeader; }
    // The first line, cut short for the log when a server sends no line end.
    [[nodiscard]] QString statusLine() const;
    // The three digits of a "HTTP/x.y NNN reason" line; 0 when there is none.
    [[nodiscard]] int statusCode() const;
    // The body length the header declares (its first Content-Length), nothing when none.
    [[nodiscard]] std::optional<std::int64_t> contentLength() const { return m_contentLength; }
    // The body: everything after the header, never more than the declared length; nothing when
    // the header never ends.
    [[nodiscard]] QByteArray body() const;
    // The body bytes that arrived, before any cut to the declared length.
    [[nodiscard]] std::int64_t bodyReceived() const;
    // The Transfer-Encoding the header names, empty when none (or "identity"): framing such as
    // "chunked" around the body, which a request of HTTP/1.0 should never get.
    [[nodiscard]] QByteArray transferCoding() const;
    [[nodiscard]] Verdict verdict() const;
    // The body, made from the received bytes in place (a large file is never held twice).
    [[nodiscard]] QByteArray takeBody() &&;

private:
    // The value of the header's first field of this name (in lower case), trimmed.
    [[nodiscard]] std::optional<QByteArray> field(const QByteArray& name) const;
    [[nodiscard]] std::optional<std::int64_t> findContentLength() const;
    [[nodiscard]] qsizetype bodyLength() const;

    QByteArray m_received;
    bool m_hasHeader = false;
    qsizetype m_bodyStart = -1; // after the header's empty line; -1 when it never ends
    std::optional<std::int64_t> m_contentLength;
};

}
