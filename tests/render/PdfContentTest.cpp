#include "render/PdfContent.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using vorlix::render::PdfContent;

namespace {

struct NumberCase {
    double value;
    const char* text;
};

// Coordinates are written with at most three decimals and no trailing zeros; the same number
// must always give the same bytes, small or large, positive or negative.
TEST(PdfContent, NumbersKeepThreeDecimalsWithoutTrailingZeros)
{
    const NumberCase cases[] = {
        { 0.0, "0" },
        { -0.0, "0" },
        { 100.0, "100" },
        { 12.5, "12.5" },
        { -3.25, "-3.25" },
        { 0.05, "0.05" },
        { 0.001, "0.001" },
        { -0.007, "-0.007" },
        { 7.0402, "7.04" },
        { 0.0996, "0.1" },
        { 0.9996, "1" },
        { -0.0004, "0" },
        { 1234.5678, "1234.568" },
        { -1234.5674, "-1234.567" },
        { 841.88976, "841.89" },
        { 2000000000.25, "2000000000.25" },
        { -987654321.0625, "-987654321.063" },
        { std::numeric_limits<double>::quiet_NaN(), "0" },
        { std::numeric_limits<double>::infinity(), "0" },
    };
    for (const auto& c : cases) {
        PdfContent content;
        content << c.value;
        EXPECT_EQ(content.bytes().toByteArray(), QByteArray(c.text)) << c.value;
        EXPECT_EQ(PdfContent::number(c.value), QByteArray(c.text)) << c.value;
    }
}

TEST(PdfContent, ScaleFactorsKeepNineDecimals)
{
    PdfContent content;
    content.appendPrecise(0.123456789123);
    content << ' ';
    content.appendPrecise(-2.5);
    content << ' ' << 42 << ' ';
    content.appendGlyph(0x1F);
    EXPECT_EQ(content.bytes(), QByteArray("0.123456789 -2.5 42 001F"));
}

}
