#include "LangTestSupport.h"

#include "lang/CommandList.h"
#include "lang/DControl.h"
#include "shell/RunError.h"

#include "tests/support/PagedDocument.h"
#include "tests/support/ScopedModuleState.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <vector>

using vorlix::lang::DControl;
using vorlix::shell::RunError;
using namespace vorlix::test;

namespace {

const QString Undefined = QStringLiteral("DControl/GoDoc>未定義のコマンド又はラベル:");
const QString NotCommand = QStringLiteral("DControl/GoDoc>コマンド又はラベルでない:");
const QString OnErr = QStringLiteral("DControl/GoDoc/OnErr>");
const QString Cause = QStringLiteral("  エラー原因のコマンド:");

using vorlix::test::pagedDocument;

struct DocCase {
    const char* name;
    QString text;
    std::int32_t pages;
    std::int32_t headLength;
    QString docText;
    std::vector<std::int32_t> starts;
};

class SetDocReading : public ::testing::TestWithParam<DocCase> { };

TEST_P(SetDocReading, ReadsHeaderAndBody)
{
    const DocCase& c = GetParam();
    DControl control;
    control.SetDoc(c.text);
    EXPECT_EQ(control.Page(), c.pages);
    EXPECT_EQ(control.headLength(), c.headLength);
    EXPECT_EQ(control.docText(), c.docText);
    for (std::size_t i = 0; i < c.starts.size(); ++i)
        EXPECT_EQ(control.pageStart(static_cast<std::int32_t>(i)), c.starts[i]) << "index " << i;
}

INSTANTIATE_TEST_SUITE_P(DControl, SetDocReading,
    ::testing::Values(DocCase { "Empty", QString(), 1, 4, QStringLiteral("end;  "), { 0, 5, 6 } },
        DocCase { "PlainText", QStringLiteral("s,100,100,\"x\";"), 1, 14,
            QStringLiteral("s,100,100,\"x\";"), { 0, 15, 16 } },
        DocCase { "TwoPages", QStringLiteral("head,2,1,5,9;\r\nf,1;h;1;v;2;x"), 2, 4,
            QStringLiteral("f,1;h;1;v;2;x"), { 1, 5, 9, 13 } },
        // Only the first statement is the header; blanks and comments inside it are allowed.
        DocCase { "SpacedHeader", QStringLiteral("head , 1 , 1 , 3 ;#c\r\nab;c"), 1, 2,
            QStringLiteral("ab;c"), { 1, 3, 4 } },
        DocCase { "HeaderWithoutLineEnd", QStringLiteral("head,1,1,1;x;y"), 1, 0,
            QStringLiteral("x;y"), { 1, 1, 3 } }),
    [](const ::testing::TestParamInfo<DocCase>& param) { return std::string(param.param.name); });

TEST(DControl, SetDocRejectsMalformedHeaders)
{
    struct Bad {
        QString text;
        int error;
    };
    const std::vector<Bad> cases {
        { QStringLiteral("head;\r\nx"), RunError::TypeMismatch },
        { QStringLiteral("head,2,1,40;\r\nx"), RunError::TypeMismatch },
        { QStringLiteral("head,two,1;\r\nx"), RunError::TypeMismatch },
        { QStringLiteral("head,-1,1;\r\nx"), RunError::SubscriptOutOfRange },
        { QStringLiteral("head,1,1,99999999999;\r\nx"), RunError::Overflow },
    };
    for (const Bad& bad : cases) {
        DControl control;
        try {
            control.SetDoc(bad.text);
            ADD_FAILURE() << "accepted " << bad.text.toStdString();
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), bad.error) << bad.text.toStdString();
        }
    }
}

TEST(DControl, ManyPagesAreNotLimitedByTheOldTable)
{
    QStringList pages;
    for (int i = 0; i < 600; ++i)
        pages << QStringLiteral("p%1;").arg(i);
    DControl control;
    control.SetDoc(pagedDocument(QStringLiteral("f,1;"), pages));
    EXPECT_EQ(control.Page(), 600);
    EXPECT_EQ(control.pageStart(600), control.docText().size() - 5);
}

