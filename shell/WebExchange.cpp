#include "shell/WebExchange.h"

#include "shell/CodePage.h"
#include "shell/UserInterface.h"
#include "shell/WebResponse.h"

#include <QEventLoop>
#include <QUrl>
#include <optional>

namespace vorlix::shell {

namespace {

    constexpr int kDefaultPort = 80;
    constexpr int kStyleInformation = 64;

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

}

WebExchange::WebExchange(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WebExchange::onTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &WebExchange::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &WebExchange::onReadyRead);
    connect(&m_socket, &QTcpSocket::disconnected, this, &WebExchange::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &WebExchange::onSocketError);
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
    m_received.clear();
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
    stop();
    finish(false);
}

void WebExchange::begin()
{
    if (m_state != State::ConnectCalled || m_done)
        return;
    restartTimer();
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
    emit requestSent();
    const QByteArray text = request();
    logLine(QStringLiteral("OnConnect:120"), QString::fromLatin1(text.left(text.indexOf('\r'))));
    m_socket.write(text);
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
    if (m_done)
        return;
    restartTimer();
    m_state = State::DataArriving;
    m_received += m_socket.readAll();
    if (m_received.size() > m_receiveLimit) {
        logLine(QStringLiteral("OnData"),
            QStringLiteral("受信サイズが上限を超えました:") + QString::number(m_receiveLimit));
        stop();
        finish(false);
    }
}

void WebExchange::onDisconnected()
{
    if (m_done)
        return;
    m_received += m_socket.readAll();
    m_timer.stop();
    if (!responseIsWhole()) {
        finish(false);
        return;
    }
    m_state = State::Finished;
    finish(true);
}

// A response counts when the server sent something, did not refuse the request and sent its
// whole header and, when it declared a length, all of the body (a connection reset mid-answer
// looks like a close).
bool WebExchange::responseIsWhole()
{
    const WebResponse response(m_received);
    switch (response.verdict()) {
    case WebResponse::Verdict::Whole:
        return true;
    case WebResponse::Verdict::Empty:
        logLine(QStringLiteral("OnClose"), QStringLiteral("応答がありません"));
        break;
    case WebResponse::Verdict::Refused:
        logLine(QStringLiteral("Status"), response.statusLine());
        break;
    case WebResponse::Verdict::HeaderCut:
        logLine(QStringLiteral("OnClose"),
            QStringLiteral("途中で切断されました:%1").arg(m_received.size()));
        break;
    case WebResponse::Verdict::BodyCut:
        logLine(QStringLiteral("OnClose"),
            QStringLiteral("途中で切断されました:%1/%2")
                .arg(response.bodyReceived())
                .arg(response.contentLength().value_or(0)));
        break;
    }
    return false;
}

void WebExchange::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_done)
        return;
    // The server closing the connection is the normal end; disconnected() follows.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    logLine(QStringLiteral("OnError"), m_socket.errorString());
    if (m_state == State::Connecting) {
        cannotConnect();
        return;
    }
    stop();
    finish(false);
}

void WebExchange::cannotConnect()
{
    stop();
    WebMessage(QStringLiteral("サーバーに接続できません\r\n") + m_host, kStyleInformation);
    finish(false);
}

void WebExchange::onTimeout()
{
    if (m_done)
        return;
    logLine(QStringLiteral("TimeOunt"), QString());
    stop();
    WebMessage(QStringLiteral("タイムアウトによる切断"), kStyleInformation);
    finish(false);
}

// Ends the transfer; the socket's last signals (abort emits some) are ignored from here on.
void WebExchange::stop()
{
    m_done = true;
    m_timer.stop();
    m_socket.abort();
}

void WebExchange::restartTimer()
{
    m_timer.stop();
    m_timer.start(m_timeoutMs);
}

void WebExchange::finish(bool success)
{
    stop();
    emit finished(success);
}

int WebExchange::WebMessage(const QString& prompt, int style) const
{
    if (!m_opt1)
        return 1;
    return ShowMessage(prompt, style, QStringLiteral("/WebFile"));
}

QString WebExchange::Read() const
{
    return decodeText(ReadB()).text;
}

QByteArray WebExchange::ReadB() const
{
    return WebResponse(m_received).body();
}

int WebExchange::statusCode() const
{
    return WebResponse(m_received).statusCode();
}

}
