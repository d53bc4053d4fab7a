#include "drovik/Downloader.h"
#include "drovik/Fetchers.h"
#include "shell/CodePage.h"
#include "shell/WebFetcher.h"
#include "tests/drovik/SampleSite.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlix::drovik;
using namespace vorlix::test;

namespace {

class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() { installFetchers(FetchWindow::None); }
    ~DownloaderTest() override { vorlix::shell::setWebFetcherFactory({}); }

    // One run of the download button against a web folder, answering the question.
    DownloadResult run(const QString& webFolder, bool answer = true)
    {
        Downloader downloader([this](const QString& line) { transcript << line; },
            [this, answer](const QString& prompt) {
                prompts << prompt;
                return answer;
            });
        return downloader.run(webFolder, sheet());
    }

    [[nodiscard]] QString sheet() const { return root.path() + "/sheet/Default/"; }
    [[nodiscard]] QByteArray saved(const QString& name) const
    {
        return readFileBytes(sheet() + name);
    }
    [[nodiscard]] QStringList sheetFiles() const
    {
        return QDir(sheet()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Every file under the temporary root, relative to it.
    [[nodiscard]] QStringList allFiles() const
    {
        QStringList files;
        QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(root.path()).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    ScopedModuleState state;
    QTemporaryDir root;
    SampleSite site;
    QStringList transcript;
    QStringList prompts;
};

TEST_F(DownloaderTest, TextIsSavedWithCrLfAddedAndBytesAsTheyCame)
{
    const QByteArray face
        = vorlix::shell::toCp932("fs,1,\"ＭＳ 明朝\",9,0;\r\ns,100,100,\"帳票\";");
    const QByteArray data = "\xEF\xBB\xBF<TZQ_002>\r\n<face>a.fae</face>\r\n</TZQ_002>";
    const QByteArray bitmap = QByteArray("BM\x00\x01\r\n\x1a\xff", 8) + QByteArray(300, '\0');
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, '\x7f');
    site.addFile("list2",
        "#Vorlix のサンプル帳票\r\n#2004年5月版\r\n" + SampleSite::listLine('0', "a.fae")
            + SampleSite::listLine('0', "b.mnd") + SampleSite::listLine('1', "old.fae")
            + SampleSite::listLine('0', "notes.txt") + SampleSite::listLine('0', "README")
            + SampleSite::listLine('0', "pic.bmp") + SampleSite::listLine('0', "Logo.PNG"));
    site.addFile("a.fae", face);
    site.addFile("b.mnd", data);
    site.addFile("notes.txt", "no line end");
    site.addFile("README", "");
    site.addFile("pic.bmp", bitmap);
    site.addFile("Logo.PNG", png);

    const DownloadResult result = run(site.folder());

    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.saved, 6);
    EXPECT_EQ(
        prompts, QStringList { "Vorlix のサンプル帳票\r\n2004年5月版\r\nダウンロードしますか？" });
    // Text keeps its bytes and encoding, CP932 or UTF-8 with its mark, and gains a CR LF.
    EXPECT_EQ(saved("a.fae"), face + "\r\n");
    EXPECT_EQ(saved("b.mnd"), data + "\r\n");
    EXPECT_EQ(saved("notes.txt"), "no line end\r\n");
    EXPECT_EQ(saved("README"), "\r\n");
    EXPECT_EQ(saved("pic.bmp"), bitmap);
    EXPECT_EQ(saved("Logo.PNG"), png);
    EXPECT_EQ(sheetFiles(),
        (QStringList { "Logo.PNG", "README", "a.fae", "b.mnd", "notes.txt", "pic.bmp" }));
    // The line beginning with "1" is never fetched.
    EXPECT_EQ(site.requested,
        (QStringList { "/samples/list2", "/samples/a.fae", "/samples/b.mnd", "/samples/notes.txt",
            "/samples/README", "/samples/pic.bmp", "/samples/Logo.PNG" }));
    QStringList expected { "接続>" + site.folder(), "ファイルを取得しました>list2", "" };
    for (const char* name : { "a.fae", "b.mnd", "notes.txt", "README", "pic.bmp", "Logo.PNG" })
        expected << QString("ダウンロードします>") + name
                 << QString("ファイルを取得しました>") + name << "";
    expected << "終了しました";
    EXPECT_EQ(transcript, expected);
}

TEST_F(DownloaderTest, AnsweringNoDownloadsNothing)
{
    site.addFile("list2", SampleSite::listLine('0', "a.fae"));
    site.addFile("a.fae", "x");
    const DownloadResult result = run(site.folder(), false);
    EXPECT_EQ(prompts, QStringList { "ダウンロードしますか？" });
    EXPECT_TRUE(result.listFetched);
    EXPECT_FALSE(result.confirmed);
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(site.requested, QStringList { "/samples/list2" });
    EXPECT_EQ(transcript,
        (QStringList {
            "接続>" + site.folder(), "ファイルを取得しました>list2", "", "終了しました" }));
    EXPECT_TRUE(sheetFiles().isEmpty());
}

// A missing file is told by the server's status or, as older servers do, by an HTML page in place
// of the file; either way it is not saved and an older file of its name stays as it was.
TEST_F(DownloaderTest, NotFoundAnswersAreSkipped)
{
    QByteArray list;
    for (const char* name :
        { "gone.fae", "page.fae", "upper.mnd", "empty404.txt", "pic.png", "late.png", "error.csv" })
        list += SampleSite::listLine('0', name);
    site.addFile("list2", list);
    site.addRawReply("gone.fae", SampleSite::notFoundResponse());
    site.addFile("page.fae", "<html><head><title>404</title></head></html>");
    site.addFile("upper.mnd", "<TZQ_002>\r\n<HtMl>\r\n");
    site.addRawReply("empty404.txt", "HTTP/1.0 404 Not Found\r\n\r\n");
    site.addFile("pic.png", "\x89PNG <HTML> in the first bytes");
    site.addFile("late.png", QByteArray(256, 'x') + "<HTML>");
    site.addRawReply("error.csv", "HTTP/1.1 500 Internal Server Error\r\n\r\n");
    ASSERT_TRUE(writeFileBytes(sheet() + "gone.fae", "old face"));

    const DownloadResult result = run(site.folder());

    EXPECT_EQ(result.saved, 1);
    EXPECT_EQ(result.failed, 6);
    EXPECT_FALSE(result.complete());
    // Only the first 256 bytes of a byte file are looked at.
    EXPECT_EQ(sheetFiles(), (QStringList { "gone.fae", "late.png" }));
    EXPECT_EQ(saved("gone.fae"), "old face");
    for (const char* name :
        { "gone.fae", "page.fae", "upper.mnd", "empty404.txt", "pic.png", "error.csv" })
        EXPECT_TRUE(
            transcript.contains(QString("たぶんファイルが見つからなかったと思います>") + name))
            << name;
    EXPECT_FALSE(transcript.contains("サーバに接続できません>"));
}

TEST_F(DownloaderTest, UnsafeNamesAreRefusedAndNothingLeavesTheSheetFolder)
{
    const QList<QByteArray> unsafe { "../x.fae", "/tmp/abs.fae", "a/b.fae", "..\\win.fae", "..",
        QByteArray("nul\0.fae", 8), "esc\x1b[2J.fae", "" };
    QByteArray list = SampleSite::listLine('0', "first.fae");
    for (const QByteArray& name : unsafe)
        list += SampleSite::listLine('0', name);
    list += SampleSite::listLine('0', "last.fae");
    site.addFile("list2", list);
    // Whatever the server would hand out under those names.
    for (const char* name : { "first.fae", "last.fae", "../x.fae", "a/b.fae", "x.fae", "b.fae" })
        site.addFile(name, "sheet");

    const DownloadResult result = run(site.folder());

    EXPECT_EQ(result.refused, unsafe.size());
    EXPECT_EQ(result.saved, 2);
    EXPECT_EQ(result.failed, 0);
    EXPECT_FALSE(result.complete());
    // Refused names are not even asked for.
    EXPECT_EQ(site.requested,
        (QStringList { "/samples/list2", "/samples/first.fae", "/samples/last.fae" }));
    EXPECT_EQ(allFiles(), (QStringList { "sheet/Default/first.fae", "sheet/Default/last.fae" }));
    EXPECT_FALSE(QFile::exists("/tmp/abs.fae"));
    // Each refusal is told with the name as listed, control characters made visible.
    const QStringList refusals = transcript.filter("保存できません>");
    ASSERT_EQ(refusals.size(), unsafe.size());
    EXPECT_EQ(refusals[0], "保存できません>../x.fae");
    EXPECT_EQ(refusals[5], "保存できません>nul\\x00.fae");
    EXPECT_EQ(refusals[6], "保存できません>esc\\x1b[2J.fae");
    EXPECT_EQ(refusals[7], "保存できません>");
    const qsizetype at = transcript.indexOf("ダウンロードします>../x.fae");
    ASSERT_GE(at, 0);
    EXPECT_EQ(transcript.mid(at, 3),
        (QStringList { "ダウンロードします>../x.fae", "保存できません>../x.fae", "" }));
}

TEST_F(DownloaderTest, UnreachableServerOrMissingListEndsTheRun)
{
    const QString closed
        = QString("http://127.0.0.1:%1/samples/").arg(HttpTestServer::closedPort());
    const DownloadResult unreachable = run(closed);
    EXPECT_FALSE(unreachable.listFetched);
    EXPECT_EQ(
        transcript, (QStringList { "接続>" + closed, "サーバに接続できません>", "終了しました" }));
    EXPECT_TRUE(prompts.isEmpty());

    transcript.clear();
    const DownloadResult missing = run(site.folder());
    EXPECT_FALSE(missing.listFetched);
    EXPECT_EQ(transcript,
        (QStringList { "接続>" + site.folder(), "たぶんファイルが見つからなかったと思います>list2",
            "終了しました" }));
    EXPECT_TRUE(prompts.isEmpty());
}

TEST_F(DownloaderTest, FolderTypedWithoutItsSlashGetsOne)
{
    site.addFile("list2", SampleSite::listLine('0', "a.fae"));
    site.addFile("a.fae", "x");
    const DownloadResult result = run("  " + site.folder(false) + " ");
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(transcript.first(), "接続>" + site.folder());
    EXPECT_EQ(site.requested, (QStringList { "/samples/list2", "/samples/a.fae" }));

    EXPECT_EQ(Downloader::webFolderOf("http://h/dir"), "http://h/dir/");
    EXPECT_EQ(Downloader::webFolderOf("http://h/dir/"), "http://h/dir/");
    EXPECT_EQ(Downloader::webFolderOf("\\\\srv\\samples\\"), "\\\\srv\\samples\\");
    EXPECT_EQ(Downloader::sheetFolderOf("C:\\sheet\\Default"), "C:/sheet/Default/");
    EXPECT_EQ(Downloader::sheetFolderOf("/s/"), "/s/");
}

// Files of the same name are replaced, each only once its whole content is there.
TEST_F(DownloaderTest, ExistingFilesAreReplacedWhole)
{
    site.addFile("list2",
        SampleSite::listLine('0', "a.fae") + SampleSite::listLine('0', "cut.bmp")
            + SampleSite::listLine('0', "folder.fae"));
    site.addFile("a.fae", "new");
    site.addRawReply("cut.bmp", "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\nshort");
    ASSERT_TRUE(writeFileBytes(sheet() + "a.fae", "old face, longer than the new one"));
    ASSERT_TRUE(writeFileBytes(sheet() + "cut.bmp", "old bitmap"));
    ASSERT_TRUE(QDir().mkpath(sheet() + "folder.fae"));
    site.addFile("folder.fae", "x");

    const DownloadResult result = run(site.folder());

    EXPECT_EQ(saved("a.fae"), "new\r\n");
    EXPECT_EQ(saved("cut.bmp"), "old bitmap");
    EXPECT_EQ(result.saved, 1);
    EXPECT_EQ(result.failed, 2);
    // A name the sheet folder holds as a folder cannot be written.
    EXPECT_TRUE(transcript.contains("保存できません>folder.fae"));
    EXPECT_TRUE(QFileInfo(sheet() + "folder.fae").isDir());
    // No temporary file stays behind.
    EXPECT_EQ(QDir(sheet()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList { "a.fae", "cut.bmp" }));
}

// A transfer whose end is unknown or whose body is framed is no file: the copy from an earlier
// run stays, and the transcript says why.
TEST_F(DownloaderTest, BrokenTransfersKeepTheEarlierCopy)
{
    const struct {
        const char* name;
        std::function<void(QTcpSocket&)> reply;
        const char* told;
    } cases[] = {
        { "reset.fae", HttpTestServer::sendAndReset("HTTP/1.0 200 OK\r\n\r\ns,1,1,\"cut"),
            "受信中に接続が切れました:" },
        { "chunked.fae",
            HttpTestServer::sendAndClose(
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nnew!\r\n0\r\n\r\n"),
            "Transfer-Encoding: chunked の応答は受け取れません" },
        { "short.png",
            HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\nContent-Length: 99\r\n\r\nnew"),
            "途中で切断されました:3/99" },
    };
    QByteArray list;
    for (const auto& c : cases) {
        list += SampleSite::listLine('0', c.name);
        site.addReply(c.name, c.reply);
        ASSERT_TRUE(writeFileBytes(sheet() + c.name, "good old copy"));
    }
    site.addFile("list2", list);

    const DownloadResult result = run(site.folder());

    EXPECT_EQ(result.failed, 3);
    EXPECT_FALSE(result.complete());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(saved(c.name), "good old copy");
        const QString told = QString("取得できません>") + c.name + "：" + c.told;
        EXPECT_FALSE(
            transcript.filter(QRegularExpression("^" + QRegularExpression::escape(told))).isEmpty())
            << transcript.join("|").toStdString();
    }
    EXPECT_EQ(sheetFiles().size(), 3);
}

// Whatever a name of the sheet folder is, a download writes nothing through it: a link is
// replaced by the file (its target, inside or outside the folder, stays as it was, a missing one
// is not made), a folder is left alone, a private file stays private.
TEST_F(DownloaderTest, LinksInTheSheetFolderAreReplacedNotFollowed)
{
    const QString outside = root.path() + "/elsewhere/";
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QDir().mkpath(sheet()));
    ASSERT_TRUE(writeFileBytes(outside + "target.fae", "outside"));
    ASSERT_TRUE(writeFileBytes(sheet() + "inside.fae", "inside"));
    ASSERT_TRUE(writeFileBytes(sheet() + "private.mnd", "secret"));
    ASSERT_EQ(::chmod(QFile::encodeName(sheet() + "private.mnd").constData(), 0600), 0);
    const struct {
        const char* name;
        const char* linkTo; // nullptr: what the sheet folder holds is no link
        bool saved;
    } cases[] = {
        { "out.fae", "../../elsewhere/target.fae", true },
        { "abs.fae", nullptr, true }, // made a link to the absolute target below
        { "dangling.fae", "../../elsewhere/made.fae", true },
        { "alias.fae", "inside.fae", true },
        { "private.mnd", nullptr, true },
        { "folder.fae", nullptr, false },
    };
    QByteArray list;
    for (const auto& c : cases) {
        list += SampleSite::listLine('0', c.name);
        site.addFile(c.name, QByteArray("new ") + c.name);
        if (c.linkTo) {
            ASSERT_TRUE(QFile::link(c.linkTo, sheet() + c.name));
        }
    }
    ASSERT_TRUE(QFile::link(outside + "target.fae", sheet() + "abs.fae"));
    ASSERT_TRUE(QDir().mkpath(sheet() + "folder.fae/inner"));
    site.addFile("list2", list);

