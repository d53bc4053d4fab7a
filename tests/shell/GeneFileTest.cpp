#include "shell/GeneFile.h"
#include "shell/CodePage.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class GeneFileTest : public ::testing::Test {
protected:
    GeneFileTest() { QDir().mkpath(env.root() + "/files"); }
    ScopedModuleState state { RunModes::Print };
    QString file(const QString& name) const { return env.root() + "/files/" + name; }
    void put(const QString& name, const QByteArray& bytes) const
    {
        ASSERT_TRUE(writeFileBytes(file(name), bytes));
    }
    // Names of the folder's entries, to see that no temporary file is left behind.
    QStringList entries() const
    {
        return QDir(env.root() + "/files").entryList(QDir::Files | QDir::Hidden);
    }
    TempEnvironment env;
};

// Relative names start in the current folder ("/work" here); a drive letter is dropped.
TEST(GeneFileNameTest, LocalNamesGetAnAbsoluteFolder)
{
    const struct {
        const char* name;
        const char* path;
        const char* fileName;
    } cases[] = {
        { R"(C:\forms\a.fae)", "/forms/", "a.fae" },
        { "a.fae", "/work/", "a.fae" },
        { "C:a.fae", "/work/", "a.fae" },
        { R"("C:\forms\a.fae")", "/forms/", "a.fae" },
        { "/home/u/forms/a.fae", "/home/u/forms/", "a.fae" },
        { "  /a.fae\t", "/", "a.fae" },
        { "forms/sub/a.fae", "/work/forms/sub/", "a.fae" },
        { R"(forms\sub\a.fae)", "/work/forms/sub/", "a.fae" },
        { "../up/a.fae", "/up/", "a.fae" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = GeneFileName::split(QString::fromUtf8(c.name), "/work");
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->ServiceType, ServiceKind::Local);
        EXPECT_EQ(parts->DriveLetter, "");
        EXPECT_EQ(parts->Path, QString::fromUtf8(c.path));
        EXPECT_EQ(parts->FileName, QString::fromUtf8(c.fileName));
    }
}

// A network name keeps its server and an address on the web its host in DriveLetter.
TEST(GeneFileNameTest, NetworkAndWebNamesKeepTheirServer)
{
    const struct {
        const char* name;
        ServiceKind service;
        const char* server;
        const char* path;
    } cases[] = {
        { "//srv/share/dir/b.mnd", ServiceKind::Network, "//srv", "/share/dir/" },
        { "http://host/dir/a.fae", ServiceKind::Http, "host", "/dir/" },
        { "http://host/a.fae", ServiceKind::Http, "host", "/" },
        { R"(\\srv\share\a.fae)", ServiceKind::Network, "//srv", "/share/" },
        { "HTTP://host/a.fae", ServiceKind::Http, "host", "/" },
        { "http:/host/a.fae", ServiceKind::Http, "host", "/" },
        { "http://host:8080/x/a.fae", ServiceKind::Http, "host:8080", "/x/" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = GeneFileName::split(QString::fromUtf8(c.name), "/work");
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->ServiceType, c.service);
        EXPECT_EQ(parts->DriveLetter, QString::fromUtf8(c.server));
        EXPECT_EQ(parts->Path, QString::fromUtf8(c.path));
        EXPECT_EQ(parts->fullPath().right(5), QString::fromUtf8(c.name).right(5));
    }
}

// The extension is what follows the file name's last ".", upper-cased.
TEST(GeneFileNameTest, ExtensionsAreTakenAfterTheLastDot)
{
    const std::pair<const char*, const char*> cases[] = {
        { "/tmp/noext", "" },
        { "/tmp/name.", "" },
        { "/tmp/.hidden", "HIDDEN" },
        { "/tmp/a.tar.gz", "GZ" },
        { "/帳票/請求書.Fae", "FAE" },
        { "http://host/b.mnd", "MND" },
    };
    for (const auto& [name, extension] : cases) {
        const auto parts = GeneFileName::split(QString::fromUtf8(name), "/work");
        ASSERT_TRUE(parts.has_value()) << name;
        EXPECT_EQ(parts->Extension, QString::fromUtf8(extension)) << name;
        EXPECT_TRUE(QString::fromUtf8(name).endsWith(parts->FileName)) << name;
    }
}

TEST(GeneFileNameTest, RejectsNamesThatNameNothing)
{
    const QString invalid[] = {
        "",
        "   ",
        "\"",
        "\"\"",
        "\"   \"",
        R"(\\srv\a.fae)",
        R"(\\srv)",
        "///a.fae",
        R"(C:\a\\b.txt)",
        "/tmp//a.fae",
        "//srv//share/a.fae",
        "http://h/a//b",
        "http://host",
        "http:///a.fae",
        "http:/h/a.fae",
        "x..fae",
        QString("/tmp/a") + QChar(0) + ".fae",
    };
    for (const auto& name : invalid) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(GeneFileName::split(name, "/work").has_value());
    }
}

