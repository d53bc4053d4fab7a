#include "app/CommandLine.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::app;
using namespace vorlix::shell;
using vorlix::test::ScopedModuleState;

// Every test starts from the state of a process that has not parsed anything yet.
class CommandLineTest : public ::testing::Test {
protected:
    const CommandLineOptions& options() const { return state.options(); }
    ScopedModuleState state;
};

struct GrammarCase {
    const char* line;
    int mode;
    const char* input;
    const char* output;
    const char* sheet;
    const char* title;
    int copies;
};

TEST_F(CommandLineTest, GrammarTable)
{
    // Lines as the program prepares them: the arguments and exactly two blanks.
    const GrammarCase cases[] = {
        { "  ", 0, "", "", "", "", 0 },
        { "-p  ", 1, "", "", "", "", 0 },
        { "-P a.fae  ", 1, "a.fae", "", "", "", 0 },
        { "/p a.fae  ", 1, "a.fae", "", "", "", 0 },
        { "-pfoo.fae  ", 0, "-pfoo.fae", "", "", "", 0 },
        { "-v \"/home/me/my docs/a.mnd\"  ", 2, "/home/me/my docs/a.mnd", "", "", "", 0 },
        { "-m=out.txt -d=Default in.mnd  ", 3, "in.mnd", "out.txt", "Default", "", 0 },
        { "-e=out.pdf bill.mnd  ", 4, "bill.mnd", "out.pdf", "", "", 0 },
        { "-d= Default x.mnd  ", 0, "x.mnd", "", "Default", "", 0 },
        { "-t=\"two words\" x.mnd  ", 0, "x.mnd", "", "", "two words", 0 },
        { "x.mnd -n=2  ", 0, "x.mnd -n=2", "", "", "", 0 },
        { "-p my bill.fae  ", 1, "my bill.fae", "", "", "", 0 },
        { "-x=1 a.fae  ", 0, "-x=1 a.fae", "", "", "", 0 },
        { "/t=x a.fae  ", 0, "/t=x a.fae", "", "", "", 0 },
        { "-n=2.5 a.fae  ", 0, "a.fae", "", "", "", 2 },
        { "-n=3.5 a.fae  ", 0, "a.fae", "", "", "", 4 },
        { "-N=abc a.fae  ", 0, "a.fae", "", "", "", 0 },
        { "-t=\"\" a.fae  ", 0, "a.fae", "", "", "", 0 },
        { "-p \"請求書 2026.mnd\"  ", 1, "請求書 2026.mnd", "", "", "", 0 },
        { "-p \"unclosed name.fae  ", 1, "unclosed name.fae", "", "", "", 0 },
    };
    for (const auto& c : cases) {
        state.options() = {};
        ParseCommandLine(QString::fromUtf8(c.line));
        const auto& s = options();
        SCOPED_TRACE(c.line);
        EXPECT_EQ(static_cast<int>(s.RunMode), c.mode);
        EXPECT_EQ(s.InputFile, QString::fromUtf8(c.input));
        EXPECT_EQ(s.OutputFile, QString::fromUtf8(c.output));
        EXPECT_EQ(s.ArgSheetPath, QString::fromUtf8(c.sheet));
        EXPECT_EQ(s.ArgTitle, QString::fromUtf8(c.title));
        EXPECT_EQ(s.ArgCopies, c.copies);
    }
}

TEST_F(CommandLineTest, EverySwitchIsStoredAndLaterOnesWin)
{
    ParseCommandLine(QStringLiteral(
        "-p -d=Web -f=bill.fae -t=Title -r=First -r=Second -c=a4 -n=3 -o=2 -s=2,5 doc.mnd  "));
    const auto& s = options();
    EXPECT_EQ(s.RunMode, RunModes::Print);
    EXPECT_EQ(s.ArgSheetPath, u"Web");
    EXPECT_EQ(s.ArgFaceFile, u"bill.fae");
    EXPECT_EQ(s.ArgTitle, u"Title");
    EXPECT_EQ(s.ArgPrinter, u"Second");
    EXPECT_EQ(s.ArgPaper, u"a4");
    EXPECT_EQ(s.ArgCopies, 3);
    EXPECT_EQ(s.ArgOrient, 2);
    EXPECT_EQ(s.ArgPages, u"2,5");
    EXPECT_EQ(s.InputFile, u"doc.mnd");
}

