#pragma once

#include "shell/Log.h"
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
// response header. Every phase gives up after a spell without progress. It needs Qt Core and
// Network only: the progress window drives it (start, cancel, the signals), and a program or test
// without widgets runs it to its end with Connect.
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
    [[nodiscard]] std::int64_t FileSize() const override { return m_received.size(); }
    // The body without the response header, as text (UTF-8 or CP932) or as bytes.
    [[nodiscard]] QString Read() const override;
    [[nodiscard]] QByteArray ReadB() const override;
    [[nodiscard]] int statusCode() const override;

    // Starts an exchange and returns at once: the connection starts when the caller's event loop
    // runs, and finished() tells the end.
    void start(const QString& host, const QString& folder, const QString& name);
    // Gives up at once, without a message (the cancel button); finished(false) follows.
    void cancel();

    // How long a phase may go without progress before the exchange gives up (30 seconds).
    void setTimeoutMilliseconds(int milliseconds) { m_timeoutMs = milliseconds; }
    // The most a response may hold; a server that sends more is cut off (so that an endless
    // sender cannot fill the memory).
    void setReceiveLimit(std::int64_t bytes) { m_receiveLimit = bytes; }
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
    void onDisconnected();
    void onSocketError(QAbstractSocket::SocketError error);
    void onTimeout();
    void restartTimer();
    [[nodiscard]] bool responseIsWhole();
    void cannotConnect();
    void stop();
    void finish(bool success);
    int WebMessage(const QString& prompt, int style) const;
    [[nodiscard]] QByteArray request() const;

    LifeLog m_life { QStringLiteral("WebFile") };
    bool m_opt1 = false;
    int m_port = 80;
    int m_timeoutMs = 30000;
    std::int64_t m_receiveLimit = std::int64_t { 1 } << 30;
    QString m_host;
    QString m_folder;
    QString m_name;
    QByteArray m_hostHeader;
    State m_state = State::Created;
    bool m_done = true;
    QByteArray m_received;
    QTimer m_timer;
    QTcpSocket m_socket;
};

}
