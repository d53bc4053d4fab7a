#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

namespace vorlix::test {

// An HTTP server on 127.0.0.1 that lives as long as the test: once a connection's request has
// arrived, the test's reply decides what the server does with it.
class HttpTestServer {
public:
    using Reply = std::function<void(QTcpSocket&)>;

    explicit HttpTestServer(Reply reply);

    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    // "127.0.0.1:<port>", as a host of an http:/ name.
    [[nodiscard]] QString host() const;

    // The bytes of the last request, up to its empty line.
    QByteArray request;

    // Sends the data and closes.
    static Reply sendAndClose(QByteArray data);
    // Sends the chunks one by one, a pause apart, then closes.
    static Reply sendSlowly(QList<QByteArray> chunks, int pauseMs);
    // Answers nothing and keeps the connection open.
    static void stayQuiet(QTcpSocket&) { }
    // Announces more than it sends, then resets the connection.
    static void resetMidBody(QTcpSocket& socket);
    // Sends the data and, once it has arrived, resets the connection instead of closing it.
    static Reply sendAndReset(QByteArray data);
    // A port on 127.0.0.1 where nothing listens.
    [[nodiscard]] static quint16 closedPort();

private:
    void accept();

    QTcpServer m_server;
    Reply m_reply;
};

}
