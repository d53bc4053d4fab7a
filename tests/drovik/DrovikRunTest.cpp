#include "shell/CodePage.h"
#include "tests/drovik/SampleSite.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

struct RunResult {
    int status = -1;
    QStringList log; // standard output, line by line
    QStringList err; // standard error, line by line
};

QStringList linesOf(const QByteArray& bytes, const char* end)
{
    QStringList lines = QString::fromUtf8(bytes).split(QString::fromLatin1(end));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Runs the built program in a temporary home. The sample site lives in this process, so the
// event loop keeps running while the program works.
class DrovikRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(program())) << program().toStdString(); }

    static QString program()
    {
        return qEnvironmentVariable("VORLIX_BINARY_DIR") + QStringLiteral("/drovik/drovik");
    }

    RunResult run(const QStringList& arguments, const QStringList& removed = {})
    {
        QProcess process;
        QProcessEnvironment e = env.processEnvironment();
        for (const QString& name : removed)
            e.remove(name);
        process.setProcessEnvironment(e);
        process.setWorkingDirectory(env.root());
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        process.start(program(), arguments);
        loop.exec();
        RunResult r;
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "drovik did not end";
        }
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.log = linesOf(process.readAllStandardOutput(), "\r\n");
        r.err = linesOf(process.readAllStandardError(), "\n");
        return r;
    }

    [[nodiscard]] QString sheet() const { return env.dataHome() + "/vorlix/sheet/Default/"; }
    [[nodiscard]] QString settingsFile() const { return env.configHome() + "/vorlix/vorlix.ini"; }
    [[nodiscard]] QStringList sheetFiles() const
    {
        return QDir(sheet()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    TempEnvironment env;
    SampleSite site;
};

TEST_F(DrovikRun, UnattendedRunFillsTheSheetFolder)
{
    site.addFile("list2",
        "#サンプル帳票\r\n#2 files\r\n" + SampleSite::listLine('0', "a.fae")
            + SampleSite::listLine('1', "b.fae") + SampleSite::listLine('0', "pic.png"));
    site.addFile("a.fae", "h,1,2,3;");
    site.addFile("pic.png", "\x89PNG\r\n");

    const RunResult r = run({ "-y", site.folder(false) });

    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
        (QStringList { "接続>" + site.folder(), "ファイルを取得しました>list2", "", "サンプル帳票",
            "2 files", "ダウンロードしますか？", "ダウンロードします>a.fae",
            "ファイルを取得しました>a.fae", "", "ダウンロードします>pic.png",
            "ファイルを取得しました>pic.png", "", "終了しました" }));
    EXPECT_EQ(sheetFiles(), (QStringList { "a.fae", "pic.png" }));
    EXPECT_EQ(readFileBytes(sheet() + "a.fae"), "h,1,2,3;\r\n");
    EXPECT_EQ(readFileBytes(sheet() + "pic.png"), "\x89PNG\r\n");
    // The same log as Vorlix's, from start to end.
    ASSERT_GE(r.log.size(), 4);
    EXPECT_EQ(r.log.mid(0, 3),
        (QStringList {
            "Vorlix/Main>!!START!!", "InitFAPI/Initialze>", "Vorlix/Main>DebugFlag=False" }));
    EXPECT_EQ(r.log.last(), "Vorlix/Main>!!END!!");
    EXPECT_TRUE(r.log.contains("WebFile/OnConnect:120>GET /samples/list2 HTTP/1.0"));
    // A new settings file names drovik; the address given is for this run only.
    const QStringList settings
        = linesOf(vorlix::shell::fromCp932(readFileBytes(settingsFile())).toUtf8(), "\r\n");
    ASSERT_GE(settings.size(), 2);
    EXPECT_EQ(settings.mid(0, 2), (QStringList { ";drovik により作製された", "[general]" }));
    EXPECT_TRUE(settings.filter(QString::number(site.port())).isEmpty())
        << settings.join('|').toStdString();
    EXPECT_TRUE(settings.contains("Default=" + sheet()));
    EXPECT_FALSE(settings.contains("[reg]"));
}

TEST_F(DrovikRun, WithoutAnAddressTheSettingsNameTheFolders)
{
    const QString elsewhere = env.root() + "/my sheets/";
    ASSERT_TRUE(writeFileBytes(settingsFile(),
        "[sheet]\r\nwww=" + site.folder().toUtf8() + "\r\nDefault=" + elsewhere.toUtf8() + "\r\n"));
    site.addFile("list2", SampleSite::listLine('0', "a.fae"));
    site.addFile("a.fae", "x");
    const RunResult r = run({ "-y" });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFileBytes(elsewhere + "a.fae"), "x\r\n");
    EXPECT_FALSE(QFileInfo::exists(sheet() + "a.fae"));
}

TEST_F(DrovikRun, RefusedFailedOrUnreachableGiveStatusOne)
{
    site.addFile("list2",
        SampleSite::listLine('0', "a.fae") + SampleSite::listLine('0', "../up.fae")
            + SampleSite::listLine('0', "missing.mnd") + SampleSite::listLine('0', "b.fae"));
    site.addFile("a.fae", "a");
    site.addFile("b.fae", "b");
    const RunResult r = run({ "-y", site.folder() });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(sheetFiles(), (QStringList { "a.fae", "b.fae" }));
    EXPECT_TRUE(r.err.contains("保存できません>../up.fae"));
    EXPECT_TRUE(r.err.contains("たぶんファイルが見つからなかったと思います>missing.mnd"));
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "/vorlix/sheet/up.fae"));
    EXPECT_EQ(r.err.last(), "終了しました");

    const QString closed = QString("http://127.0.0.1:%1/").arg(HttpTestServer::closedPort());
    const RunResult unreachable = run({ "-y", closed });
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_EQ(unreachable.err,
        (QStringList { "接続>" + closed, "サーバに接続できません>", "終了しました" }));
}

// Help, version and usage errors end before anything starts: no log, no settings file.
TEST_F(DrovikRun, HelpVersionAndUsageErrors)
{
    const RunResult help = run({ "--help" });
    EXPECT_EQ(help.status, 0);
    ASSERT_FALSE(help.log.empty());
    EXPECT_EQ(help.log.join('\n').split('\n').first(), "Usage: drovik [-y [URL]]");
    EXPECT_TRUE(help.err.isEmpty());

    const RunResult version = run({ "--version" });
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.log.join('\n').trimmed(),
        QStringLiteral("drovik " VORLIX_VERSION "\nQt ") + QString::fromLatin1(qVersion()));

    const QList<QStringList> wrong { { "-x" }, { "-y", "a", "b" } };
    for (const QStringList& arguments : wrong) {
        const RunResult r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments.join(' ').toStdString();
        ASSERT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.err.first().startsWith("drovik: ")) << r.err.first().toStdString();
        EXPECT_TRUE(r.log.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
}

TEST_F(DrovikRun, WindowWithoutADisplayIsAnError)
{
    const RunResult r = run({}, { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" });
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QStringList { "drovik: no display for the window; use -y" });
    EXPECT_TRUE(r.log.isEmpty());
}

}