// Every page runs the head and its own text; the undefined words name which ran, in order.
TEST(DControl, PagePrintRunsTheChosenPages)
{
    const QString doc = pagedDocument(QStringLiteral("hd;"),
        { QStringLiteral("w1;"), QStringLiteral("w2;"), QStringLiteral("w3;"),
            QStringLiteral("w4;"), QStringLiteral("w5;") });
    struct Range {
        int from;
        int to;
        QStringList words;
    };
    const std::vector<Range> ranges {
        { 3, 2, { "hd", "w3" } },
        { 0, 99, { "hd", "w1", "hd", "w2", "hd", "w3", "hd", "w4", "hd", "w5" } },
        { 2, 3, { "hd", "w2", "hd", "w3" } },
        { 6, 1, { "hd", "w1" } },
    };
    for (const Range& range : ranges) {
        BoundInterpreter run;
        run.control.SetDoc(doc);
        LogCapture log;
        run.control.PagePrint(range.from, range.to);
        QStringList words;
        for (const QString& line : log.linesStartingWith(Undefined))
            words << line.mid(Undefined.size()).section(',', 0, 0);
        EXPECT_EQ(words, range.words) << range.from << ".." << range.to;
    }
}

// The lines the interpreter logs while it runs the text.
QStringList logOfRun(BoundInterpreter& run, const QString& text)
{
    LogCapture log;
    run.control.GoDoc(text);
    return log.lines();
}

TEST(DControl, UndefinedWordIsQuotedWithItsStatement)
{
    BoundInterpreter run;
    EXPECT_EQ(logOfRun(run, QStringLiteral("zz,1,2;nc;yy;")),
        QStringList({ Undefined + "zz,1,2,;", Undefined + "yy,;" }));
    EXPECT_TRUE(run.control.report.fWarning);
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_EQ(run.control.msgLineY(), 200);
}

TEST(DControl, StrayTokensAreReported)
{
    BoundInterpreter run;
    EXPECT_EQ(logOfRun(run, QStringLiteral("\"abc\",1;(;12")),
        QStringList({ NotCommand + "abc,1,;", NotCommand + "(,;", NotCommand + "12," }));
}

// "h,1,2;s,..." takes the ";" as the length and the s as the statement end, fails, and the rest
// of the swallowed statement comes back as one stray statement.
TEST(DControl, FailedStatementIsReportedWithItsCommandWord)
{
    BoundInterpreter run;
    EXPECT_EQ(logOfRun(run, QStringLiteral("h,1,2;s,3,4,\"a\";")),
        QStringList({ OnErr + "13:" + RunError::standardDescription(13), Cause + "h",
            NotCommand + "3,4,a,;" }));
    EXPECT_TRUE(run.control.report.fError);
    EXPECT_TRUE(run.control.report.fWarning);
    EXPECT_EQ(run.control.report.ErrNumber, 13);
    EXPECT_EQ(run.control.msgLineY(), 250);
}

// The first failed or stray statement of a page range is kept as written, for an editor to find.
TEST(DControl, FirstProblemStatementIsKeptAsWritten)
{
    struct Case {
        QStringList pages;
        QString statement;
    };
    const std::vector<Case> cases {
        { { QStringLiteral("h,1,2,3;"), QStringLiteral("v,1,\"x;y\",2;  zz, 5 ;") },
            QStringLiteral("v,1,\"x;y\",2") },
        { { QStringLiteral("zz,1;"), QStringLiteral("h,1,x,3;") }, QStringLiteral("zz,1") },
        { { QStringLiteral("# note\r\nh,1,x,3;") }, QStringLiteral("h,1,x,3") },
        { { QStringLiteral("h,1,2,3;") }, QString() },
    };
    for (const Case& c : cases) {
        BoundInterpreter run;
        run.control.SetDoc(pagedDocument(QStringLiteral("f,1;"), c.pages));
        LogCapture log;
        run.control.PagePrint(1, 9999);
        EXPECT_EQ(run.control.report.statement, c.statement) << c.pages.join('|').toStdString();
        // The next run starts a report of its own.
        run.control.GoDoc(QStringLiteral(";end;"));
        EXPECT_TRUE(run.control.report.statement.isEmpty());
    }
}

