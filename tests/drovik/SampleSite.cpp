#include "tests/drovik/SampleSite.h"

#include <QTcpSocket>
#include <QUrl>
#include <memory>

namespace vorlix::test {

namespace {

    const QString kFolder = QStringLiteral("/samples/");

}

SampleSite::SampleSite()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
}

QString SampleSite::folder(bool trailingSlash) const
{
    const QString url = QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(kFolder);
    return trailingSlash ? url : url.chopped(1);
}

void SampleSite::addFile(const QString& name, const QByteArray& body)
{
    addRawReply(name,
        "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

void SampleSite::addRawReply(const QString& name, const QByteArray& response)
{
    m_replies[kFolder + name] = response;
}

void SampleSite::addReply(const QString& name, std::function<void(QTcpSocket&)> reply)
{
    m_customReplies[kFolder + name] = std::move(reply);
}

QByteArray SampleSite::listLine(char kind, const QByteArray& name)
{
    const QByteArray filler = " 1024 2004/05/01 ../#sample/0 \\x.fae  ";
    Q_ASSERT(filler.size() == 38);
    return kind + filler + name + "\r\n";
}

QByteArray SampleSite::notFoundResponse()
{
    return "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n\r\n"
           "<html><body>Not Found</body></html>";
}

void SampleSite::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            const bool complete = buffer->contains("\r\n\r\n");
            *buffer += socket->readAll();
            if (!complete && buffer->contains("\r\n\r\n"))
                answer(*socket, *buffer);
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void SampleSite::answer(QTcpSocket& socket, const QByteArray& request)
{
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() > 1 ? QUrl::fromPercentEncoding(words[1]) : QString();
    requested.append(path);
    if (onRequest)
        onRequest(path);
    if (const auto custom = m_customReplies.find(path); custom != m_customReplies.end()) {
        custom->second(socket);
        return;
    }
    const auto found = m_replies.find(path);
    socket.write(found == m_replies.end() ? notFoundResponse() : found->second);
    socket.disconnectFromHost();
}

}
