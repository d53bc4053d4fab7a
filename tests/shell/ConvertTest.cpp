#include "shell/Convert.h"
#include "shell/RunError.h"

#include <gtest/gtest.h>

using namespace vorlix::shell;

namespace {

TEST(ConvertTest, RoundsHalfToEven)
{
    const std::pair<double, double> cases[] = {
        { 0.5, 0.0 },
        { 1.5, 2.0 },
        { 2.5, 2.0 },
        { 3.5, 4.0 },
        { -0.5, -0.0 },
        { -1.5, -2.0 },
        { -2.5, -2.0 },
        { 2.4999, 2.0 },
        { 2.5001, 3.0 },
        { 984.25, 984.0 },
        { 1047.75, 1048.0 },
        { 920.75, 921.0 },
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(roundHalfEven(in), out) << in;
}

TEST(ConvertTest, IntegerConversionsThrowOverflowOutsideTheirRange)
{
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_EQ(toInt32(-2147483648.4), -2147483647 - 1);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    for (const double bad : { 2147483647.5, -2147483649.0, 1e300, std::nan("") }) {
        try {
            (void)toInt32(bad);
            ADD_FAILURE() << "no overflow for " << bad;
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
    EXPECT_THROW((void)toInt16(32767.5), RunError);
}

// Numbers as statement arguments and settings write them: decimals with an exponent (E or D),
// and &H hexadecimal and &O octal integers.
TEST(ConvertTest, NumericTestAcceptsTheStatementForms)
{
    const std::pair<const char*, double> numbers[] = {
        { "12", 12.0 },
        { "  -3.25 ", -3.25 },
        { "+7", 7.0 },
        { ".5", 0.5 },
        { "5.", 5.0 },
        { "1E3", 1000.0 },
        { "1d2", 100.0 },
        { "2.5e-1", 0.25 },
        { "&H10", 16.0 },
        { "&hFFFF", -1.0 },
        { "&H10000", 65536.0 },
        { "&O17", 15.0 },
        { "999999999", 999999999.0 },
        { "-0012", -12.0 },
        { "1234567890123", 1234567890123.0 },
        { "-2147483649", -2147483649.0 },
    };
    for (const auto& [text, expected] : numbers)
        EXPECT_EQ(parseNumber(QString::fromUtf8(text)), expected) << text;
    const char* notNumbers[] = { "", " ", "abc", "1,000", "1e", "--1", "&H", "&HG", ".", "-", "+" };
    for (const char* text : notNumbers)
        EXPECT_EQ(parseNumber(QString::fromUtf8(text)), std::nullopt) << text;
}

// The short way for plain integers takes only what it reads exactly; everything else is left to
// the general conversion (nothing here means "not plain", not "not a number").
TEST(ConvertTest, PlainIntegersAreReadExactlyOrLeftAlone)
{
    const std::pair<const char*, std::int32_t> plain[] = {
        { "0", 0 },
        { "-0", 0 },
        { "+12", 12 },
        { "-999999999", -999999999 },
        { "000000007", 7 },
    };
    for (const auto& [text, expected] : plain)
        EXPECT_EQ(parsePlainInteger(QString::fromUtf8(text)), expected) << text;
    const char* leftAlone[]
        = { "0000000007", "1000000000", " 12", "12 ", "1.0", "1E2", "&H10", "+", "-", "", "１２" };
    for (const char* text : leftAlone)
        EXPECT_EQ(parsePlainInteger(QString::fromUtf8(text)), std::nullopt) << text;
}

TEST(ConvertTest, StatementConversionsRaiseTypeMismatchAndOverflow)
{
    EXPECT_EQ(cLng("2.5"), 2);
    EXPECT_EQ(cInt(" 3.5 "), 4);
    EXPECT_DOUBLE_EQ(cDbl("1.25"), 1.25);
    const std::pair<const char*, int> failures[] = { { "x", 13 }, { "", 13 }, { "99999", 6 } };
    for (const auto& [text, number] : failures) {
        try {
            (void)cInt(QString::fromUtf8(text));
            ADD_FAILURE() << "no error for " << text;
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), number) << text;
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
    EXPECT_THROW((void)cLng("3000000000"), RunError);
    EXPECT_THROW((void)cDbl("1..2"), RunError);
}

TEST(ConvertTest, GeneralNumberText)
{
    const std::pair<double, const char*> cases[] = {
        { 0.5, "0.5" },
        { 10.0, "10" },
        { 1e16, "1E+16" },
        { 1e-5, "1E-05" },
        { 0.1 + 0.2, "0.3" },
        { -2.0, "-2" },
        { 0.0, "0" },
        { 123456789012345.0, "123456789012345" },
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(generalNumberText(value), QString::fromLatin1(text)) << value;
}

}
