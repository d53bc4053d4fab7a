#pragma once

#include "shell/Log.h"
#include "shell/SocketStream.h"
#include "shell/WebFetcher.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>

namespace vorlix::shell {

// One HTTP exchange over a TCP socket, for reading one file: it connects, sends one GET request,
// collects everything until the server closes the connection and hands back the body without the
// response header. Every phase gives up after a spell without progress, the whole exchange after
// a deadline, and a body past the receive limit is refused. It needs Qt Core and Network only: the
// progress window drives it (start, cancel, the signals), and a program or test without widgets
// runs it to its end with Connect.
class WebExchange final : public QObject, public WebFetcher {
    Q_OBJECT

public:
    // The progress phases; only Finished counts as success.
    enum class State : std::int32_t {
        Created = 0, // nothing asked yet
        ConnectCalled = 100, // an exchange was asked for; it starts with the event loop
        Connecting = 110, // the connection is being made
        RequestSent = 120, // connected, the request went out
        DataArriving = 130, // the answer is coming in
        Finished = 200, // the server closed the connection after a whole answer
    };

    explicit WebExchange(QObject* parent = nullptr);
    ~WebExchange() override;

    // Opt1: show the exchange's messages (cannot connect, timeout); off, they count as answered OK.
    void setOpt1(bool on) override { m_opt1 = on; }
    // The TCP port when the host names none; 80 at first, and for 0 or a number that is no port.
    void setPort(int port) override;
    [[nodiscard]] int port() const override { return m_port; }
    // Runs the exchange in an event loop of its own and returns once it has ended.
    [[nodiscard]] bool Connect(
        const QString& host, const QString& folder, const QString& name) override;
    // All bytes received, the response header included.
    [[nodiscard]] std::int64_t FileSize() const override { return m_receivedSize; }
    // The body without the response header, as text (UTF-8 or CP932) or as bytes.
    [[nodiscard]] QString Read() const override;
    [[nodiscard]] QByteArray ReadB() const override;
    [[nodiscard]] int statusCode() const override { return m_status; }
    [[nodiscard]] QString failure() const override { return m_failure; }

    // Starts an exchange and returns at once: the connection starts when the caller's event loop
    // runs, and finished() tells the end.
    void start(const QString& host, const QString& folder, const QString& name);
    // Gives up at once, without a message (the cancel button); finished(false) follows.
    void cancel();

    // How long a phase may go without progress before the exchange gives up (30 seconds).
    void setTimeoutMilliseconds(int milliseconds) { m_timeoutMs = milliseconds; }
    // How long the whole exchange may take, however steadily the server sends: at first the
    // settings file's server/deadline, in seconds (10 minutes without one).
    void setDeadlineMilliseconds(int milliseconds) { m_deadlineMs = milliseconds; }
    // The most a body may hold; a server that declares or sends more is refused (so that an
    // endless sender cannot fill the memory).
    void setReceiveLimit(std::int64_t bytes) { m_receiveLimit = bytes; }
    // The limit when none is set: more than any face or data document needs.
    static constexpr std::int64_t kDefaultReceiveLimit = std::int64_t { 256 } << 20;
    [[nodiscard]] State state() const { return m_state; }

signals:
    // The connection stands and the request went out; the data follows.
    void requestSent();
    // The exchange has ended; success only when the whole response arrived.
    void finished(bool success);

private:
    void begin();
    void onConnected();
    void onReadyRead();
    void onEnd(SocketStream::End end);
    void onSocketError(QAbstractSocket::SocketError error);
    void onTimeout();
    void onDeadline();
    void restartTimer();
    [[nodiscard]] bool withinLimits();
    [[nodiscard]] bool headerAllows();
    [[nodiscard]] bool responseIsWhole(SocketStream::End end);
    void cannotConnect();
    void refuse(const QString& operation, const QString& reason);
    void stop();
    void finish(bool success);
    void settle();
    int WebMessage(const QString& prompt, int style) const;
    [[nodiscard]] QByteArray request() const;

    LifeLog m_life { QStringLiteral("WebFile") };
    bool m_opt1 = false;
    int m_port = 80;
    int m_timeoutMs = 30000;
    int m_deadlineMs = 600000;
    std::int64_t m_receiveLimit = kDefaultReceiveLimit;
    QString m_host;
    QString m_folder;
    QString m_name;
    QByteArray m_hostHeader;
    State m_state = State::Created;
    bool m_done = true;
    // Everything received while the exchange runs; the body alone once it has ended.
    QByteArray m_received;
    QByteArray m_body;
    std::int64_t m_receivedSize = 0;
    // Where the body starts in m_received: -1 while the header has not ended, 0 for a bare answer.
    qsizetype m_bodyStart = -1;
    qsizetype m_headerSearched = 0;
    int m_status = 0;
    QString m_failure;
    QTimer m_timer;
    QTimer m_deadline;
    // Makes the connection; the stream then carries the request and the answer.
    QTcpSocket m_socket;
    SocketStream m_stream;
};

}
