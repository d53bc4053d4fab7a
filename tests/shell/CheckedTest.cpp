#include "shell/Checked.h"
#include "shell/RunError.h"
#include "tests/support/RunErrorNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace vorlix::shell;
using vorlix::test::errorNumberOf;

namespace {

constexpr std::int32_t largest = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t smallest = std::numeric_limits<std::int32_t>::min();

TEST(Checked, SumsDifferencesAndProductsFitOrOverflow)
{
    struct Case {
        const char* name;
        std::function<std::int32_t()> compute;
        std::int32_t result;
        int error;
    };
    const Case cases[] = {
        { "add", [] { return checked::add(2, 3); }, 5, 0 },
        { "add to the top", [] { return checked::add(largest - 1, 1); }, largest, 0 },
        { "add past the top", [] { return checked::add(largest, 1); }, 0, 6 },
        { "add past the bottom", [] { return checked::add(smallest, -1); }, 0, 6 },
        { "sub to the bottom", [] { return checked::sub(smallest + 1, 1); }, smallest, 0 },
        { "sub past the bottom", [] { return checked::sub(smallest, 1); }, 0, 6 },
        { "sub past the top", [] { return checked::sub(0, smallest); }, 0, 6 },
        { "mul", [] { return checked::mul(-7, 6); }, -42, 0 },
        { "mul past the top", [] { return checked::mul(65536, 32768); }, 0, 6 },
        { "mul to the bottom", [] { return checked::mul(-65536, 32768); }, smallest, 0 },
        { "fit", [] { return checked::fit(std::int64_t { smallest }); }, smallest, 0 },
        { "fit too large", [] { return checked::fit(std::int64_t { largest } + 1); }, 0, 6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::int32_t result = 0;
        EXPECT_EQ(errorNumberOf([&] { result = c.compute(); }), c.error);
        EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(errorNumberOf([] { (void)checked::fit<std::int16_t>(32768); }), 6);
    EXPECT_EQ(checked::fit<std::int16_t>(-32768), -32768);
}

TEST(Checked, RoundsHalfToEvenWithinTheType)
{
    struct Case {
        double value;
        std::int32_t result;
        int error;
    };
    const Case cases[] = {
        { 2.5, 2, 0 },
        { 3.5, 4, 0 },
        { -1.5, -2, 0 },
        { -2.5, -2, 0 },
        { 0.49999, 0, 0 },
        { 2147483647.4, largest, 0 },
        { 2147483647.5, 0, 6 },
        { -2147483648.5, smallest, 0 },
        { -2147483649.0, 0, 6 },
        { 1e300, 0, 6 },
        { HUGE_VAL, 0, 6 },
        { std::nan(""), 0, 6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::int32_t result = 0;
        EXPECT_EQ(errorNumberOf([&] { result = checked::rnd(c.value); }), c.error);
        EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(checked::rnd<std::int16_t>(-32768.5), -32768);
    EXPECT_EQ(errorNumberOf([] { (void)checked::rnd<std::int16_t>(32767.5); }), 6);
}

TEST(Checked, DivisionByZeroIsAnErrorNeverAnInfinity)
{
    EXPECT_DOUBLE_EQ(checked::divide(7.0, 2.0), 3.5);
    EXPECT_DOUBLE_EQ(checked::divide(-0.0, 5.0), 0.0);
    EXPECT_EQ(errorNumberOf([] { (void)checked::divide(1.0, 0.0); }), 11);
    EXPECT_EQ(errorNumberOf([] { (void)checked::divide(-3.0, -0.0); }), 11);
    EXPECT_EQ(errorNumberOf([] { (void)checked::divide(0.0, 0.0); }), 6);
}

}