TEST_F(GeneFileTest, RelativeNamesStartInTheCurrentFolder)
{
    put("a.fae", "x");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(env.root() + "/files"));
    GeneFile f;
    const bool opened = f.FileOpen(1, "a.fae");
    QDir::setCurrent(saved);
    EXPECT_TRUE(opened);
    EXPECT_EQ(f.DriveLetter(), "");
    EXPECT_EQ(f.Path(), QDir(env.root()).canonicalPath() + "/files/");
}

TEST_F(GeneFileTest, InvalidNameIsLoggedAndShownOnlyWhenAsked)
{
    const QString name = "/tmp//a.fae";
    for (const bool opt2 : { true, false }) {
        MessageRecorder messages;
        LogCapture log;
        GeneFile f;
        f.setOpt2(opt2);
        EXPECT_FALSE(f.FileOpen(1, name));
        EXPECT_EQ(f.ServiceType(), 0);
        EXPECT_TRUE(log.lines().contains("GeneFile/SetFile>ファイル名が不正:" + name));
        if (opt2) {
            ASSERT_EQ(messages.prompts.size(), 1u);
            EXPECT_EQ(messages.prompts[0].text, "ファイル名が不正\r\n" + name);
            EXPECT_EQ(messages.prompts[0].style, 16);
        } else {
            EXPECT_TRUE(messages.prompts.empty());
        }
    }
}

TEST_F(GeneFileTest, ReadsTextInEitherEncodingAndBytesRaw)
{
    const QString text = "帳票 ①髙～\r\nline2";
    put("sjis.fae", toCp932(text));
    put("utf8.fae", text.toUtf8());
    struct {
        const char* name;
        TextEncoding encoding;
        QByteArray bytes;
    } cases[] = {
        { "sjis.fae", TextEncoding::Cp932, toCp932(text) },
        { "utf8.fae", TextEncoding::Utf8, text.toUtf8() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GeneFile f;
        ASSERT_TRUE(f.FileOpen(1, file(c.name)));
        EXPECT_NE(f.FileHandle(), 0);
        EXPECT_EQ(f.FileSize(), c.bytes.size());
        EXPECT_EQ(f.Read(), text);
        EXPECT_EQ(f.encoding(), c.encoding);
        // A second read still hands back the whole file.
        EXPECT_EQ(f.ReadB(), c.bytes);
        f.FileClose();
        EXPECT_EQ(f.FileHandle(), 0);
        EXPECT_EQ(f.FileSize(), 0);
        EXPECT_EQ(f.Read(), "");
    }
}

TEST_F(GeneFileTest, WhatIsNoReadableFileGivesNotFound)
{
    put("dir/inner.txt", "x");
    const QString names[] = { file("missing.fae"), file("dir"), file("dir/"), "/dev/zero" };
    for (const auto& name : names) {
        SCOPED_TRACE(name.toStdString());
        MessageRecorder messages;
        GeneFile f;
        f.setOpt2(true);
        EXPECT_FALSE(f.FileOpen(1, name));
        ASSERT_EQ(messages.prompts.size(), 1u);
        EXPECT_EQ(messages.prompts[0].text, "ファイルが見つかりません");
        EXPECT_EQ(messages.prompts[0].style, 48);
        EXPECT_EQ(messages.prompts[0].caption, applicationTitle() + "/GeneFile");
        EXPECT_EQ(f.Read(), "");
    }
    MessageRecorder quiet;
    GeneFile f;
    EXPECT_FALSE(f.FileOpen(1, file("missing.fae")));
    EXPECT_TRUE(quiet.prompts.empty());
}

TEST_F(GeneFileTest, UnreadableFileFailsWithTheLogLine)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: permission bits do not stop reading";
    put("secret.fae", "x");
    QFile::setPermissions(file("secret.fae"), QFileDevice::WriteOwner);
    LogCapture log;
    GeneFile f;
    EXPECT_FALSE(f.FileOpen(1, file("secret.fae")));
    EXPECT_TRUE(log.lines().filter("GeneFile/FileOpen>").size() == 1);
}

TEST_F(GeneFileTest, ReadErrorIsLoggedAndGivesNothing)
{
    // Reading a process's memory from offset 0 fails although the file opens.
    GeneFile f;
    ASSERT_TRUE(f.FileOpen(1, "/proc/self/mem"));
    QString text = "unchanged";
    QStringList logged;
    {
        LogCapture log;
        text = f.Read();
        logged = log.lines();
    }
    EXPECT_EQ(text, "");
    EXPECT_EQ(logged.filter("GeneFile/Read>").size(), 1) << logged.join("|").toStdString();
}

