#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <functional>
#include <map>

class QTcpSocket;

namespace vorlix::test {

// A sample web folder on 127.0.0.1 for the downloader's tests, living as long as the test. Each
// connection's request is answered by its path: a file of the table gets a 200 response, a raw
// reply is sent as it stands, anything else gets a 404 page in HTML. Every path asked for is kept.
class SampleSite {
public:
    SampleSite();

    // The web folder "http://127.0.0.1:<port>/samples/" (without the "/" when asked).
    [[nodiscard]] QString folder(bool trailingSlash = true) const;
    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }

    // Serves a file of the folder with a 200 response.
    void addFile(const QString& name, const QByteArray& body);
    // Answers a file of the folder with exactly these bytes, then closes.
    void addRawReply(const QString& name, const QByteArray& response);
    // Answers a file of the folder as the reply decides (a reset, a trickle).
    void addReply(const QString& name, std::function<void(QTcpSocket&)> reply);
    // Called with each decoded path when its request has arrived, before the answer goes out.
    std::function<void(const QString& path)> onRequest;

    // The decoded paths asked for, in order.
    QStringList requested;

    // A line of the list naming a file: the kind character, 38 characters that mean nothing
    // (separators and dots among them) and the name from character 40, ended by CR LF.
    [[nodiscard]] static QByteArray listLine(char kind, const QByteArray& name);
    // The 404 page a server sends for a missing file.
    [[nodiscard]] static QByteArray notFoundResponse();

private:
    void accept();
    void answer(QTcpSocket& socket, const QByteArray& request);

    QTcpServer m_server;
    std::map<QString, QByteArray> m_replies;
    std::map<QString, std::function<void(QTcpSocket&)>> m_customReplies;
};

}
