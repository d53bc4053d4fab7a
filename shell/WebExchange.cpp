#include "shell/WebExchange.h"

#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/Setting.h"
#include "shell/UserInterface.h"
#include "shell/WebResponse.h"

#include <QEventLoop>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <utility>

namespace vorlix::shell {

namespace {

    constexpr int kDefaultPort = 80;
    constexpr int kStyleInformation = 64;
    // One read takes at most this much; a few reads a turn let the timers run beside a fast sender.
    constexpr qsizetype kReadChunk = 256 * 1024;
    constexpr int kReadsPerTurn = 8;
    constexpr std::int64_t kLongestDeadlineSeconds
        = 2000000; // what a timer can wait, about 23 days

    // Where to connect and what to name in the Host header.
    struct Endpoint {
        QString connectHost;
        quint16 port = kDefaultPort;
        QByteArray hostHeader;
    };

    std::optional<quint16> portNumber(const QString& text)
    {
        bool ok = false;
        const uint value = text.toUInt(&ok);
        if (!ok || value == 0 || value > 65535)
            return std::nullopt;
        return static_cast<quint16>(value);
    }

    // The Host header names the host in its ASCII form, with the port when the address gave one.
    QByteArray hostHeaderOf(const QString& connectHost, bool bracketed, const QString& portText)
    {
        QByteArray ace = QUrl::toAce(connectHost);
        if (ace.isEmpty())
            ace = connectHost.toLatin1();
        if (bracketed)
            ace = '[' + ace + ']';
        return portText.isEmpty() ? ace : ace + ':' + portText.toLatin1();
    }

    bool safeHostText(const QString& host)
    {
        for (const QChar c : host) {
            if (c.unicode() <= 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/')
                || c == QLatin1Char('@') || c == QLatin1Char('\\'))
                return false;
        }
        return !host.isEmpty();
    }

    // "host", "host:8080", "[::1]:8080" or a bare IPv6 address; nothing for a host that could not
    // be put on a request line safely (blanks, control characters, separators) or a bad port.
    std::optional<Endpoint> parseHost(const QString& host, quint16 defaultPort)
    {
        if (!safeHostText(host))
            return std::nullopt;
        Endpoint endpoint { host, defaultPort, {} };
        QString portText;
        bool bracketed = false;
        if (host.startsWith(QLatin1Char('['))) {
            const qsizetype close = host.indexOf(QLatin1Char(']'));
            const QString rest = host.mid(close + 1);
            if (close < 2 || (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))))
                return std::nullopt;
            endpoint.connectHost = host.mid(1, close - 1);
            portText = rest.mid(1);
            if (rest == QLatin1String(":"))
                return std::nullopt;
            bracketed = true;
        } else if (host.count(QLatin1Char(':')) == 1) {
            const qsizetype colon = host.indexOf(QLatin1Char(':'));
            if (colon == 0)
                return std::nullopt;
            endpoint.connectHost = host.left(colon);
            portText = host.mid(colon + 1);
            if (portText.isEmpty())
                return std::nullopt;
        } else if (host.count(QLatin1Char(':')) > 1) {
            bracketed = true;
        }
        if (!portText.isEmpty()) {
            const auto port = portNumber(portText);
            if (!port)
                return std::nullopt;
            endpoint.port = *port;
        }
        endpoint.hostHeader = hostHeaderOf(endpoint.connectHost, bracketed, portText);
        return endpoint;
    }

    // The request target: blanks, control and non-ASCII characters go out percent-encoded as UTF-8,
    // so a file name can never break the request line.
    QByteArray requestTarget(const QString& path)
    {
        return QUrl::toPercentEncoding(path, QByteArrayLiteral("/?&=:@!$'()*+,;~%"));
    }

    void logLine(const QString& operation, const QString& text)
    {
        WriteLog(QStringLiteral("WebFile/") + operation + QLatin1Char('>') + text);
    }

    // The deadline of the settings file (server/deadline, seconds), so that every fetch ends in
    // the time the user allows.
    int settingsDeadlineMs()
    {
        // Reading makes the section current; the owner of the settings object keeps its own.
        const auto& settings = moduleState().SettingsFile;
        const QString section = settings ? settings->Section() : QString();
        const std::int64_t seconds
            = settingLong(QStringLiteral("server"), QStringLiteral("deadline"), Accept::Positive);
        if (settings)
            settings->setSection(section);
        return static_cast<int>(std::min(seconds, kLongestDeadlineSeconds) * 1000);
    }

    // "30 秒" for whole seconds, "200 ミリ秒" otherwise (a test's short limits).
    QString durationText(int milliseconds)
    {
        if (milliseconds % 1000 == 0)
            return QStringLiteral("%1 秒").arg(milliseconds / 1000);
        return QStringLiteral("%1 ミリ秒").arg(milliseconds);
    }

    // "256 MB", "64 KB" or "1000 バイト": the limit as it was set.
    QString sizeText(std::int64_t bytes)
    {
        constexpr std::int64_t kKilo = 1024;
        if (bytes > 0 && bytes % (kKilo * kKilo) == 0)
            return QStringLiteral("%1 MB").arg(bytes / (kKilo * kKilo));
        if (bytes > 0 && bytes % kKilo == 0)
            return QStringLiteral("%1 KB").arg(bytes / kKilo);
        return QStringLiteral("%1 バイト").arg(bytes);
    }

}