TEST(DControl, LongStatementsAreQuotedWithSixteenTokens)
{
    BoundInterpreter run;
    LogCapture log;
    QString statement = QStringLiteral("zz");
    for (int i = 1; i <= 30; ++i)
        statement += QStringLiteral(",%1").arg(i);
    run.control.GoDoc(statement + QStringLiteral(";"));
    const QStringList lines = log.linesStartingWith(Undefined);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], Undefined + "zz,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
}

TEST(DControl, QuotedTextIsCutAt240Characters)
{
    BoundInterpreter run;
    LogCapture log;
    const QString word = QString(300, QLatin1Char('w'));
    run.control.GoDoc(word + QStringLiteral(";"));
    const QStringList lines = log.linesStartingWith(Undefined);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], Undefined + QString(240, QLatin1Char('w')));
}

struct FailCase {
    const char* statement;
    int error;
};

class StatementFailures : public ::testing::TestWithParam<FailCase> { };

TEST_P(StatementFailures, FailWithTheStandardRunError)
{
    BoundInterpreter run;
    run.control.GoDoc(QString::fromUtf8(GetParam().statement));
    EXPECT_TRUE(run.control.report.fError) << GetParam().statement;
    EXPECT_EQ(run.control.report.ErrNumber, GetParam().error) << GetParam().statement;
}

INSTANTIATE_TEST_SUITE_P(DControl, StatementFailures,
    ::testing::Values(FailCase { "h,1,2,x;", 13 }, FailCase { "h,1,2,,;", 13 },
        FailCase { "h,1,2,3000000000;", 6 }, FailCase { "v,1E+999,2,3;", 6 },
        FailCase { "g,0,0,1E+39,0;", 6 }, FailCase { "d,1,2,3;", 13 },
        FailCase { "t,0,0,-1,1,0;", 9 }, FailCase { "img,0,0,\"logo.GIF\";", -2147221504 },
        FailCase { "img,0,0,\"no/such/file.png\";", 53 }, FailCase { "pl,1;", 13 },
        FailCase { "pl,1,2,2147483647,0;", 6 }));

TEST(DControl, GifRefusalKeepsItsMessage)
{
    BoundInterpreter run;
    run.control.GoDoc(QStringLiteral("img,0,0,\"a.gif\",300;"));
    EXPECT_EQ(run.control.report.ErrNumber, -2147221504);
    EXPECT_TRUE(run.control.report.sErrMsg.startsWith(
        QStringLiteral("\\n本プログラムはUnisys社のGIF-LZW圧縮に関する\\n")));
    EXPECT_TRUE(run.control.report.sErrMsg.endsWith(
        QStringLiteral("\\nなプログラムを引渡す事が可能です。")));
}

TEST(DControl, EveryCommandWordIsDispatched)
{
    for (const char* word : vorlix::lang::CommandWords) {
        BoundInterpreter run;
        LogCapture log;
        run.control.GoDoc(QString::fromLatin1(word) + QStringLiteral(";"));
        EXPECT_TRUE(log.linesStartingWith(Undefined).isEmpty()) << word;
    }
    // Words are matched exactly: other case, a longer or shorter spelling, full-width letters
    // and words longer than any command are not commands.
    for (const char* word : { "H", "hh", "ax", "agff", "ｈ", "abcdefghijk", "img1" }) {
        BoundInterpreter run;
        LogCapture log;
        run.control.GoDoc(QString::fromUtf8(word) + QStringLiteral(",1,2,3;"));
        EXPECT_TRUE(run.control.report.fWarning) << word;
        EXPECT_EQ(log.linesStartingWith(Undefined),
            QStringList({ Undefined + QString::fromUtf8(word) + ",1,2,3,;" }))
            << word;
    }
}

