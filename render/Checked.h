#pragma once

#include "shell/Convert.h"
#include "shell/RunError.h"

#include <cmath>
#include <cstdint>
#include <limits>

// The surface's integer arithmetic: 32-bit signed, and an overflow error when a result does not
// fit, as every sum, difference and product of the original drawing code.
namespace vorlix::render::checked {

[[nodiscard]] inline std::int32_t fit(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min()
        || value > std::numeric_limits<std::int32_t>::max())
        throw shell::RunError::overflow();
    return static_cast<std::int32_t>(value);
}

[[nodiscard]] inline std::int32_t add(std::int64_t a, std::int64_t b)
{
    return fit(a + b);
}
[[nodiscard]] inline std::int32_t sub(std::int64_t a, std::int64_t b)
{
    return fit(a - b);
}
[[nodiscard]] inline std::int32_t mul(std::int64_t a, std::int64_t b)
{
    return fit(a * b);
}

// rnd(): nearest integer, ties to even, overflow error when it does not fit (the same rule as
// shell::toInt32, inline because the surface rounds every coordinate it maps; nearbyint rounds
// ties to even in the default rounding mode, which the program never changes).
[[nodiscard]] inline std::int32_t rnd(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw shell::RunError::overflow();
    return static_cast<std::int32_t>(r);
}

// Floating-point division as the runtime does it: x / 0 is a division-by-zero error, 0 / 0 an
// overflow.
[[nodiscard]] inline double div(double a, double b)
{
    if (b == 0.0)
        throw a == 0.0 ? shell::RunError::overflow() : shell::RunError::divisionByZero();
    return a / b;
}

}