WebExchange::WebExchange(QObject* parent)
    : QObject(parent)
    , m_deadlineMs(settingsDeadlineMs())
{
    m_timer.setSingleShot(true);
    m_deadline.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WebExchange::onTimeout);
    connect(&m_deadline, &QTimer::timeout, this, &WebExchange::onDeadline);
    connect(&m_socket, &QTcpSocket::connected, this, &WebExchange::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &WebExchange::onSocketError);
    connect(&m_stream, &SocketStream::readyRead, this, &WebExchange::onReadyRead);
}

WebExchange::~WebExchange()
{
    stop();
}

void WebExchange::setPort(int port)
{
    // 0 means the HTTP port; a number that names no TCP port is taken the same way.
    m_port = (port <= 0 || port > 65535) ? kDefaultPort : port;
}

bool WebExchange::Connect(const QString& host, const QString& folder, const QString& name)
{
    QEventLoop loop;
    const auto ended = connect(this, &WebExchange::finished, &loop, &QEventLoop::quit);
    start(host, folder, name);
    loop.exec();
    disconnect(ended);
    return m_state == State::Finished;
}

void WebExchange::start(const QString& host, const QString& folder, const QString& name)
{
    m_socket.abort();
    m_stream.close();
    m_received.clear();
    m_body.clear();
    m_receivedSize = 0;
    m_bodyStart = -1;
    m_headerSearched = 0;
    m_status = 0;
    m_failure.clear();
    m_host = host;
    m_folder = folder;
    m_name = name;
    m_state = State::ConnectCalled;
    m_done = false;
    // The connection starts once the caller's event loop runs (for the window: on activation).
    QTimer::singleShot(0, this, &WebExchange::begin);
}

void WebExchange::cancel()
{
    if (m_done)
        return;
    finish(false);
}

void WebExchange::begin()
{
    if (m_state != State::ConnectCalled || m_done)
        return;
    restartTimer();
    m_deadline.start(m_deadlineMs);
    m_state = State::Connecting;
    const auto endpoint = parseHost(m_host, static_cast<quint16>(m_port));
    if (!endpoint) {
        cannotConnect();
        return;
    }
    m_hostHeader = endpoint->hostHeader;
    m_socket.connectToHost(endpoint->connectHost, endpoint->port);
}

void WebExchange::onConnected()
{
    if (m_done)
        return;
    restartTimer();
    m_state = State::RequestSent;
    if (!m_stream.takeOver(m_socket)) {
        logLine(QStringLiteral("OnError"), m_stream.errorString());
        finish(false);
        return;
    }
    emit requestSent();
    const QByteArray text = request();
    logLine(QStringLiteral("OnConnect:120"), QString::fromLatin1(text.left(text.indexOf('\r'))));
    m_stream.write(text);
}

