#include "shell/Log.h"
#include "shell/CodePage.h"
#include "shell/DeferredOutput.h"
#include "shell/DescriptorLogSink.h"
#include "shell/ModuleState.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MissingTool.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>

#include <clocale>
#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace vorlix::shell;
using vorlix::test::LogCapture;

namespace {

// Puts LC_CTYPE back after a test that changes it.
class CtypeLocale {
public:
    explicit CtypeLocale(const char* name)
        : m_saved(std::setlocale(LC_CTYPE, nullptr))
    {
        m_ok = std::setlocale(LC_CTYPE, name) != nullptr;
    }
    ~CtypeLocale() { std::setlocale(LC_CTYPE, m_saved.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok = false;
};

TEST(LogTest, EachCallWritesOneLineEndedByCrLf)
{
    CtypeLocale locale("C");
    LogCapture log;
    WriteLog("Vorlix/Main>!!START!!");
    WriteLog("");
    WriteLog("Source/SeScPath>SheetPath=受取人");
    EXPECT_EQ(log.bytes(),
        QByteArray("Vorlix/Main>!!START!!\r\n\r\nSource/SeScPath>SheetPath=")
            + "\xE5\x8F\x97\xE5\x8F\x96\xE4\xBA\xBA" + "\r\n");
}

// Builds a Shift_JIS locale into a temporary folder when the machine has none installed.
bool prepareShiftJisLocale(vorlix::test::TempEnvironment& env)
{
    if (CtypeLocale("ja_JP.SJIS").ok())
        return true;
    const QString folder = env.root() + "/locale";
    QDir().mkpath(folder + "/ja_JP.SJIS");
    QProcess localedef;
    localedef.start("localedef",
        { "--no-warnings=ascii", "-i", "ja_JP", "-f", "SHIFT_JIS", folder + "/ja_JP.SJIS" });
    if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0)
        return false;
    env.set("LOCPATH", folder.toLocal8Bit());
    return true;
}

TEST(LogTest, ShiftJisLocaleWritesTwoBytesPerDoubleByteCharacter)
{
    vorlix::test::TempEnvironment env;
    if (!prepareShiftJisLocale(env))
        VORLIX_SKIP_WITHOUT_TOOL("no Shift_JIS locale and no localedef to build one");
    CtypeLocale locale("ja_JP.SJIS");
    ASSERT_TRUE(locale.ok());
    LogCapture log;
    WriteLog("Vorlix/CommandLinePrint>ファイルが指定されていない");
    WriteLog("受取人①");
    EXPECT_EQ(log.bytes(),
        toCp932("Vorlix/CommandLinePrint>ファイルが指定されていない") + "\r\n"
            + QByteArray("\x8E\xF3\x8E\xE6\x90\x6C\x87\x40\r\n"));
}

// The log's own sink on a descriptor of a temporary file, read back whole.
class DescriptorLog {
public:
    DescriptorLog() { EXPECT_TRUE(m_file.open()); }
    int descriptor() const { return m_file.handle(); }
    QByteArray written()
    {
        QFile reader(m_file.fileName());
        return reader.open(QIODevice::ReadOnly) ? reader.readAll() : QByteArray();
    }

private:
    QTemporaryFile m_file;
};

TEST(LogTest, WithoutASinkTheLineGoesToTheStandardOutputHandle)
{
    vorlix::test::ScopedModuleState state;
    DescriptorLog out;
    WriteLog("before the handle");
    moduleState().StdOutHandle = out.descriptor();
    WriteLog("Vorlix/Main>!!START!!");
    EXPECT_EQ(out.written(), "Vorlix/Main>!!START!!\r\n");
}

// Lines held back on a worker come out in order on the standard output handle, those in a row in
// one piece, and each before the action that followed it: what an action writes itself comes
// after them, as it would have without holding back.
TEST(LogTest, ReplayedLinesComeOutInOrderAroundTheActions)
{
    vorlix::test::ScopedModuleState state;
    DescriptorLog out;
    moduleState().StdOutHandle = out.descriptor();
    DeferredOutput held;
    {
        const DeferredOutput::Scope scope(held);
        WriteLog("EMF/OpenEMF>hDC=1 10x10");
        WriteLog("EMF/DispEMF>PlayEMF=1");
        held.addAction([] { DescriptorLogSink(moduleState().StdOutHandle).write("page 1\r\n"); });
        WriteLog("EMF/DeleteEMF>hDC=1 Handle=2");
    }
    EXPECT_EQ(out.written(), QByteArray());
    held.replay();
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(out.written(),
        "EMF/OpenEMF>hDC=1 10x10\r\nEMF/DispEMF>PlayEMF=1\r\npage 1\r\n"
        "EMF/DeleteEMF>hDC=1 Handle=2\r\n");
    // A log sink still receives one line a call.
    LogCapture log;
    {
        const DeferredOutput::Scope scope(held);
        WriteLog("a");
        WriteLog("b");
    }
    held.replay();
    EXPECT_EQ(log.lines(), QStringList({ "a", "b" }));
}

TEST(LogTest, NothingIsWrittenWithoutAUsableHandle)
{
    DescriptorLog out;
    // 987 stands for a descriptor that is not open: the write fails and nobody notices.
    for (const int handle : { 0, 65537, -1, 987 })
        DescriptorLogSink(handle).write("must not appear\r\n");
    EXPECT_FALSE(DescriptorLogSink::usable(0));
    EXPECT_FALSE(DescriptorLogSink::usable(65537));
    DescriptorLogSink(out.descriptor()).write("only this\r\n");
    EXPECT_EQ(out.written(), "only this\r\n");
}

TEST(LogTest, LifeLogReportsBirthAndDeathWithItsTexts)
{
    LogCapture log;
    {
        LifeLog life("EMF");
        LifeLog copy(life);
        LifeLog custom("InitFAPI", "Initialze>", "Terminate>");
    }
    EXPECT_EQ(log.lines(),
        QStringList({ "EMF/Initialize>", "EMF/Initialize>", "InitFAPI/Initialze>",
            "InitFAPI/Terminate>", "EMF/Terminate>", "EMF/Terminate>" }));
}

// A reader that went away (vorlix -p x | head -0) must not kill the program through SIGPIPE.
TEST(LogTest, ABrokenPipeDoesNotEndTheProgram)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    DescriptorLogSink sink(fds[1]);
    sink.write("nobody reads this\r\n");
    sink.write("nor this\r\n");
    ::close(fds[1]);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "a SIGPIPE was left for later";
}

}