// Statements that read their arguments while an outer statement still holds its own (a text
// table reads its layout after its position) see their own values.
TEST(DControl, NestedArgumentReadingKeepsEachStatementsValues)
{
    BoundInterpreter nested;
    nested.control.GoDoc(QStringLiteral("start;t,100,200,2,1,40,300,\"A\",\"B\";out;end;"));
    BoundInterpreter separate;
    separate.control.GoDoc(QStringLiteral("start;s,100,200,\"A\";s,400,200,\"B\";out;end;"));
    EXPECT_FALSE(nested.control.report.fError);
    EXPECT_FALSE(nested.control.report.fWarning);
    EXPECT_EQ(nested.dumps(), separate.dumps());
}

// Plain integers take a shorter way than other numbers; both must round and overflow alike.
TEST(DControl, IntegerArgumentsConvertAlikeWhateverTheirSpelling)
{
    const auto dumpOf = [](const QString& statement) {
        BoundInterpreter run;
        run.control.GoDoc(QStringLiteral("start;") + statement + QStringLiteral("out;end;"));
        EXPECT_FALSE(run.control.report.fError) << statement.toStdString();
        return run.dumps();
    };
    const QString plain = dumpOf(QStringLiteral("h,100,200,12;"));
    for (const char* spelling : { "h,+100,200.0,12;", "h,100,0200,11.5;", "h,1E+2,200,12.49;",
             "h,0x64,200,000000012;", "h,100,200,0000000012;" })
        EXPECT_EQ(dumpOf(QString::fromLatin1(spelling)), plain) << spelling;
    EXPECT_EQ(dumpOf(QStringLiteral("h,100,200,-0;")), dumpOf(QStringLiteral("h,100,200,0;")));

    for (const char* overflow :
        { "h,2147483648,1,1;", "h,-2147483649,1,1;", "h,1,1,9999999999;" }) {
        BoundInterpreter run;
        run.control.GoDoc(QString::fromLatin1(overflow));
        EXPECT_TRUE(run.control.report.fError) << overflow;
        EXPECT_EQ(run.control.report.ErrNumber, 6) << overflow;
    }
}

// A run lets the window handle its pending events, so a long print does not freeze the program;
// a run of thousands of small pages does not spend its time on it.
TEST(DControl, RunHandlesPendingEventsThroughTheWindowsHook)
{
    ScopedModuleState state;
    int rounds = 0;
    state->ui.pendingEvents = [&] { ++rounds; };
    QElapsedTimer clock;
    clock.start();
    BoundInterpreter run;
    run.control.SetDoc(pagedDocument(QStringLiteral("o,0,0;"), { QStringLiteral("h,1,1,1;") }));
    run.control.PagePrint(1, 1);
    EXPECT_EQ(rounds, 1);
    for (int i = 0; i < 2000; ++i)
        run.control.GoDoc(QStringLiteral("h,1,1,1;"));
    EXPECT_LE(rounds, clock.elapsed() / 20 + 1) << "handled on every run";
}

TEST(DControl, EndStopsTheRun)
{
    BoundInterpreter run;
    LogCapture log;
    run.control.GoDoc(QStringLiteral("zz;end;yy;"));
    EXPECT_TRUE(run.control.fEndCmd);
    EXPECT_FALSE(run.control.fNextPage);
    EXPECT_EQ(run.control.msgLineY(), 100);
    EXPECT_EQ(log.linesStartingWith(Undefined), QStringList({ Undefined + "zz,;" }));
}