// HTTP/1.0 with a Host header: current servers refuse a bare HTTP/0.9 request line, and 1.0
// still ends the response by closing the connection.
QByteArray WebExchange::request() const
{
    return QByteArrayLiteral("GET ") + requestTarget(m_folder + m_name)
        + QByteArrayLiteral(" HTTP/1.0\r\nHost: ") + m_hostHeader
        + QByteArrayLiteral("\r\nConnection: close\r\n\r\n");
}

void WebExchange::onReadyRead()
{
    for (int read = 0; read < kReadsPerTurn && !m_done; ++read) {
        // A body of declared length fills the room made for it, without growing past it.
        const qsizetype room = m_received.capacity() - m_received.size();
        const qsizetype most = room >= 4096 ? std::min(room, kReadChunk) : kReadChunk;
        const SocketStream::Read got = m_stream.readInto(m_received, most);
        if (got.bytes > 0) {
            restartTimer();
            m_state = State::DataArriving;
            m_receivedSize += got.bytes;
            if (!withinLimits())
                return;
            continue;
        }
        if (got.end != SocketStream::End::Open)
            onEnd(got.end);
        return;
    }
}

// Looks at what has arrived so far: the header as soon as it is whole, and the body's size
// against the limit. False when the exchange has ended on it.
bool WebExchange::withinLimits()
{
    if (m_bodyStart < 0 && !headerAllows())
        return false;
    const std::int64_t body = m_received.size() - std::max<qsizetype>(m_bodyStart, 0);
    if (body > m_receiveLimit) {
        refuse(QStringLiteral("OnData"),
            QStringLiteral("受信サイズが上限（%1）を超えました").arg(sizeText(m_receiveLimit)));
        return false;
    }
    return true;
}

// Finds the end of the header (searching only the bytes that are new) and refuses a header that
// announces a body this exchange cannot take: framed by a transfer coding, or longer than the
// limit. A body of declared length gets its room at once.
bool WebExchange::headerAllows()
{
    const QByteArray status = QByteArrayLiteral("HTTP/");
    if (!m_received.startsWith(status)) {
        if (!status.startsWith(m_received))
            m_bodyStart = 0; // a bare answer: all body
        return true;
    }
    const QByteArray end = QByteArrayLiteral("\r\n\r\n");
    const qsizetype found
        = m_received.indexOf(end, std::max<qsizetype>(status.size(), m_headerSearched));
    m_headerSearched = std::max<qsizetype>(m_received.size() - end.size() + 1, 0);
    if (found < 0)
        return true;
    const WebResponse header(m_received.left(found + end.size()));
    m_bodyStart = found + end.size();
    const QByteArray coding = header.transferCoding();
    if (!coding.isEmpty()) {
        refuse(QStringLiteral("OnData"),
            QStringLiteral("Transfer-Encoding: %1 の応答は受け取れません")
                .arg(QString::fromLatin1(coding.left(64))));
        return false;
    }
    const auto length = header.contentLength();
    if (length && *length > m_receiveLimit) {
        refuse(QStringLiteral("OnData"),
            QStringLiteral("受信サイズが上限（%1）を超えました（Content-Length: %2）")
                .arg(sizeText(m_receiveLimit))
                .arg(*length));
        return false;
    }
    if (length)
        m_received.reserve(static_cast<qsizetype>(m_bodyStart + *length));
    return true;
}

void WebExchange::onEnd(SocketStream::End end)
{
    if (m_done)
        return;
    m_timer.stop();
    if (!responseIsWhole(end)) {
        finish(false);
        return;
    }
    m_state = State::Finished;
    finish(true);
}

