#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QAbstractSocket;
class QSocketNotifier;

namespace vorlix::shell {

// A connected TCP socket read and written on its descriptor, so that an orderly close and a
// reset stay apart: QTcpSocket reports both as "the remote host closed the connection", and a
// transfer broken by a reset would pass for a whole file.
class SocketStream final : public QObject {
    Q_OBJECT

public:
    // How the connection stands after a read.
    enum class End {
        Open, // more may come
        Closed, // the server closed its side in order: everything it sent has arrived
        Reset, // the connection was reset: what arrived may be any part of what was sent
        Failed, // any other error of the connection (errorString says which)
    };
    // What one read did: the bytes appended and how the connection stands.
    struct Read {
        qsizetype bytes = 0;
        End end = End::Open;
    };

    explicit SocketStream(QObject* parent = nullptr);
    ~SocketStream() override;
    SocketStream(const SocketStream&) = delete;
    SocketStream& operator=(const SocketStream&) = delete;

    // Takes the connection of a connected socket over, which is left unconnected without a
    // signal; false when it holds none.
    [[nodiscard]] bool takeOver(QAbstractSocket& socket);
    // Sends the bytes as the connection takes them, after those queued before.
    void write(const QByteArray& bytes);
    // Appends at most `most` waiting bytes to `into`; no bytes and Open when none are waiting.
    [[nodiscard]] Read readInto(QByteArray& into, qsizetype most);
    // The system's words for the error of a Failed end.
    [[nodiscard]] QString errorString() const { return m_error; }
    // Drops the connection at once.
    void close();

signals:
    // Bytes or the end of the connection are waiting to be read.
    void readyRead();

private:
    void sendPending();
    [[nodiscard]] Read ended(End end, int error);

    int m_descriptor = -1;
    std::unique_ptr<QSocketNotifier> m_reading;
    std::unique_ptr<QSocketNotifier> m_writing;
    QByteArray m_pending;
    QString m_error;
};

}