    const DownloadResult result = run(site.folder());

    EXPECT_EQ(result.saved, 5);
    EXPECT_EQ(result.failed, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QFileInfo info(sheet() + c.name);
        EXPECT_EQ(info.isSymLink(), false);
        if (c.saved) {
            EXPECT_EQ(saved(c.name), QByteArray("new ") + c.name + "\r\n");
        }
    }
    EXPECT_EQ(readFileBytes(outside + "target.fae"), "outside");
    EXPECT_EQ(readFileBytes(sheet() + "inside.fae"), "inside");
    EXPECT_FALSE(QFileInfo::exists(outside + "made.fae"));
    EXPECT_TRUE(QFileInfo(sheet() + "folder.fae/inner").isDir());
    EXPECT_EQ(QFile::permissions(sheet() + "private.mnd"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
            | QFileDevice::WriteUser);
    EXPECT_EQ(QDir(sheet()).entryList({ ".drovik*" }, QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(DownloaderTest, HugeListsAreBounded)
{
    // A list beyond the receive limit is cut off instead of filling the memory.
    installFetchers(FetchWindow::None, 64 * 1024);
    site.addFile("list2", QByteArray(200 * 1024, '1'));
    const DownloadResult cut = run(site.folder());
    EXPECT_FALSE(cut.listFetched);
    EXPECT_EQ(transcript,
        (QStringList { "接続>" + site.folder(),
            "取得できません>list2：受信サイズが上限（64 KB）を超えました（Content-Length: 204800）",
            "終了しました" }));

    // Thousands of lines are read in one pass; refused names cost no fetch.
    installFetchers(FetchWindow::None);
    QByteArray list;
    for (int i = 0; i < 4000; ++i)
        list += SampleSite::listLine(i % 2 ? '1' : '0', "../" + QByteArray::number(i) + ".fae");
    site.addFile("list2", list);
    transcript.clear();
    const DownloadResult many = run(site.folder());
    EXPECT_EQ(many.refused, 2000);
    EXPECT_EQ(transcript.size(), 3 + 3 * 2000 + 1);
    EXPECT_EQ(site.requested, (QStringList { "/samples/list2", "/samples/list2" }));
}

}
