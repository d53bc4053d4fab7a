#pragma once

#include "shell/RunError.h"

#include <cmath>
#include <cstdint>
#include <limits>

// The program's checked arithmetic: integers are 32-bit signed and every sum, difference, product
// and rounding that does not fit raises the overflow error; a division by zero raises an error
// instead of giving an infinity. Used by the interpreter, the curves and the drawing surface
// alike, so that a statement fails the same way wherever its numbers go wrong.
namespace vorlix::shell::checked {

// The value itself when it fits the integer type, else RunError 6.
template <typename Int = std::int32_t> [[nodiscard]] inline Int fit(std::int64_t value)
{
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw RunError::overflow();
    return static_cast<Int>(value);
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

// rnd(): the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -1.5 -> -2); RunError 6 when the
// result does not fit or the value is not a number. Inline because the surface rounds every
// coordinate it maps; nearbyint rounds ties to even in the default rounding mode, which the
// program never changes.
template <typename Int = std::int32_t> [[nodiscard]] inline Int rnd(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min())
            && r <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw RunError::overflow();
    return static_cast<Int>(r);
}

// a / b in doubles with the program's errors: x / 0 is a division by zero (RunError 11), 0 / 0
// an overflow (RunError 6).
[[nodiscard]] inline double divide(double a, double b)
{
    if (b == 0.0)
        throw a == 0.0 ? RunError::overflow() : RunError::divisionByZero();
    return a / b;
}

}