// A response counts when the server sent something, did not refuse the request and sent its
// whole header and all of the body: the declared length, or without one everything up to an
// orderly close (after a reset or an error the end of the body is unknown).
bool WebExchange::responseIsWhole(SocketStream::End end)
{
    const WebResponse response(m_received);
    switch (response.verdict()) {
    case WebResponse::Verdict::Whole:
        if (end == SocketStream::End::Closed || response.contentLength())
            return true;
        m_failure = QStringLiteral("受信中に接続が切れました:%1").arg(m_stream.errorString());
        logLine(QStringLiteral("OnError"), m_failure);
        return false;
    case WebResponse::Verdict::Empty:
        logLine(QStringLiteral("OnClose"), QStringLiteral("応答がありません"));
        break;
    case WebResponse::Verdict::Refused:
        logLine(QStringLiteral("Status"), response.statusLine());
        break;
    case WebResponse::Verdict::HeaderCut:
        m_failure = QStringLiteral("途中で切断されました:%1").arg(m_received.size());
        logLine(QStringLiteral("OnClose"), m_failure);
        break;
    case WebResponse::Verdict::BodyCut:
        m_failure = QStringLiteral("途中で切断されました:%1/%2")
                        .arg(response.bodyReceived())
                        .arg(response.contentLength().value_or(0));
        logLine(QStringLiteral("OnClose"), m_failure);
        break;
    case WebResponse::Verdict::Encoded:
        m_failure = QStringLiteral("Transfer-Encoding: %1 の応答は受け取れません")
                        .arg(QString::fromLatin1(response.transferCoding().left(64)));
        logLine(QStringLiteral("OnClose"), m_failure);
        break;
    }
    return false;
}

// The socket only makes the connection, so any error of it means there is none.
void WebExchange::onSocketError(QAbstractSocket::SocketError /*error*/)
{
    if (m_done)
        return;
    logLine(QStringLiteral("OnError"), m_socket.errorString());
    cannotConnect();
}

void WebExchange::cannotConnect()
{
    stop();
    WebMessage(QStringLiteral("サーバーに接続できません\r\n") + m_host, kStyleInformation);
    finish(false);
}

void WebExchange::refuse(const QString& operation, const QString& reason)
{
    m_failure = reason;
    logLine(operation, reason);
    finish(false);
}

void WebExchange::onTimeout()
{
    if (m_done)
        return;
    logLine(QStringLiteral("TimeOunt"), QString());
    if (m_receivedSize > 0)
        m_failure = QStringLiteral("タイムアウトによる切断（%1 受信なし）")
                        .arg(durationText(m_timeoutMs));
    stop();
    WebMessage(QStringLiteral("タイムアウトによる切断"), kStyleInformation);
    finish(false);
}

void WebExchange::onDeadline()
{
    if (m_done)
        return;
    m_failure = QStringLiteral("時間切れによる切断（やり取り全体の上限 %1）")
                    .arg(durationText(m_deadlineMs));
    logLine(QStringLiteral("Deadline"), m_failure);
    stop();
    WebMessage(m_failure, kStyleInformation);
    finish(false);
}

// Ends the transfer; the socket's last signals (abort emits some) are ignored from here on.
void WebExchange::stop()
{
    m_done = true;
    m_timer.stop();
    m_deadline.stop();
    m_socket.abort();
    m_stream.close();
}

void WebExchange::restartTimer()
{
    m_timer.stop();
    m_timer.start(m_timeoutMs);
}

void WebExchange::finish(bool success)
{
    stop();
    settle();
    emit finished(success);
}

// What arrived becomes the status and the body, the header cut off in place.
void WebExchange::settle()
{
    WebResponse response(std::exchange(m_received, QByteArray()));
    m_status = response.statusCode();
    m_body = std::move(response).takeBody();
}

int WebExchange::WebMessage(const QString& prompt, int style) const
{
    if (!m_opt1)
        return 1;
    return ShowMessage(prompt, style, QStringLiteral("/WebFile"));
}

QString WebExchange::Read() const
{
    return decodeText(m_body).text;
}

QByteArray WebExchange::ReadB() const
{
    return m_body;
}

}
