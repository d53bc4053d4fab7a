#include "LangTestSupport.h"

#include <gtest/gtest.h>

using namespace vorlix::test;

namespace {

// The one text a statement draws, as the page dump writes it.
QString drawnText(const QString& statements)
{
    BoundInterpreter run;
    run.control.GoDoc(QStringLiteral("start;fs,1,\"ＭＳ 明朝\",9,0;fs,2,\"ＭＳ 明朝\",9,0,90;f,1;")
        + statements + QStringLiteral(";;out;"));
    EXPECT_FALSE(run.control.report.fError) << run.control.report.sErrMsg.toStdString();
    const QStringList texts = run.dumps().split(u'\n').filter(QStringLiteral("textOut "));
    return texts.size() == 1 ? texts.front() : texts.join(u'|');
}

// With fixed metrics a half-width character is 25 device units wide and a full-width one 50; face
// x 1000 is device x 1575 and face y 100 device y 157 at 400 dpi.
TEST(FormattedText, StandsOnItsPointAsItIsMeasured)
{
    const struct {
        const char* statement;
        const char* drawn;
    } cases[] = {
        { "s,1000,100,\"AB\"", "textOut 1575 157 \"AB\"" },
        { "sr,1000,100,\"AB\"", "textOut 1525 157 \"AB\"" },
        { "sc,1000,100,\"AB\"", "textOut 1550 157 \"AB\"" },
        { "sc,1000,100,\"A\"", "textOut 1563 157 \"A\"" },
        { "sr,1000,100,\"合計\",円", "textOut 1425 157 \"合計円\"" },
        { "sr,1000,100,1234", "textOut 1475 157 \"1234\"" },
        { "sf,1000,100,0,\"#,##0\",\"1234\"", "textOut 1575 157 \"1,234\"" },
        { "sf,1000,100,1,\"#,##0\",1234", "textOut 1513 157 \"1,234\"" },
        { "sf,1000,100,2,\"#,##0\",\"1234\"", "textOut 1450 157 \"1,234\"" },
        { "sf,1000,100,2,\"ggge年m月d日\",\"2026-12-09\"", "textOut 1225 157 \"令和8年12月9日\"" },
        // A turned font ends the text at the point along its own direction: upwards.
        { "f,2;sr,1000,100,\"AB\"", "textOut 1575 207 \"AB\"" },
        // An empty or missing value draws nothing.
        { "sf,1000,100,2,\"#,##0\",\"\"", "" },
        { "sf,1000,100,2,\"#,##0\",", "" },
        { "sf,1000,100,2,\"#,##0\"", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        EXPECT_EQ(drawnText(QString::fromUtf8(c.statement)).toStdString(), c.drawn);
    }
}

// A value or format that does not fit fails its statement like any other, with a message that
// names them; the statements after it are drawn.
TEST(FormattedText, FailsAStatementWhoseValueOrFormatDoesNotFit)
{
    const struct {
        const char* statement;
        int error;
        const char* message;
    } cases[] = {
        { "sf,0,0,2,\"#,##0\",\"abc\"", 13, "値 \"abc\" は数値ではありません（書式 \"#,##0\"）" },
        { "sf,0,0,2,\"yyyy/m/d\",\"2026-02-30\"", 13,
            "値 \"2026-02-30\" は日付ではありません（書式 \"yyyy/m/d\"）" },
        { "sf,0,0,2,\"0.0.0\",1", 5,
            "書式 \"0.0.0\" を読めません: 小数点「.」が 2 つあります（値 \"1\"）" },
        { "sf,0,0,3,\"0\",1", 5, "sf の揃えは 0（左）、1（中央）、2（右）のどれかです: 3" },
        { "sf,0,0,0", 5, "sf に書式がありません" },
        { "sf,0,0,0,\"0\",2026,-12", 5, "sf の値は 1 項目です（$\"名前\" で書きます）: 2026 -12" },
        { "sr,0,0,\"合計\",12", 5, "sr に幅はありません: 12" },
        { "sc,0,0,x,1", 5, "sc に幅はありません: 1" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        BoundInterpreter run;
        LogCapture log;
        run.control.GoDoc(QStringLiteral("start;") + QString::fromUtf8(c.statement)
            + QStringLiteral(";s,100,300,\"after\";;out;"));
        EXPECT_TRUE(run.control.report.fError);
        EXPECT_EQ(run.control.report.ErrNumber, c.error);
        EXPECT_EQ(run.control.report.sErrMsg.toStdString(), c.message);
        EXPECT_TRUE(run.dumps().contains(QStringLiteral("\"after\"")));
    }
}

}
