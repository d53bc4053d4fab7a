#include "shell/ui/WebFile.h"
#include "shell/CodePage.h"
#include "shell/GeneFile.h"
#include "shell/ModuleState.h"
#include "shell/WebFetcher.h"
#include "tests/support/LogCapture.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <vector>

using namespace vorlix::shell;
using vorlix::test::LogCapture;

namespace {

struct Prompt {
    QString text;
    int style = 0;
    QString caption;
};

// Someone at the screen: run mode 0 and a presenter that records every message.
class MessageRecorder {
public:
    MessageRecorder()
        : m_savedMode(moduleState().RunMode)
    {
        moduleState().RunMode = RunModeWindow;
        setMessagePresenter([this](const QString& text, int style, const QString& caption) {
            prompts.push_back({ text, style, caption });
            return 1;
        });
    }
    ~MessageRecorder()
    {
        setMessagePresenter({});
        moduleState().RunMode = m_savedMode;
    }
    std::vector<Prompt> prompts;

private:
    std::int32_t m_savedMode;
};

// An HTTP server on 127.0.0.1 that lives as long as the test: once a connection's request has
// arrived, the test's reply decides what the server does with it.
class TestServer {
public:
    using Reply = std::function<void(QTcpSocket&)>;

    explicit TestServer(Reply reply)
        : m_reply(std::move(reply))
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }
    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    [[nodiscard]] QString host() const { return "127.0.0.1:" + QString::number(port()); }
    QByteArray request;

private:
    void accept()
    {
        QTcpSocket* socket = m_server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const bool answered = request.contains("\r\n\r\n");
            request += socket->readAll();
            if (!answered && request.contains("\r\n\r\n"))
                m_reply(*socket);
        });
    }
    QTcpServer m_server;
    Reply m_reply;
};

TestServer::Reply sendAndClose(QByteArray data)
{
    return [data](QTcpSocket& socket) {
        socket.write(data);
        socket.disconnectFromHost();
    };
}

// Sends the chunks one by one, a pause apart, then closes.
TestServer::Reply sendSlowly(QList<QByteArray> chunks, int pauseMs)
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

void stayQuiet(QTcpSocket&) { }

