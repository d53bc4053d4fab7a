#include "shell/WebExchange.h"
#include "shell/CodePage.h"
#include "shell/GeneFile.h"
#include "shell/ModuleState.h"
#include "shell/WebFetcher.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

struct Outcome {
    bool connected = false;
    QByteArray body;
    int status = 0;
    QString failure;
    QStringList log;
    std::vector<MessageRecorder::Prompt> prompts;
};

// One fetch of /dir/a.fae with message boxes on and a shortened timeout, without any window.
Outcome fetch(const QString& host, int timeoutMs = 2000, std::int64_t limit = 0, int deadlineMs = 0)
{
    MessageRecorder messages;
    Outcome outcome;
    WebExchange web;
    web.setOpt1(true);
    web.setTimeoutMilliseconds(timeoutMs);
    if (limit > 0)
        web.setReceiveLimit(limit);
    if (deadlineMs > 0)
        web.setDeadlineMilliseconds(deadlineMs);
    {
        LogCapture log;
        outcome.connected = web.Connect(host, "/dir/", "a.fae");
        outcome.log = log.lines();
    }
    outcome.body = web.ReadB();
    outcome.status = web.statusCode();
    outcome.failure = web.failure();
    outcome.prompts = messages.prompts;
    return outcome;
}

TEST(WebExchangeTest, SendsOneHttp10RequestWithHostHeader)
{
    HttpTestServer server(HttpTestServer::sendAndClose("body"));
    WebExchange web;
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
    EXPECT_EQ(web.state(), WebExchange::State::Finished);
}