TEST_F(GeneFileTest, AbsurdlyLongNameReportsTheCheckError)
{
    const QString name = "/" + QString(100000, 'a') + ".fae";
    for (const int mode : { 1, 2 }) {
        MessageRecorder messages;
        GeneFile f;
        f.setOpt2(true);
        EXPECT_FALSE(f.FileOpen(mode, name));
        ASSERT_FALSE(messages.prompts.empty());
        EXPECT_EQ(messages.prompts[0].text, "ファイルの確認時にエラー\r\n" + name);
        EXPECT_EQ(messages.prompts[0].style, 16);
    }
}

TEST_F(GeneFileTest, NewTextFilesAreCp932UnlessACharacterDoesNotFit)
{
    struct {
        const char* name;
        QString text;
        TextEncoding written;
    } cases[] = {
        { "fits.fae", "帳票①～", TextEncoding::Cp932 },
        { "hangul.fae", "帳票 한글", TextEncoding::Utf8 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GeneFile f;
        ASSERT_TRUE(f.FileOpen(2, file(c.name)));
        f.FileWrite(c.text);
        f.PrintLn("end");
        f.FileClose();
        EXPECT_FALSE(f.writeFailed());
        EXPECT_EQ(f.encoding(), c.written);
        const QString expected = c.text + "\r\nend";
        const QByteArray bytes = readFileBytes(file(c.name));
        EXPECT_EQ(bytes, c.written == TextEncoding::Cp932 ? toCp932(expected) : expected.toUtf8());
    }
}

TEST_F(GeneFileTest, TextGoesBackInTheEncodingTheFileHas)
{
    put("utf8.fae", "古い\r\n");
    put("bom.fae",
        "\xEF\xBB\xBF"
        "old");
    put("sjis.fae", toCp932("古い"));
    struct {
        const char* name;
        QString text;
        QByteArray expected;
    } cases[] = {
        { "utf8.fae", "新しい", QString("新しい\r\n").toUtf8() },
        { "bom.fae", "new",
            "\xEF\xBB\xBF"
            "new\r\n" },
        { "sjis.fae", "新しい", toCp932("新しい\r\n") },
        { "sjis.fae", "한", QString("한\r\n").toUtf8() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GeneFile f;
        ASSERT_TRUE(f.FileOpen(2, file(c.name)));
        f.PrintRC(c.text);
        f.FileClose();
        EXPECT_EQ(readFileBytes(file(c.name)), c.expected);
    }
}

TEST_F(GeneFileTest, ByteWritesAreRawAndTextWritesNeedAWriteMode)
{
    const QByteArray bytes("\x00\x1A\x5C\xFF\r\n", 6);
    GeneFile f;
    ASSERT_TRUE(f.FileOpen(3, file("raw.bin")));
    f.FileWriteB(bytes);
    f.PrintLn("帳");
    f.FileWriteB(bytes);
    EXPECT_EQ(f.FileSize(), 14);
    f.FileClose();
    EXPECT_EQ(readFileBytes(file("raw.bin")), bytes + toCp932("帳") + bytes);

    // Raw bytes are refused by a text file rather than reinterpreted as text.
    ASSERT_TRUE(f.FileOpen(2, file("text.fae")));
    f.PrintLn("a");
    f.FileWriteB("\xFF");
    f.FileClose();
    EXPECT_EQ(readFileBytes(file("text.fae")), "a");
    QFile::remove(file("text.fae"));

    ASSERT_TRUE(f.FileOpen(1, file("raw.bin")));
    f.FileWrite("lost");
    f.FileWriteB("lost");
    f.FileClose();
    EXPECT_EQ(readFileBytes(file("raw.bin")).size(), 14);

    f.FileWrite("nothing open");
    EXPECT_EQ(entries(), QStringList { "raw.bin" });
    EXPECT_FALSE(f.FileOpen(0, file("raw.bin")));
    EXPECT_FALSE(f.FileOpen(4, file("raw.bin")));
    EXPECT_EQ(entries(), QStringList { "raw.bin" });
}

TEST_F(GeneFileTest, OverwriteQuestion)
{
    const QString question = "a.fae" + QString("は既に存在しています。\r\n上書きしますか？");
    struct {
        bool opt1;
        RunModes runMode;
        int answer;
        bool exists;
        bool asked;
        bool written;
    } cases[] = {
        { true, RunModes::Window, 7, true, true, false },
        { true, RunModes::Window, 6, true, true, true },
        { false, RunModes::Window, 7, true, false, true },
        { true, RunModes::Window, 7, false, false, true },
        { true, RunModes::Print, 7, true, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.opt1 << " " << static_cast<int>(c.runMode) << " " << c.answer);
        QFile::remove(file("a.fae"));
        if (c.exists)
            put("a.fae", "old");
        MessageRecorder messages(c.answer);
        moduleState().commandLine.RunMode = c.runMode;
        GeneFile f;
        f.setOpt1(c.opt1);
        EXPECT_EQ(f.FileOpen(2, file("a.fae")), c.written);
        f.FileWrite("new");
        f.FileClose();
        ASSERT_EQ(messages.prompts.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(messages.prompts[0].text, question);
            EXPECT_EQ(messages.prompts[0].style, 308);
        }
        EXPECT_EQ(readFileBytes(file("a.fae")), c.written ? "new\r\n" : "old");
    }
}

// Only closing completes a write: an object released with its write pending (a save left early,
// by a return or an exception) leaves the old file whole and nothing beside it.
TEST_F(GeneFileTest, WriteReplacesTheFileOnlyWhenClosed)
{
    enum class End { Closed, Released, Thrown };
    const struct {
        End end;
        QByteArray expected;
    } cases[] = {
        { End::Closed, "new\r\n" },
        { End::Released, "old" },
        { End::Thrown, "old" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.end));
        put("a.fae", "old");
        try {
            GeneFile f;
            ASSERT_TRUE(f.FileOpen(2, file("a.fae")));
            f.FileWrite("new");
            EXPECT_EQ(readFileBytes(file("a.fae")), "old");
            if (c.end == End::Thrown)
                throw std::runtime_error("the save failed half-way");
            if (c.end == End::Closed)
                f.FileClose();
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(readFileBytes(file("a.fae")), c.expected);
        EXPECT_EQ(entries(), QStringList { "a.fae" });
    }
}

TEST_F(GeneFileTest, FailedWriteLeavesTheOldFileWhole)
{
    put("a.fae", "old");
    // A file-size limit makes the disk refuse the new content part way through.
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* const savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    GeneFile f;
    bool opened = false;
    QStringList logged;
    {
        LogCapture log;
        opened = f.FileOpen(2, file("a.fae"));
        f.FileWrite(QString(1024 * 1024, 'x'));
        f.FileClose();
        logged = log.lines();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(f.writeFailed());
    EXPECT_EQ(logged.filter("GeneFile/FileClose>").size(), 1) << logged.join("|").toStdString();
    EXPECT_EQ(readFileBytes(file("a.fae")).size(), 3);
    EXPECT_EQ(entries(), QStringList { "a.fae" });
}

TEST_F(GeneFileTest, FolderOrMissingFolderCannotBeWritten)
{
    put("dir/inner.txt", "x");
    for (const QString& name : { file("dir"), file("nowhere/a.fae") }) {
        SCOPED_TRACE(name.toStdString());
        LogCapture log;
        GeneFile f;
        EXPECT_FALSE(f.FileOpen(2, name));
        EXPECT_EQ(log.lines().filter("GeneFile/FileOpen>").size(), 1);
    }
    EXPECT_TRUE(QFileInfo(file("dir")).isDir());
    EXPECT_FALSE(QFileInfo::exists(file("nowhere")));
}

TEST_F(GeneFileTest, NetworkNamesOpenThroughTheLocalFileSystem)
{
    put("share.fae", "shared");
    // "/tmp/x/files/share.fae" written as a network name: server "tmp", share "x".
    const QString local = QDir(file("share.fae")).absolutePath();
    ASSERT_TRUE(local.count('/') >= 3);
    for (const QString& name : { "/" + local, QString("/" + local).replace('/', '\\') }) {
        SCOPED_TRACE(name.toStdString());
        GeneFile f;
        ASSERT_TRUE(f.FileOpen(1, name));
        EXPECT_EQ(f.ServiceType(), 2);
        EXPECT_EQ(f.DriveLetter(), "/" + local.section('/', 0, 1));
        EXPECT_EQ(f.Read(), "shared");
    }
    GeneFile f;
    EXPECT_FALSE(f.FileOpen(1, "//vorlix-no-such-server/share/a.fae"));
}

TEST_F(GeneFileTest, WebPortComesFromTheSettingsFile)
{
    EXPECT_EQ(GeneFile().WebPort(), 80);
    InitFile& settings = state.startSettings();
    settings.setSection("sheet");
    EXPECT_EQ(GeneFile().WebPort(), 80);
    EXPECT_EQ(settings.Section(), "sheet");
    settings.SetString("server", "http", "8081");
    EXPECT_EQ(GeneFile().WebPort(), 8081);
    settings.SetString("server", "http", "many");
    EXPECT_EQ(GeneFile().WebPort(), 80);
}

TEST_F(GeneFileTest, LifeIsLogged)
{
    LogCapture log;
    {
        GeneFile f;
    }
    EXPECT_EQ(log.lines(), (QStringList { "GeneFile/Initialize>", "GeneFile/Terminate>" }));
}

}
