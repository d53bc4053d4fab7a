#include "lang/AxisTable.h"
#include "tests/support/RunErrorNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using vorlix::lang::AxisKind;
using vorlix::lang::AxisTable;
using vorlix::test::errorNumberOf;

namespace {

struct PageCase {
    const char* name;
    std::int32_t type;
    double a;
    double b;
    double value;
    std::int32_t page;
};

class AxisToPage : public ::testing::TestWithParam<PageCase> { };

TEST_P(AxisToPage, LandsOnTheExpectedFaceUnit)
{
    const PageCase& c = GetParam();
    AxisTable axes;
    axes.SetAxis(3, c.type, c.a, c.b);
    EXPECT_EQ(axes.ToPage(3, c.value), c.page);
}

INSTANTIATE_TEST_SUITE_P(Axes, AxisToPage,
    ::testing::Values(
        // 50 data units per 100 face units, 0 at the page position 0.
        PageCase { "linear", 0, 0, 50, 100, 200 },
        // The value a lands on 0: 10 per 100 face units starting at 20.
        PageCase { "linearShifted", 0, 20, 10, 25, 50 },
        PageCase { "linearBelowStart", 0, 20, 10, 15, -50 },
        PageCase { "reversedLinear", 2, 0, 50, 100, -200 },
        // One decade per 300 face units starting at 1.
        PageCase { "logDecade", 1, 1, 300, 10, 300 },
        PageCase { "logTwoDecades", 1, 1, 300, 100, 600 },
        PageCase { "logBelowOne", 1, 1, 300, 0.5, -90 },
        PageCase { "logStartsAtA", 1, 10, 300, 10, 0 },
        PageCase { "logNonPositiveIsZero", 1, 10, 300, -4, 0 },
        PageCase { "logZeroIsZero", 1, 10, 300, 0, 0 },
        PageCase { "reversedLog", 3, 10, 300, 10, -600 },
        // Square-root axis: 100 face units per square root of b.
        PageCase { "squareRoot", 4, 0, 4, 9, 150 },
        // Half a face unit goes to the even neighbour.
        PageCase { "halfToEvenDown", 0, 0, 100, 2.5, 2 },
        PageCase { "halfToEvenUp", 0, 0, 100, 3.5, 4 },
        PageCase { "halfToEvenNegative", 0, 0, 100, -1.5, -2 }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(AxisTable, StartsWithNineLinearUnitAxesAndAxisOneSelected)
{
    AxisTable axes;
    EXPECT_EQ(axes.xAxis(), 1);
    EXPECT_EQ(axes.yAxis(), 1);
    for (int n = 0; n < AxisTable::AxisCount; ++n) {
        EXPECT_EQ(axes.ToPage(n, 123.4), 123) << n;
        EXPECT_EQ(axes.ToLength(n, -7.5), -8) << n;
    }
}

TEST(AxisTable, ReversedLogAxisTakesItsOffsetFromThePositiveDecade)
{
    AxisTable axes;
    axes.SetAxis(0, 3, 10, 300);
    EXPECT_EQ(axes.axis(0).kind, AxisKind::Logarithmic);
    EXPECT_DOUBLE_EQ(axes.axis(0).scale, -300);
    EXPECT_EQ(axes.axis(0).offset, -300);
    EXPECT_EQ(axes.ToPage(0, 100), -900);
}

TEST(AxisTable, UnknownTypesLeaveTheAxisAlone)
{
    AxisTable axes;
    axes.SetAxis(1, 0, 0, 50);
    axes.SetAxis(1, 7, 0, 1);
    axes.SetAxis(1, -1, 0, 1);
    EXPECT_EQ(axes.ToPage(1, 10), 20);
    // An axis number is not even checked when the type is ignored.
    EXPECT_EQ(errorNumberOf([&] { axes.SetAxis(9, 5, 0, 1); }), 0);
}

TEST(AxisTable, ErrorsAreTheRuntimesNumbers)
{
    AxisTable axes;
    axes.SetAxis(2, 4, 0, 4);
    axes.SetAxis(5, 1, 1, 300);
    struct Case {
        const char* what;
        std::function<void()> action;
        int error;
    };
    const Case cases[] = {
        { "axis 9 does not exist", [&] { axes.SetAxis(9, 0, 0, 1); }, 9 },
        { "negative axis", [&] { axes.SetAxis(-1, 0, 0, 1); }, 9 },
        { "conversion on axis 9", [&] { (void)axes.ToPage(9, 1); }, 9 },
        { "zero span on a linear axis", [&] { axes.SetAxis(1, 0, 0, 0); }, 11 },
        { "zero span on a reversed axis", [&] { axes.SetAxis(1, 2, 5, 0); }, 11 },
        { "zero span on a square-root axis", [&] { axes.SetAxis(1, 4, 0, 0); }, 11 },
        { "negative span on a square-root axis", [&] { axes.SetAxis(1, 4, 0, -4); }, 5 },
        { "log axis starting at 0", [&] { axes.SetAxis(1, 1, 0, 300); }, 5 },
        { "negative value on a square-root axis", [&] { (void)axes.ToPage(2, -1); }, 5 },
        { "log length of 0", [&] { (void)axes.ToLength(5, 0); }, 5 },
        { "position beyond 32 bits", [&] { (void)axes.ToPage(1, 3e9); }, 6 },
        { "not a number", [&] { (void)axes.ToPage(1, std::nan("")); }, 6 },
        { "infinity", [&] { (void)axes.ToLength(1, HUGE_VAL); }, 6 },
        { "offset beyond 32 bits", [&] { axes.SetAxis(1, 0, 1e12, 1); }, 6 },
        { "inverse beyond a double", [&] { (void)axes.FromPage(5, 1e9); }, 6 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorNumberOf(c.action), c.error) << c.what;
}

TEST(AxisTable, FailedDefinitionLeavesTheAxisAsItWas)
{
    AxisTable axes;
    axes.SetAxis(1, 0, 0, 50);
    EXPECT_EQ(errorNumberOf([&] { axes.SetAxis(1, 0, 1e12, 1); }), 6);
    EXPECT_EQ(axes.ToPage(1, 10), 20);
}

TEST(AxisTable, ConversionsRoundTrip)
{
    AxisTable axes;
    axes.SetAxis(0, 0, 20, 10);
    axes.SetAxis(1, 1, 1, 300);
    axes.SetAxis(2, 4, 0, 4);
    axes.SetAxis(3, 2, 0, 50);
    EXPECT_DOUBLE_EQ(axes.FromPage(0, 50), 25);
    EXPECT_EQ(axes.FromPage(1, 600), 100);
    EXPECT_NEAR(axes.FromPage(1, -300), 0.1, 1e-15);
    EXPECT_DOUBLE_EQ(axes.FromPage(2, 150), 9);
    EXPECT_DOUBLE_EQ(axes.FromPage(3, -100), 50);
    EXPECT_DOUBLE_EQ(axes.FromLength(0, 50), 5);
    EXPECT_EQ(axes.FromLength(1, 300), 10);
    EXPECT_DOUBLE_EQ(axes.FromLength(2, 50), 1);
    EXPECT_EQ(axes.ToLength(0, 5), 50);
    EXPECT_EQ(axes.ToLength(1, 10), 300);
    EXPECT_EQ(axes.ToLength(2, 4), 100);
}

TEST(AxisTable, LogarithmUsesTheFixedFactor)
{
    // The product form can differ from std::log10 in the last bit; positions must follow it.
    EXPECT_EQ(AxisTable::log10(1000), std::log(1000.0) * 0.43429448190325104);
    EXPECT_EQ(errorNumberOf([] { (void)AxisTable::log10(-1); }), 5);
}

TEST(AxisTable, SelectionIsCheckedOnlyWhenUsed)
{
    AxisTable axes;
    axes.SelectAxes(0, 12);
    EXPECT_EQ(axes.xAxis(), 0);
    EXPECT_EQ(axes.yAxis(), 12);
    EXPECT_EQ(axes.xPage(5), 5);
    EXPECT_EQ(errorNumberOf([&] { (void)axes.yPage(5); }), 9);
}

}