TEST(DControl, OutMarksTheNextPageAndResetsTheDiagnosticLine)
{
    BoundInterpreter run;
    run.control.GoDoc(QStringLiteral("start;zz;out;"));
    EXPECT_TRUE(run.control.fEndCmd);
    EXPECT_TRUE(run.control.fNextPage);
    EXPECT_EQ(run.control.msgLineY(), 100);
    // The merge's words draw nothing and read their whole statement.
    run.control.GoDoc(QStringLiteral("head,1;piece;tag,x;chbase,\"a\";rows,item,10,60;endrows;"
                                     "lastpage;endlastpage;notlastpage;endnotlastpage;"));
    EXPECT_FALSE(run.control.report.fWarning);
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_FALSE(run.control.fEndCmd);
}

}

namespace {

QStringList pageTexts(const BoundInterpreter& run)
{
    QStringList texts;
    for (const auto& page : run.sink.pages()) {
        for (const auto& call : page.calls()) {
            if (call.op == vorlix::render::PageRecord::Op::TextOut)
                texts << page.text(call.index);
        }
    }
    return texts;
}

TEST(DControlPages, ShortDocumentRendersTheNotDocumentPage)
{
    BoundInterpreter run;
    run.control.SetDoc(QString());
    run.control.PagePrint(1, 1);
    ASSERT_EQ(run.sink.pages().size(), 1u);
    EXPECT_EQ(pageTexts(run), QStringList({ "DControl/PagePrint>not document" }));
    EXPECT_TRUE(run.sink.events().endsWith(QStringLiteral("endDoc")));
}

TEST(DControlPages, PlainTextIsOnePageRunAsTheHead)
{
    BoundInterpreter run;
    run.control.SetDoc(QStringLiteral("s,100,100,\"x\";s,100,200,\"y\";"));
    run.control.PagePrint(1, 1);
    ASSERT_EQ(run.sink.pages().size(), 1u);
    EXPECT_EQ(pageTexts(run), QStringList({ "x", "y" }));
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_FALSE(run.control.report.fWarning);
}

// Settings made by statements persist from page to page, which is why every page repeats the
// common head; the diagnostic line starts again at the top of every page.
TEST(DControlPages, EveryPageStartsItsDiagnosticsAtTheTop)
{
    BoundInterpreter run;
    run.control.SetDoc(pagedDocument(QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;"),
        { QStringLiteral("zz;yy;"), QStringLiteral("ww;") }));
    run.control.PagePrint(1, 2);
    ASSERT_EQ(run.sink.pages().size(), 2u);
    std::vector<std::int32_t> rows;
    for (const auto& page : run.sink.pages()) {
        for (const auto& call : page.calls()) {
            if (call.op == vorlix::render::PageRecord::Op::TextOut)
                rows.push_back(call.v[1]);
        }
    }
    // 100 and 150 face units at 400 dpi on A4 (3307 device units for 2100 face units).
    EXPECT_EQ(rows, (std::vector<std::int32_t> { 157, 236, 157 }));
}

// The caller of PagePrint reads the flags afterwards: a failure on any page of the range must
// still be reported there, not only one in the closing "end".
TEST(DControlPages, FailureOnAnEarlierPageStaysReported)
{
    BoundInterpreter run;
    run.control.SetDoc(pagedDocument(
        QString(), { QStringLiteral("h,1,x,1;"), QStringLiteral("s,100,100,\"ok\";") }));
    run.control.PagePrint(1, 2);
    ASSERT_EQ(run.sink.pages().size(), 2u);
    EXPECT_TRUE(run.control.report.fError);
    EXPECT_EQ(run.control.report.ErrNumber, 13);
    run.control.PagePrint(2, 2);
    EXPECT_FALSE(run.control.report.fError);
    EXPECT_FALSE(run.control.report.fWarning);
    run.control.SetDoc(pagedDocument(
        QString(), { QStringLiteral("s,1,1,\"a\";"), QStringLiteral("undefinedword;") }));
    run.control.PagePrint(1, 2);
    EXPECT_TRUE(run.control.report.fWarning);
    EXPECT_FALSE(run.control.report.fError);
}

// A statement that fails inside a bold group must not leave the bold variant selected: every
// later text is drawn in the slot's own font again (the diagnostics in a font of their own).
TEST(DControlPages, FailureInsideAMarkedUpGroupRestoresTheFont)
{
    BoundInterpreter run;
    run.control.GoDoc(QStringLiteral("start;fs,1,\"ＭＳ 明朝\",9,0;f,1;"
                                     "x,1363687831,100,\"!{bbbb}\";s,100,300,\"plain2\";;out;"));
    EXPECT_TRUE(run.control.report.fError);
    EXPECT_EQ(run.control.report.ErrNumber, 6);
    ASSERT_EQ(run.sink.pages().size(), 1u);
    const QStringList lines = run.sink.pages().front().dump().split(u'\n');
    QString normal;
    QString fontBefore;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("selectFont ")) && normal.isEmpty())
            normal = line;
        if (line.startsWith(QStringLiteral("selectFont ")))
            fontBefore = line;
        if (line.startsWith(QStringLiteral("textOut "))
            && line.contains(QStringLiteral("plain2"))) {
            EXPECT_EQ(fontBefore.toStdString(), normal.toStdString()) << line.toStdString();
        }
    }
    EXPECT_TRUE(normal.contains(QStringLiteral(" weight=400 "))) << normal.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("\"plain2\"")).size(), 1);
}

