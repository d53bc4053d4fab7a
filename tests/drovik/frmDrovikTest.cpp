#include "drovik/frmDrovik.h"
#include "drovik/Fetchers.h"
#include "drovik/SharedSettings.h"
#include "shell/InitFile.h"
#include "shell/WebFetcher.h"
#include "shell/ui/WebFile.h"
#include "tests/drovik/SampleSite.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorlix::drovik;
using namespace vorlix::test;

namespace {

class frmDrovikTest : public ::testing::Test {
protected:
    frmDrovikTest()
    {
        QApplication::setApplicationName("Drovik");
        state->SettingsFile = SharedSettings::open();
        installFetchers(FetchWindow::Progress);
    }
    ~frmDrovikTest() override
    {
        vorlix::shell::setWebFetcherFactory({});
        QApplication::setApplicationName("drovik_tests");
    }

    [[nodiscard]] QString sheet() const { return env.dataHome() + "/vorlix/sheet/Default/"; }
    [[nodiscard]] QStringList transcript(const frmDrovik& window) const
    {
        return window.findChild<QPlainTextEdit*>("Text2")->toPlainText().split('\n');
    }
    [[nodiscard]] QStringList openingLines() const
    {
        return { "初期化>" + env.configHome() + "/vorlix/vorlix.ini", "",
            "接続先のサイトは上に表示されたところです",
            "取得したファイルは" + sheet() + "に保存されます",
            "同名のファイルがある場合は無条件で上書きされますので、",
            "必要なファイルに付いては各自でバックアップをしてから実行して下さい", "",
            "インターネットに接続した後、\"ダウンロード\"のボタンをクリックして下さい",
            "クリックするとダウンロードが始まります", "" };
    }
    // A web folder with a header comment of two lines, a face and a picture.
    void fillSite()
    {
        site.addFile("list2",
            "#見本の帳票 2 件\r\n#上書きに注意\r\n" + SampleSite::listLine('0', "a.fae")
                + SampleSite::listLine('0', "pic.bmp"));
        site.addFile("a.fae", "h,100,200,500;");
        site.addFile("pic.bmp", QByteArray("BM\0\0", 4));
    }
    [[nodiscard]] QStringList runLines() const
    {
        return { "接続>" + site.folder(), "ファイルを取得しました>list2", "",
            "ダウンロードします>a.fae", "ファイルを取得しました>a.fae", "",
            "ダウンロードします>pic.bmp", "ファイルを取得しました>pic.bmp", "", "終了しました" };
    }

    TempEnvironment env;
    ScopedModuleState state;
    SampleSite site;
};

TEST_F(frmDrovikTest, OpensWithTheSettingsAndTheOpeningLines)
{
    state->SettingsFile->SetString("sheet", "www", "http://samples.example/sheets/");
    frmDrovik window;
    EXPECT_EQ(window.windowTitle(), "Drovik");
    auto* url = window.findChild<QLineEdit*>("Text1");
    auto* text = window.findChild<QPlainTextEdit*>("Text2");
    auto* button = window.findChild<QPushButton*>("Command1");
    ASSERT_TRUE(url && text && button);
    EXPECT_EQ(url->text(), "http://samples.example/sheets/");
    EXPECT_EQ(button->text(), "ダウンロード");
    ASSERT_TRUE(window.findChild<QLabel*>());
    EXPECT_EQ(window.findChild<QLabel*>()->text(), "URL:");
    // The sheet folder is the settings' default, created when missing and written back.
    EXPECT_EQ(window.sheetFolder(), sheet());
    EXPECT_TRUE(QDir(sheet()).exists());
    EXPECT_EQ(state->SettingsFile->Value("Default"), sheet());
    EXPECT_EQ(transcript(window), openingLines() << "");

    // Typing into the transcript changes nothing.
    window.show();
    text->setFocus();
    QTest::keyClicks(text, "typed");
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(transcript(window), openingLines() << "");
}

TEST_F(frmDrovikTest, DownloadAsksThenSavesAndMayRunAgain)
{
    fillSite();
    MessageRecorder messages(6);
    frmDrovik window;
    window.show();
    window.findChild<QLineEdit*>("Text1")->setText(site.folder(false));
    auto* button = window.findChild<QPushButton*>("Command1");
    // Each fetch runs in the modal progress window.
    QStringList progress;
    site.onRequest = [&](const QString&) {
        auto* web = qobject_cast<vorlix::shell::WebFile*>(QApplication::activeModalWidget());
        progress << (web ? web->findChild<QLabel*>()->text() : "no window")
                + (button->isEnabled() ? " enabled" : " disabled");
    };
    button->click();

    EXPECT_EQ(progress, QStringList(3, "ダウンロード中 disabled"));
    ASSERT_EQ(messages.prompts.size(), 1u);
    EXPECT_EQ(
        messages.prompts[0].text, "見本の帳票 2 件\r\n上書きに注意\r\nダウンロードしますか？");
    EXPECT_EQ(messages.prompts[0].style, 36);
    EXPECT_EQ(messages.prompts[0].caption, "Drovik");
    EXPECT_EQ(transcript(window), openingLines() + runLines() << "");
    EXPECT_EQ(readFileBytes(sheet() + "a.fae"), "h,100,200,500;\r\n");
    EXPECT_EQ(readFileBytes(sheet() + "pic.bmp"), QByteArray("BM\0\0", 4));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    const QString shots = qEnvironmentVariable("VORLIX_SCREENSHOTS");
    const QPixmap picture = window.grab();
    EXPECT_FALSE(picture.isNull());
    if (!shots.isEmpty()) {
        EXPECT_TRUE(picture.save(shots + "/drovik-window.png"));
    }

    // Again, with the caret moved to the top: the lines still go to the end.
    auto* text = window.findChild<QPlainTextEdit*>("Text2");
    text->moveCursor(QTextCursor::Start);
    QFile::remove(sheet() + "a.fae");
    button->click();
    EXPECT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(transcript(window), openingLines() + runLines() + runLines() << "");
    EXPECT_TRUE(QFile::exists(sheet() + "a.fae"));

    // Answering no ends the run after the list.
    MessageRecorder no(7);
    site.requested.clear();
    QFile::remove(sheet() + "a.fae");
    button->click();
    EXPECT_EQ(no.prompts.size(), 1u);
    EXPECT_EQ(site.requested, QStringList { "/samples/list2" });
    EXPECT_FALSE(QFile::exists(sheet() + "a.fae"));
    EXPECT_EQ(transcript(window).mid(30),
        runLines().mid(0, 3) << "終了しました"
                             << "");
}

}