// Announces more than it sends, then resets the connection.
void resetMidBody(QTcpSocket& socket)
{
    socket.write("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(500, 'x'));
    socket.flush();
    QTimer::singleShot(50, &socket, [&socket] {
        const linger hard { 1, 0 };
        ::setsockopt(
            static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        socket.abort();
    });
}

struct Outcome {
    bool connected = false;
    QByteArray body;
    QStringList log;
    std::vector<Prompt> prompts;
};

// One fetch of /dir/a.fae with message boxes on and a shortened timeout.
Outcome fetch(const QString& host, int timeoutMs = 2000, std::int64_t limit = 0)
{
    MessageRecorder messages;
    Outcome outcome;
    WebFile web;
    web.setOpt1(true);
    web.setTimeoutMilliseconds(timeoutMs);
    if (limit > 0)
        web.setReceiveLimit(limit);
    {
        LogCapture log;
        outcome.connected = web.Connect(host, "/dir/", "a.fae");
        outcome.log = log.lines();
    }
    outcome.body = web.ReadB();
    outcome.prompts = messages.prompts;
    return outcome;
}

TEST(WebFileTest, SendsOneHttp10RequestWithHostHeader)
{
    TestServer server(sendAndClose("body"));
    MessageRecorder messages;
    WebFile web;
    QStringList log;
    {
        LogCapture capture;
        EXPECT_TRUE(web.Connect(server.host(), "/帳票 dir/", "a b.fae"));
        log = capture.lines();
    }
    const QByteArray target = "/%E5%B8%B3%E7%A5%A8%20dir/a%20b.fae";
    EXPECT_EQ(server.request,
        "GET " + target + " HTTP/1.0\r\nHost: " + server.host().toLatin1()
            + "\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(log.contains("WebFile/OnConnect:120>GET " + target + " HTTP/1.0"));
    EXPECT_EQ(web.state(), WebFile::State::Finished);
}

TEST(WebFileTest, BodyIsHandedBackWithoutTheHeader)
{
    const QByteArray body = toCp932("帳票\r\nline");
    struct {
        const char* name;
        QByteArray response;
        QByteArray body;
    } cases[] = {
        { "body only", body, body },
        { "status and headers",
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body,
            body },
        { "header never ends", "HTTP/1.0 200 OK\r\nContent-Type: text/plain", "" },
        { "HTTP/1.1 204", "HTTP/1.1 204 No Content\r\n\r\n", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(sendAndClose(c.response));
        WebFile web;
        ASSERT_TRUE(web.Connect(server.host(), "/", "a.fae"));
        EXPECT_EQ(web.ReadB(), c.body);
        EXPECT_EQ(web.Read(), decodeText(c.body).text);
        EXPECT_EQ(web.FileSize(), c.response.size());
    }
}

TEST(WebFileTest, RefusedOrBrokenResponsesFail)
{
    struct {
        const char* name;
        TestServer::Reply reply;
        const char* logged;
    } cases[] = {
        { "404", sendAndClose("HTTP/1.0 404 Not Found\r\n\r\nnot here"),
            "^WebFile/Status>HTTP/1.0 404 Not Found$" },
        { "garbled status", sendAndClose("HTTP/1.0 OK\r\n\r\nx"), "^WebFile/Status>HTTP/1.0 OK$" },
        { "empty reply", sendAndClose(""), "^WebFile/OnClose>" },
        { "reset mid-body", resetMidBody, "^WebFile/On(Close|Error)>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(c.reply);
        const Outcome outcome = fetch(server.host());
        EXPECT_FALSE(outcome.connected);
        EXPECT_FALSE(outcome.log.filter(QRegularExpression(c.logged)).isEmpty())
            << outcome.log.join("|").toStdString();
        EXPECT_TRUE(outcome.prompts.empty());
    }
}

TEST(WebFileTest, SlowSenderWithinTheTimeoutSucceeds)
{
    // Twelve pauses of 100 ms take longer than the whole timeout of 800 ms.
    QList<QByteArray> chunks { "HTTP/1.0 200 OK\r\n\r\n" };
    for (int i = 0; i < 12; ++i)
        chunks.append(QByteArray::number(i) + ' ');
    TestServer server(sendSlowly(chunks, 100));
    const Outcome outcome = fetch(server.host(), 800);
    EXPECT_TRUE(outcome.connected);
    EXPECT_EQ(outcome.body, "0 1 2 3 4 5 6 7 8 9 10 11 ");
}

TEST(WebFileTest, SilentServerTimesOut)
{
    TestServer server(stayQuiet);
    const Outcome outcome = fetch(server.host(), 200);
    EXPECT_FALSE(outcome.connected);
    EXPECT_TRUE(outcome.log.contains("WebFile/TimeOunt>"));
    ASSERT_EQ(outcome.prompts.size(), 1u);
    EXPECT_EQ(outcome.prompts[0].text, "タイムアウトによる切断");
    EXPECT_EQ(outcome.prompts[0].style, 64);
    EXPECT_EQ(outcome.prompts[0].caption, applicationTitle() + "/WebFile");
}

TEST(WebFileTest, UnreachableHostsAreReported)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const QString hosts[] = {
        "127.0.0.1:" + QString::number(closedPort),
        "bad host",
        "127.0.0.1:notaport",
        "127.0.0.1:70000",
        "",
    };
    for (const auto& host : hosts) {
        SCOPED_TRACE(host.toStdString());
        const Outcome outcome = fetch(host);
        EXPECT_FALSE(outcome.connected);
        ASSERT_EQ(outcome.prompts.size(), 1u);
        EXPECT_EQ(outcome.prompts[0].text, "サーバーに接続できません\r\n" + host);
        EXPECT_EQ(outcome.prompts[0].style, 64);
    }
}

TEST(WebFileTest, CancelEndsTheFetchAtOnce)
{
    MessageRecorder messages;
    WebFile web;
    web.setOpt1(true);
    web.setTimeoutMilliseconds(60000);
    auto* label = web.findChild<QLabel*>();
    auto* cancel = web.findChild<QPushButton*>();
    ASSERT_TRUE(label && cancel);
    EXPECT_EQ(label->text(), "接続中");
    EXPECT_EQ(cancel->text(), "キャンセル(&C)");
    // The user cancels once the request is out and nothing comes back.
    QString during;
    TestServer server([&](QTcpSocket&) {
        QTimer::singleShot(0, &web, [&] {
            during = label->text();
            cancel->click();
        });
    });
    EXPECT_FALSE(web.Connect(server.host(), "/", "a.fae"));
    EXPECT_EQ(during, "ダウンロード中");
    // A timeout would have shown its message.
    EXPECT_TRUE(messages.prompts.empty());
}

TEST(WebFileTest, LargeResponsesArriveWholeUpToTheLimit)
{
    const QByteArray body(50 * 1024 * 1024, 'z');
    TestServer server(sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + body));
    const Outcome whole = fetch(server.host(), 10000);
    EXPECT_TRUE(whole.connected);
    EXPECT_EQ(whole.body.size(), body.size());

    TestServer endless(sendAndClose(body));
    const Outcome cut = fetch(endless.host(), 10000, 1024 * 1024);
    EXPECT_FALSE(cut.connected);
    EXPECT_FALSE(cut.log.filter("WebFile/OnData>").isEmpty());
}

TEST(WebFileTest, PortWithoutHostPortAndZeroMeansHttp)
{
    WebFile web;
    EXPECT_EQ(web.port(), 80);
    web.setPort(8080);
    EXPECT_EQ(web.port(), 8080);
    web.setPort(0);
    EXPECT_EQ(web.port(), 80);

    TestServer server(sendAndClose("hello"));
    web.setPort(server.port());
    ASSERT_TRUE(web.Connect("127.0.0.1", "/", "a.fae"));
    EXPECT_EQ(web.ReadB(), "hello");
    EXPECT_TRUE(server.request.contains("\r\nHost: 127.0.0.1\r\n"));
}

TEST(WebFileTest, GeneFileOpensHttpNamesThroughTheWindow)
{
    installWebFile();
    TestServer server(sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + toCp932("帳票データ")));
    GeneFile f;
    f.setWebPort(server.port());
    ASSERT_TRUE(f.FileOpen(1, "http://127.0.0.1/dir/a.fae"));
    EXPECT_EQ(f.Read(), "帳票データ");
    EXPECT_EQ(server.request.left(25), "GET /dir/a.fae HTTP/1.0\r\n");
    f.FileClose();

    // A port in the address wins over the configured one.
    TestServer other(sendAndClose("x"));
    f.setWebPort(1);
    ASSERT_TRUE(f.FileOpen(1, "http://" + other.host() + "/b.mnd"));
    EXPECT_EQ(f.ReadB(), "x");
    EXPECT_EQ(f.FileSize(), 1);
    f.FileClose();
    EXPECT_EQ(f.ReadB(), "");

    MessageRecorder messages;
    f.setOpt2(true);
    EXPECT_FALSE(f.FileOpen(2, "http://" + other.host() + "/b.mnd"));
    // The window's message boxes follow the file's switch.
    EXPECT_FALSE(f.FileOpen(1, "http://127.0.0.1:1/b.mnd"));
    ASSERT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(messages.prompts[0].text, "読込専用でしか開けません");
    EXPECT_EQ(messages.prompts[1].text, "サーバーに接続できません\r\n127.0.0.1:1");

    setWebFetcherFactory({});
    QStringList logged;
    {
        LogCapture log;
        EXPECT_FALSE(f.FileOpen(1, "http://" + other.host() + "/b.mnd"));
        logged = log.lines();
    }
    EXPECT_EQ(logged.filter("GeneFile/FileOpen>").size(), 1);
}

TEST(WebFileTest, LifeIsLogged)
{
    LogCapture log;
    {
        WebFile web;
    }
    EXPECT_EQ(log.lines(), (QStringList { "WebFile/Initialize>", "WebFile/Terminate>" }));
}

}
