#include "shell/ui/WebFile.h"
#include "shell/CodePage.h"
#include "shell/GeneFile.h"
#include "shell/WebFetcher.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"

#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

TEST(WebFileTest, ShowsThePhasesAndHandsBackTheBody)
{
    WebFile web;
    auto* label = web.findChild<QLabel*>();
    auto* cancel = web.findChild<QPushButton*>();
    ASSERT_TRUE(label && cancel);
    EXPECT_EQ(label->text(), "接続中");
    EXPECT_EQ(cancel->text(), "キャンセル(&C)");
    QStringList seen;
    HttpTestServer server([&](QTcpSocket& socket) {
        seen << label->text() + (web.isVisible() ? " shown" : " hidden");
        HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\n" + toCp932("帳票"))(socket);
    });
    ASSERT_TRUE(web.Connect(server.host(), "/dir/", "a.fae"));
    EXPECT_EQ(seen, QStringList { "ダウンロード中 shown" });
    EXPECT_FALSE(web.isVisible());
    EXPECT_EQ(web.Read(), "帳票");
    EXPECT_EQ(web.FileSize(), 23);
    EXPECT_EQ(web.exchange().state(), WebExchange::State::Finished);
    // The next fetch starts from "接続中" again.
    HttpTestServer quiet(HttpTestServer::stayQuiet);
    web.exchange().setTimeoutMilliseconds(100);
    QString atStart;
    QTimer::singleShot(0, &web, [&] { atStart = label->text(); });
    EXPECT_FALSE(web.Connect(quiet.host(), "/", "b.fae"));
    EXPECT_EQ(atStart, "接続中");
}

TEST(WebFileTest, CancelButtonEndsTheFetchAtOnce)
{
    MessageRecorder messages;
    WebFile web;
    web.setOpt1(true);
    web.exchange().setTimeoutMilliseconds(60000);
    auto* label = web.findChild<QLabel*>();
    auto* cancel = web.findChild<QPushButton*>();
    // The user cancels once the request is out and nothing comes back.
    QString during;
    HttpTestServer server([&](QTcpSocket&) {
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

TEST(WebFileTest, TimeoutIsShownAsAMessageOfTheWindow)
{
    MessageRecorder messages;
    WebFile web;
    web.setOpt1(true);
    web.exchange().setTimeoutMilliseconds(200);
    HttpTestServer server(HttpTestServer::stayQuiet);
    LogCapture log;
    EXPECT_FALSE(web.Connect(server.host(), "/", "a.fae"));
    EXPECT_TRUE(log.lines().contains("WebFile/TimeOunt>"));
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(messages.prompts[0].text, "タイムアウトによる切断");
    EXPECT_EQ(messages.prompts[0].caption, applicationTitle() + "/WebFile");
}

TEST(WebFileTest, GeneFileOpensHttpNamesThroughTheWindow)
{
    installWebFile();
    HttpTestServer server(HttpTestServer::sendAndClose("x"));
    GeneFile f;
    ASSERT_TRUE(f.FileOpen(1, "http://" + server.host() + "/b.mnd"));
    EXPECT_EQ(f.ReadB(), "x");
    f.FileClose();

    MessageRecorder messages;
    f.setOpt2(true);
    EXPECT_FALSE(f.FileOpen(2, "http://" + server.host() + "/b.mnd"));
    // The window's message boxes follow the file's switch.
    EXPECT_FALSE(f.FileOpen(1, "http://127.0.0.1:1/b.mnd"));
    ASSERT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(messages.prompts[0].text, "読込専用でしか開けません");
    EXPECT_EQ(messages.prompts[1].text, "サーバーに接続できません\r\n127.0.0.1:1");
    setWebFetcherFactory({});
}

TEST(WebFileTest, LifeIsLoggedOnce)
{
    LogCapture log;
    {
        WebFile web;
    }
    EXPECT_EQ(log.lines(), (QStringList { "WebFile/Initialize>", "WebFile/Terminate>" }));
}

}
