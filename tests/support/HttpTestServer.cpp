#include "tests/support/HttpTestServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <sys/socket.h>

namespace vorlix::test {

HttpTestServer::HttpTestServer(Reply reply)
    : m_reply(std::move(reply))
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
}

QString HttpTestServer::host() const
{
    return QStringLiteral("127.0.0.1:") + QString::number(port());
}

void HttpTestServer::accept()
{
    QTcpSocket* socket = m_server.nextPendingConnection();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const bool answered = request.contains("\r\n\r\n");
        request += socket->readAll();
        if (!answered && request.contains("\r\n\r\n"))
            m_reply(*socket);
    });
}

HttpTestServer::Reply HttpTestServer::sendAndClose(QByteArray data)
{
    return [data](QTcpSocket& socket) {
        socket.write(data);
        socket.disconnectFromHost();
    };
}

HttpTestServer::Reply HttpTestServer::sendSlowly(QList<QByteArray> chunks, int pauseMs)
{
    return [chunks, pauseMs](QTcpSocket& socket) {
        auto* timer = new QTimer(&socket);
        auto next = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, &socket, [&socket, timer, chunks, next] {
            if (*next == chunks.size()) {
                timer->stop();
                socket.disconnectFromHost();
                return;
            }
            socket.write(chunks[(*next)++]);
        });
        timer->start(pauseMs);
    };
}

void HttpTestServer::resetMidBody(QTcpSocket& socket)
{
    sendAndReset("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(500, 'x'))(socket);
}

HttpTestServer::Reply HttpTestServer::sendAndReset(QByteArray data)
{
    return [data](QTcpSocket& socket) {
        socket.write(data);
        socket.flush();
        // A close without lingering sends a reset; the pause lets the data go first.
        QTimer::singleShot(50, &socket, [&socket] {
            const linger hard { 1, 0 };
            ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                sizeof hard);
            socket.abort();
        });
    };
}

quint16 HttpTestServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}
