#include "lang/AxisTable.h"

#include "shell/Checked.h"
#include "shell/Convert.h"
#include "shell/RunError.h"

#include <cmath>

namespace vorlix::lang {

using shell::checked::divide;

namespace {

    double squareRoot(double value)
    {
        if (value < 0.0)
            throw shell::RunError::invalidArgument();
        return std::sqrt(value);
    }

    // A result the runtime could hold: infinities and NaN are overflows.
    double finite(double value)
    {
        if (!std::isfinite(value))
            throw shell::RunError::overflow();
        return value;
    }

}

double AxisTable::log10(double value)
{
    if (!(value > 0.0))
        throw shell::RunError::invalidArgument();
    return std::log(value) * Log10Factor;
}

const Axis& AxisTable::axis(std::int32_t n) const
{
    if (n < 0 || n >= AxisCount)
        throw shell::RunError::subscriptOutOfRange();
    return m_axes[static_cast<std::size_t>(n)];
}

void AxisTable::SetAxis(std::int32_t n, std::int32_t type, double a, double b)
{
    if (type < 0 || type > 4)
        return;
    static_cast<void>(axis(n));
    // The record is computed whole before it is stored, so a failing statement leaves the axis
    // as it was.
    Axis result;
    switch (type) {
    case 0:
    case 2:
        result.kind = AxisKind::Linear;
        result.scale = finite(divide(type == 0 ? 100.0 : -100.0, b));
        result.offset = shell::toInt32(-a * result.scale);
        break;
    case 1:
    case 3:
        result.kind = AxisKind::Logarithmic;
        result.scale = type == 1 ? b : -b;
        // A reversed axis takes its offset from the positive decade length, like the forward one.
        result.offset = shell::toInt32(-log10(a) * b);
        break;
    default:
        result.kind = AxisKind::SquareRoot;
        result.scale = finite(divide(100.0, squareRoot(b)));
        result.offset = 0;
        break;
    }
    m_axes[static_cast<std::size_t>(n)] = result;
}

double AxisTable::transform(const Axis& axis, double value)
{
    switch (axis.kind) {
    case AxisKind::Logarithmic:
        return log10(value);
    case AxisKind::SquareRoot:
        return squareRoot(value);
    default:
        return value;
    }
}

double AxisTable::inverse(const Axis& axis, double transformed)
{
    switch (axis.kind) {
    case AxisKind::Logarithmic:
        // The power itself, not the exponential of a scaled value: whole decades come back as
        // exactly 10, 100, ..., and labels print no rounding noise.
        return finite(std::pow(10.0, transformed));
    case AxisKind::SquareRoot:
        return finite(transformed * transformed);
    default:
        return transformed;
    }
}

std::int32_t AxisTable::ToPage(std::int32_t n, double value) const
{
    const Axis& a = axis(n);
    if (a.kind == AxisKind::Logarithmic && value <= 0.0)
        return 0;
    return shell::toInt32(transform(a, value) * a.scale + a.offset);
}

std::int32_t AxisTable::ToLength(std::int32_t n, double value) const
{
    const Axis& a = axis(n);
    return shell::toInt32(transform(a, value) * a.scale);
}

double AxisTable::FromPage(std::int32_t n, double position) const
{
    const Axis& a = axis(n);
    return inverse(a, finite(divide(position - a.offset, a.scale)));
}

double AxisTable::FromLength(std::int32_t n, double length) const
{
    const Axis& a = axis(n);
    return inverse(a, finite(divide(length, a.scale)));
}

}