TEST_F(CommandLineTest, ModeSwitchOnlyCountsAtTheStart)
{
    ParseCommandLine(QStringLiteral("-d=x -p a.fae  "));
    EXPECT_EQ(options().RunMode, RunModes::Window);
    EXPECT_EQ(options().InputFile, u"-p a.fae");
}

TEST_F(CommandLineTest, TheWholeLineIsRecordedInTheSettings)
{
    vorlix::test::TempEnvironment env;
    auto& settings = state.startSettings();
    ParseCommandLine(QStringLiteral("-p \"my bill.fae\"  "));
    EXPECT_EQ(settings.GetString("general", "Command", "-"), u"-p \"my bill.fae\"");
}

TEST_F(CommandLineTest, LogsModeSwitchesAndInput)
{
    vorlix::test::LogCapture log;
    ParseCommandLine(QStringLiteral("-m=out.txt -n=2 -d=Default in.mnd  "));
    const QStringList expected { QStringLiteral("Vorlix/Main>Mode=3"),
        QStringLiteral("  OutputFile=out.txt"), QStringLiteral("  -n=2"),
        QStringLiteral("  -d=Default"), QStringLiteral("  InputFile=in.mnd") };
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(CommandLineTest, ScannerPositions)
{
    const QString line = QStringLiteral("-d=  \"a b\" rest  ");
    EXPECT_EQ(SkipBlanks(line, 4), 6);
    int position = 4;
    EXPECT_EQ(NextArg(line, position), u"a b");
    EXPECT_EQ(position, 11);
    EXPECT_EQ(RestArg(line, position), u"rest");
    EXPECT_EQ(position, line.size() + 1);
    // A value without its closing delimiter takes the rest of the line.
    const QString open = QStringLiteral("\"abc");
    position = 1;
    EXPECT_EQ(NextArg(open, position), u"abc");
    EXPECT_EQ(position, open.size());
}

// Only blanks and tabs are taken from around a file name: any other white space is part of it.
TEST_F(CommandLineTest, FileNamesKeepTheirOwnWhiteSpace)
{
    const struct {
        const char* line;
        const char* input;
    } cases[] = {
        { "-p 請求書\xE3\x80\x80  ", "請求書\xE3\x80\x80" },
        { "-p \xC2\xA0x.mnd\t  ", "\xC2\xA0x.mnd" },
        { "-p \"\tx.mnd\n\"  ", "x.mnd\n" },
        { "-v a\x0B  ", "a\x0B" },
        { "\t x.mnd \t  ", "x.mnd" },
    };
    for (const auto& c : cases) {
        ParseCommandLine(QString::fromUtf8(c.line));
        EXPECT_EQ(moduleState().commandLine.InputFile, QString::fromUtf8(c.input)) << c.line;
    }
}

// Lines the fuzzer once found: an unquoted input file is the rest of the line, blanks aside.
TEST_F(CommandLineTest, FuzzFindingsTakeTheRestOfTheLineAsTheFile)
{
    const QDir dir(QStringLiteral("data/fuzz"));
    const QStringList files = dir.entryList({ QStringLiteral("commandline-*") }, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString line = QString::fromUtf8(file.readAll()) + QStringLiteral("  ");
        ParseCommandLine(line);
        const QString& input = moduleState().commandLine.InputFile;
        ASSERT_FALSE(input.isEmpty()) << name.toStdString();
        qsizetype end = line.size() - 1;
        while (end > 0 && (line[end - 1] == u' ' || line[end - 1] == u'\t'))
            --end;
        EXPECT_TRUE(line.left(end).endsWith(input)) << name.toStdString();
    }
}

TEST(PrepareCommandLine, QuotesArgumentsWithBlanksAndAppendsTwoBlanks)
{
    EXPECT_EQ(prepareCommandLine({}), u"  ");
    EXPECT_EQ(prepareCommandLine({ QStringLiteral("-p"), QStringLiteral("my bill.fae") }),
        u"-p \"my bill.fae\"  ");
    EXPECT_EQ(
        prepareCommandLine({ QStringLiteral("-t="), QStringLiteral("x.mnd") }), u"-t= x.mnd  ");
    EXPECT_EQ(prepareCommandLine({ QStringLiteral("") }), u"\"\"  ");
    EXPECT_EQ(prepareCommandLine({ QStringLiteral("-e=my bill.pdf"), QStringLiteral("a.mnd") }),
        u"-e=\"my bill.pdf\" a.mnd  ");
}

}