TEST(WebExchangeTest, BodyIsHandedBackWithoutTheHeader)
{
    const QByteArray body = toCp932("帳票\r\nline");
    struct {
        const char* name;
        QByteArray response;
        QByteArray body;
        int status;
    } cases[] = {
        { "body only", body, body, 0 },
        { "status and headers",
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body,
            body, 200 },
        { "more than the declared length",
            "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\n" + body + "junk", body.left(4), 200 },
        { "HTTP/1.1 204", "HTTP/1.1 204 No Content\r\n\r\n", "", 204 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server(HttpTestServer::sendAndClose(c.response));
        WebExchange web;
        ASSERT_TRUE(web.Connect(server.host(), "/", "a.fae"));
        EXPECT_EQ(web.ReadB(), c.body);
        EXPECT_EQ(web.Read(), decodeText(c.body).text);
        EXPECT_EQ(web.FileSize(), c.response.size());
        EXPECT_EQ(web.statusCode(), c.status);
    }
}

TEST(WebExchangeTest, RefusedOrBrokenResponsesFail)
{
    struct {
        const char* name;
        HttpTestServer::Reply reply;
        const char* logged;
        int status; // what the caller can tell the user about the failure
    } cases[] = {
        { "404", HttpTestServer::sendAndClose("HTTP/1.0 404 Not Found\r\n\r\nnot here"),
            "^WebFile/Status>HTTP/1.0 404 Not Found$", 404 },
        { "garbled status", HttpTestServer::sendAndClose("HTTP/1.0 OK\r\n\r\nx"),
            "^WebFile/Status>HTTP/1.0 OK$", 0 },
        { "empty reply", HttpTestServer::sendAndClose(""), "^WebFile/OnClose>", 0 },
        { "header never ends",
            HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\nContent-Type: text/plain"),
            "^WebFile/OnClose>途中で切断されました:41$", 200 },
        { "reset mid-body", HttpTestServer::resetMidBody, "^WebFile/On(Close|Error)>", 200 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server(c.reply);
        const Outcome outcome = fetch(server.host());
        EXPECT_FALSE(outcome.connected);
        EXPECT_FALSE(outcome.log.filter(QRegularExpression(c.logged)).isEmpty())
            << outcome.log.join("|").toStdString();
        EXPECT_TRUE(outcome.prompts.empty());
        EXPECT_EQ(outcome.status, c.status);
    }
}

// The end of a body is known from its declared length or from an orderly close; a reset leaves
// it unknown, and a body framed in a transfer coding is not the file.
TEST(WebExchangeTest, OnlyAKnownEndMakesAWholeBody)
{
    const QByteArray face = "s,100,100,\"the face goes on";
    const QByteArray chunked
        = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n";
    struct {
        const char* name;
        HttpTestServer::Reply reply;
        bool connected;
        QByteArray body;
        const char* failure; // a pattern of what the caller can tell the user
    } cases[] = {
        { "no length, reset", HttpTestServer::sendAndReset("HTTP/1.0 200 OK\r\n\r\n" + face), false,
            "", "^受信中に接続が切れました:Connection reset by peer$" },
        { "bare answer, reset", HttpTestServer::sendAndReset(face), false, "",
            "^受信中に接続が切れました:" },
        { "no length, orderly close",
            HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + face), true, face, "^$" },
        { "whole declared length, then reset",
            HttpTestServer::sendAndReset("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n" + face),
            true, face.left(5), "^$" },
        { "chunked", HttpTestServer::sendAndClose(chunked), false, "",
            "^Transfer-Encoding: chunked の応答は受け取れません$" },
        { "chunked in the last read",
            HttpTestServer::sendAndReset(chunked.left(chunked.indexOf("\r\n\r\n") + 4)), false, "",
            "^Transfer-Encoding: chunked の応答は受け取れません$" },
        { "identity coding",
            HttpTestServer::sendAndClose(
                "HTTP/1.0 200 OK\r\nTransfer-Encoding: Identity\r\n\r\n" + face),
            true, face, "^$" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server(c.reply);
        const Outcome outcome = fetch(server.host());
        EXPECT_EQ(outcome.connected, c.connected);
        if (c.connected) {
            EXPECT_EQ(outcome.body, c.body);
        }
        EXPECT_TRUE(outcome.failure.contains(QRegularExpression(c.failure)))
            << outcome.failure.toStdString();
        EXPECT_TRUE(outcome.prompts.empty());
    }
}

// Each limit ends the exchange with words that say which one it was: the time without progress,
// the time of the whole exchange, the size a body may have (declared or sent).
TEST(WebExchangeTest, EachLimitSaysWhichEndedIt)
{
    QList<QByteArray> trickle { "HTTP/1.0 200 OK\r\n\r\n" };
    for (int i = 0; i < 40; ++i)
        trickle.append("x");
    const QByteArray big(300 * 1024, 'z');
    struct {
        const char* name;
        HttpTestServer::Reply reply;
        int timeoutMs;
        int deadlineMs;
        const char* prompt;
        const char* failure;
        const char* logged;
    } cases[] = {
        { "trickle past the deadline", HttpTestServer::sendSlowly(trickle, 20), 1000, 300,
            "時間切れによる切断（やり取り全体の上限 300 ミリ秒）",
            "時間切れによる切断（やり取り全体の上限 300 ミリ秒）", "^WebFile/Deadline>" },
        { "header, then silence",
            [](QTcpSocket& socket) { socket.write("HTTP/1.0 200 OK\r\n\r\nabc"); }, 200, 5000,
            "タイムアウトによる切断", "タイムアウトによる切断（200 ミリ秒 受信なし）",
            "^WebFile/TimeOunt>$" },
        { "silence from the start", HttpTestServer::stayQuiet, 200, 5000, "タイムアウトによる切断",
            "", "^WebFile/TimeOunt>$" },
        { "declared above the limit",
            HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\nContent-Length: 999999999\r\n\r\nz"),
            2000, 5000, nullptr,
            "受信サイズが上限（64 KB）を超えました（Content-Length: 999999999）",
            "^WebFile/OnData>受信サイズが上限（64 KB）" },
        { "sent above the limit", HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + big),
            2000, 5000, nullptr, "受信サイズが上限（64 KB）を超えました",
            "^WebFile/OnData>受信サイズが上限（64 KB）を超えました$" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server(c.reply);
        const Outcome outcome = fetch(server.host(), c.timeoutMs, 64 * 1024, c.deadlineMs);
        EXPECT_FALSE(outcome.connected);
        EXPECT_EQ(outcome.failure, QString::fromUtf8(c.failure));
        EXPECT_FALSE(outcome.log.filter(QRegularExpression(c.logged)).isEmpty())
            << outcome.log.join("|").toStdString();
        ASSERT_EQ(outcome.prompts.size(), c.prompt ? 1u : 0u);
        if (c.prompt) {
            EXPECT_EQ(outcome.prompts[0].text, QString::fromUtf8(c.prompt));
        }
    }
}

TEST(WebExchangeTest, SlowSenderWithinTheTimeoutSucceeds)
{
    // Twelve pauses of 100 ms take longer than the whole timeout of 800 ms.
    QList<QByteArray> chunks { "HTTP/1.0 200 OK\r\n\r\n" };
    for (int i = 0; i < 12; ++i)
        chunks.append(QByteArray::number(i) + ' ');
    HttpTestServer server(HttpTestServer::sendSlowly(chunks, 100));
    const Outcome outcome = fetch(server.host(), 800);
    EXPECT_TRUE(outcome.connected);
    EXPECT_EQ(outcome.body, "0 1 2 3 4 5 6 7 8 9 10 11 ");
}

TEST(WebExchangeTest, SilentServerTimesOut)
{
    HttpTestServer server(HttpTestServer::stayQuiet);
    const Outcome outcome = fetch(server.host(), 200);
    EXPECT_FALSE(outcome.connected);
    EXPECT_TRUE(outcome.log.contains("WebFile/TimeOunt>"));
    ASSERT_EQ(outcome.prompts.size(), 1u);
    EXPECT_EQ(outcome.prompts[0].text, "タイムアウトによる切断");
    EXPECT_EQ(outcome.prompts[0].style, 64);
    EXPECT_EQ(outcome.prompts[0].caption, applicationTitle() + "/WebFile");
}

TEST(WebExchangeTest, UnreachableHostsAreReported)
{
    const QString hosts[] = {
        "127.0.0.1:" + QString::number(HttpTestServer::closedPort()),
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

// What the progress window does: it starts the exchange, shows the phase it is told of and gives
// up when the user cancels.
TEST(WebExchangeTest, StartReportsItsPhasesAndCancelEndsItAtOnce)
{
    MessageRecorder messages;
    WebExchange web;
    web.setOpt1(true);
    web.setTimeoutMilliseconds(60000);
    QStringList phases;
    QObject::connect(&web, &WebExchange::requestSent, [&] {
        phases << "request sent";
        // The user cancels once the request is out and nothing comes back.
        QTimer::singleShot(0, &web, [&] { web.cancel(); });
    });
    QEventLoop loop;
    QObject::connect(&web, &WebExchange::finished, [&](bool success) {
        phases << (success ? "finished" : "given up");
        loop.quit();
    });
    HttpTestServer server(HttpTestServer::stayQuiet);
    web.start(server.host(), "/", "a.fae");
    EXPECT_EQ(web.state(), WebExchange::State::ConnectCalled);
    loop.exec();
    EXPECT_EQ(phases, (QStringList { "request sent", "given up" }));
    EXPECT_EQ(web.state(), WebExchange::State::RequestSent);
    // A timeout would have shown its message; a second cancel changes nothing.
    EXPECT_TRUE(messages.prompts.empty());
    web.cancel();
    EXPECT_EQ(phases.size(), 2);
}

TEST(WebExchangeTest, LargeResponsesArriveWholeUpToTheLimit)
{
    const QByteArray body(50 * 1024 * 1024, 'z');
    HttpTestServer server(HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + body));
    const Outcome whole = fetch(server.host(), 10000);
    EXPECT_TRUE(whole.connected);
    EXPECT_EQ(whole.body.size(), body.size());

    HttpTestServer endless(HttpTestServer::sendAndClose(body));
    const Outcome cut = fetch(endless.host(), 10000, 1024 * 1024);
    EXPECT_FALSE(cut.connected);
    EXPECT_FALSE(cut.log.filter("WebFile/OnData>").isEmpty());
}

TEST(WebExchangeTest, PortWithoutHostPortAndZeroMeansHttp)
{
    WebExchange web;
    EXPECT_EQ(web.port(), 80);
    web.setPort(8080);
    EXPECT_EQ(web.port(), 8080);
    web.setPort(0);
    EXPECT_EQ(web.port(), 80);

    HttpTestServer server(HttpTestServer::sendAndClose("hello"));
    web.setPort(server.port());
    ASSERT_TRUE(web.Connect("127.0.0.1", "/", "a.fae"));
    EXPECT_EQ(web.ReadB(), "hello");
    EXPECT_TRUE(server.request.contains("\r\nHost: 127.0.0.1\r\n"));
}

// A program without windows (the downloader, a tool) opens http:/ names through the exchange.
TEST(WebExchangeTest, GeneFileOpensHttpNamesWithoutAnyWindow)
{
    setWebFetcherFactory({});
    HttpTestServer server(
        HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + toCp932("帳票データ")));
    GeneFile f;
    f.setWebPort(server.port());
    ASSERT_TRUE(f.FileOpen(1, "http://127.0.0.1/dir/a.fae"));
    EXPECT_EQ(f.Read(), "帳票データ");
    EXPECT_EQ(server.request.left(25), "GET /dir/a.fae HTTP/1.0\r\n");
    f.FileClose();

    // A port in the address wins over the configured one.
    HttpTestServer other(HttpTestServer::sendAndClose("x"));
    f.setWebPort(1);
    ASSERT_TRUE(f.FileOpen(1, "http://" + other.host() + "/b.mnd"));
    EXPECT_EQ(f.ReadB(), "x");
    EXPECT_EQ(f.FileSize(), 1);
    f.FileClose();
    EXPECT_EQ(f.ReadB(), "");

    // A factory that can give no fetcher leaves the name unopened, with a log line.
    setWebFetcherFactory([] { return std::unique_ptr<WebFetcher>(); });
    QStringList logged;
    {
        LogCapture log;
        EXPECT_FALSE(f.FileOpen(1, "http://" + other.host() + "/b.mnd"));
        logged = log.lines();
    }
    setWebFetcherFactory({});
    EXPECT_EQ(logged.filter("GeneFile/FileOpen>").size(), 1);
    EXPECT_EQ(f.HttpStatus(), 0);
}

// The server's status stays readable after the open failed, so that a caller can say "not found"
// rather than "no server"; the next open starts from nothing.
TEST(WebExchangeTest, GeneFileKeepsTheStatusOfAFailedOpen)
{
    setWebFetcherFactory({});
    HttpTestServer missing(HttpTestServer::sendAndClose("HTTP/1.1 404 Not Found\r\n\r\n<html/>"));
    GeneFile f;
    EXPECT_FALSE(f.FileOpen(1, "http://" + missing.host() + "/list2"));
    EXPECT_EQ(f.HttpStatus(), 404);
    EXPECT_FALSE(f.FileOpen(
        1, "http://127.0.0.1:" + QString::number(HttpTestServer::closedPort()) + "/list2"));
    EXPECT_EQ(f.HttpStatus(), 0);
    HttpTestServer found(HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\nx"));
    ASSERT_TRUE(f.FileOpen(1, "http://" + found.host() + "/list2"));
    EXPECT_EQ(f.HttpStatus(), 200);
}

TEST(WebExchangeTest, LifeIsLogged)
{
    LogCapture log;
    {
        WebExchange web;
    }
    EXPECT_EQ(log.lines(), (QStringList { "WebFile/Initialize>", "WebFile/Terminate>" }));
}

}
