#include "lang/ValueFormat.h"

#include <gtest/gtest.h>

using vorlix::lang::ValueFormat;

namespace {

struct WriteCase {
    const char* code;
    const char* value;
    const char* text;
};

// The value written in a format that must be readable.
ValueFormat::Written written(const WriteCase& c)
{
    const auto parsed = ValueFormat::parse(QString::fromUtf8(c.code));
    EXPECT_TRUE(parsed.format) << parsed.error.toStdString();
    if (!parsed.format)
        return { {}, parsed.error };
    return parsed.format->write(QString::fromUtf8(c.value));
}

// What a spreadsheet shows for the value in the format (apart from the departures the manual
// lists: no "-0", exact digits).
TEST(ValueFormat, WritesNumbersAsSpreadsheetsDo)
{
    const WriteCase cases[] = {
        { "#,##0", "1234.5", "1,235" },
        { "#,##0", "2.5", "3" },
        { "#,##0", "-2.5", "-3" },
        { "0.00", "1.005", "1.01" },
        { "0.00", "-0.004", "0.00" },
        { "#,##0", "1,234,567", "1,234,567" },
        { "#,##0", "１２３４", "1,234" },
        { "#,##0.0", "＋１，２３４．５６", "1,234.6" },
        { "¥#,##0-", "888030", "¥888,030-" },
        { "#,##0円", "-1234", "-1,234円" },
        { "(#,##0)", "1234", "(1,234)" },
        { "#,##0;△#,##0;-", "1234", "1,234" },
        { "#,##0;△#,##0;-", "-1234", "△1,234" },
        { "#,##0;△#,##0;-", "0", "-" },
        { "#,##0;△#,##0;-", "-0.4", "0" },
        { "0;-0;", "0", "" },
        { "000-0000", "0600001", "060-0001" },
        { "0000", "12", "0012" },
        { "#.##", "5", "5." },
        { "0.0#", "1.50", "1.5" },
        { "0.0#", "1.25", "1.25" },
        { "??0", "5", "  5" },
        { "0.0%", "0.125", "12.5%" },
        { "#,##0,\"千円\"", "1234567", "1,235千円" },
        { "\"No.\"0", "12", "No.12" },
        { "\\-0\\-", "7", "-7-" },
        { "0_)", "7", "7 " },
        { "[$¥-411]#,##0", "1500", "¥1,500" },
        { "[Red]#,##0;[赤]-#,##0", "-5", "-5" },
        { "General", "0012.50", "12.5" },
        { "G/標準\"個\"", "-3", "-3個" },
        { "General", "12345678901234567890", "12345678901234567890" },
        { "[DBNum1]General", "1234", "千二百三十四" },
        { "[DBNum1]G/標準", "12345", "一万二千三百四十五" },
        { "[DBNum1]General", "100010000", "一億一万" },
        { "[DBNum1]General", "12.5", "十二.五" },
        { "[DBNum1]General", "0", "〇" },
        { "[DBNum2]General", "1234", "壱阡弐百参拾四" },
        { "[DBNum2]General", "10000", "壱萬" },
        { "[DBNum3]General", "1234", "千２百３十４" },
        { "[DBNum1]#,##0", "1234", "一,二三四" },
        { "[DBNum2]0", "1050", "壱〇伍〇" },
        { "[DBNum3]#,##0\"円\"", "1234", "１,２３４円" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " / " + c.value);
        const auto result = written(c);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(result.text.toStdString(), c.text);
    }
}

TEST(ValueFormat, WritesDatesWithWeekdaysAndEras)
{
    const WriteCase cases[] = {
        { "ggge年m月d日", "2026-12-09", "令和8年12月9日" },
        { "yyyy/mm/dd(aaa)", "2026-12-09", "2026/12/09(水)" },
        { "yy.m.d aaaa", "2026/12/9", "26.12.9 水曜日" },
        { "ddd, mmm d, yyyy", "20261209", "Wed, Dec 9, 2026" },
        { "dddd mmmm mmmmm", "2026-12-09T10:30", "Wednesday December D" },
        { "g ee gg", "２０２６－１２－０９", "R 08 令" },
        { "ggge年m月d日", "1989-01-07", "昭和64年1月7日" },
        { "ggge年m月d日", "1989-01-08", "平成1年1月8日" },
        { "[$-ja-JP-x-gannen]ggge年m月d日", "1989-01-08", "平成元年1月8日" },
        { "ggge年m月d日", "2019-04-30", "平成31年4月30日" },
        { "[$-ja-JP-x-gannen]ggge年", "2019-05-01", "令和元年" },
        { "gggee", "2019-05-01", "令和01" },
        { "ggge", "1926-12-24", "大正15" },
        { "[$-ja-JP-x-gannen]ggge", "1926-12-25", "昭和元" },
        { "ggge", "1912-07-29", "明治45" },
        { "ggge", "1912-07-30", "大正1" },
        { "ggge", "1873-01-01", "明治6" },
        { "[DBNum1]ggge年m月d日", "2026-12-09", "令和八年十二月九日" },
        { "[DBNum1]yyyy年", "2026-01-01", "二〇二六年" },
        { "yyyy/m/d", "0800-02-29", "0800/2/29" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " / " + c.value);
        const auto parsed = ValueFormat::parse(QString::fromUtf8(c.code));
        EXPECT_TRUE(parsed.format && parsed.format->isDate());
        const auto result = written(c);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(result.text.toStdString(), c.text);
    }
}

// An empty value writes nothing, whatever the format; a value that does not fit is refused with
// a message that names it and the format.
TEST(ValueFormat, RefusesValuesThatDoNotFit)
{
    const WriteCase cases[] = {
        { "#,##0", "", "" },
        { "yyyy/mm/dd", " 　", "" },
        { "#,##0", "abc", "値 \"abc\" は数値ではありません（書式 \"#,##0\"）" },
        { "#,##0", "12,34", "値 \"12,34\" は数値ではありません（書式 \"#,##0\"）" },
        { "#,##0", "1,2345", "値 \"1,2345\" は数値ではありません（書式 \"#,##0\"）" },
        { "General", "2026-12-09", "値 \"2026-12-09\" は数値ではありません（書式 \"General\"）" },
        { "yyyy/mm/dd", "2026-02-30",
            "値 \"2026-02-30\" は日付ではありません（書式 \"yyyy/mm/dd\"）" },
        { "yyyy/mm/dd", "2026-12/09",
            "値 \"2026-12/09\" は日付ではありません（書式 \"yyyy/mm/dd\"）" },
        { "yyyy/mm/dd", "46000", "値 \"46000\" は日付ではありません（書式 \"yyyy/mm/dd\"）" },
        { "ggge", "1872-12-31",
            "値 \"1872-12-31\" は 1873 年より前なので和暦で書けません（書式 \"ggge\"）" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " / " + c.value);
        const auto result = written(c);
        EXPECT_TRUE(result.text.isEmpty());
        EXPECT_EQ(result.error.toStdString(), c.text);
    }
}

TEST(ValueFormat, RefusesCodesItCannotRead)
{
    const struct {
        const char* code;
        const char* reason;
    } cases[] = {
        { "", "書式が空です" },
        { "0.0.0", "小数点「.」が 2 つあります" },
        { "0;0;0;@", "区分「;」は 3 つまでです" },
        { "@", "文字列の区分「@」には対応していません" },
        { "0.00E+00", "指数の書式（E+）には対応していません" },
        { "# ?/?", "分数の書式には対応していません" },
        { "hh:mm", "時刻の書式には対応していません" },
        { "yyyy/mm/dd AM/PM", "時刻の書式には対応していません" },
        { "0\"個", "引用符「\"」が閉じていません" },
        { "0\\", "「\\」の後に文字がありません" },
        { "[Red#,##0", "「[」が閉じていません" },
        { "[>=100]0", "条件つきの区分 [>=100] には対応していません" },
        { "[DBNum4]General", "[DBNum4] は [DBNum1] から [DBNum3] のどれでもありません" },
        { "[Sepia]0", "[Sepia] は読めない指定です" },
        { "yyyy 0", "日付の記号と数値の記号が混ざっています" },
        { "yyyy;0", "日付の書式に区分「;」は使えません" },
        { "General 0", "General と桁の記号（0 # ?）は一緒に使えません" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto parsed = ValueFormat::parse(QString::fromUtf8(c.code));
        EXPECT_FALSE(parsed.format);
        EXPECT_EQ(parsed.error.toStdString(),
            "書式 \"" + std::string(c.code) + "\" を読めません: " + c.reason);
    }
}

}