// Messages run down the page 50 units apart; those that would fall below it are only logged.
TEST(DControlPages, MessagesBelowThePageAreOnlyLogged)
{
    BoundInterpreter run;
    QString text = QStringLiteral("start;");
    for (int i = 0; i < 70; ++i)
        text += QStringLiteral("zz;");
    const QStringList logged = logOfRun(run, text + QStringLiteral(";;out;"));
    EXPECT_EQ(logged.filter(Undefined).size(), 70);
    ASSERT_EQ(run.sink.pages().size(), 1u);
    const QStringList drawn = run.sink.pages().front().dump().split(u'\n').filter(Undefined);
    // From 100 in steps of 50: the cell of the one at 2900 ends on the page, at 2950 it would not.
    ASSERT_EQ(drawn.size(), 57);
    EXPECT_TRUE(drawn.last().startsWith(QStringLiteral("textOut 157 4567 ")))
        << drawn.last().toStdString();
}

TEST(DControlHostile, BadInputNeverStopsTheRun)
{
    QString manyTokens = QStringLiteral("zz");
    for (int i = 0; i < 100000; ++i)
        manyTokens += QStringLiteral(",1");
    const std::vector<QString> inputs {
        manyTokens + QStringLiteral(";"),
        QStringLiteral("s,100,100,\"never closed"),
        QStringLiteral("h,1,2,3") + QChar(0) + QStringLiteral("v,1,2,3;"),
        QStringLiteral("s,100,100,\"") + QChar(0xFFFD) + QStringLiteral("\";\xFFFD;"),
        QStringLiteral("fs,99,\"x\",9,0;f,99;p,99;ps,99,1,0,0;f,15;"),
        QStringLiteral("t,0,0,2147483647,1,1;t,0,0,0,1,1,\"a\";"),
        QStringLiteral("o,0,0,7;r,0,0,2147483647;cbx,-2147483647,0,-10,0;c,0,0,-1,-1;"),
        QStringLiteral("x,0,0,\"}^{_{!{|{#\\\";s,0,0,\"a\",-5;"),
        QStringLiteral("img,0,0,\"data/broken.png\";img,0,0,\"\";img,0,0;"),
        QStringLiteral("end"),
        QString(),
    };
    for (const QString& input : inputs) {
        BoundInterpreter run;
        run.control.GoDoc(QStringLiteral("start;") + input + QStringLiteral(";;out;"));
        run.control.GoDoc(QStringLiteral(";end;"));
        EXPECT_EQ(run.sink.pages().size(), 1u) << input.left(40).toStdString();
    }
}

}
