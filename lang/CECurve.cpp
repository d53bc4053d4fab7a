#include "lang/CECurve.h"

#include "shell/Checked.h"
#include "shell/RunError.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vorlix::lang {

using shell::checked::divide;

namespace {

    constexpr double pi = 3.14159265358979323846;

    // Mirroring can reach or pass the vertical (a chord rising at 45 degrees beside a level point
    // mirrors to 90 degrees), which throws the end segment far off its points or wraps its slope
    // round to the other side. An end tangent therefore leans no steeper than 70 degrees, or than
    // halfway from its chord to the vertical where that is steeper: the end of a 45-degree chord
    // beside a level point then still runs straight into that point, and a steep chord keeps
    // the room its own points need.
    constexpr double MaxEndAngle = 70.0 * pi / 180.0;

    // Mirrors the neighbouring slope about the chord: the end tangent leans as far beyond the chord
    // as the neighbouring tangent leans before it, short of the vertical.
    double mirroredSlope(double chord, double neighbour)
    {
        const double chordAngle = std::atan(chord);
        const double limit = std::max(MaxEndAngle, (pi / 2.0 + std::fabs(chordAngle)) / 2.0);
        return std::tan(std::clamp(2.0 * chordAngle - std::atan(neighbour), -limit, limit));
    }

}

void CECurve::Init(const std::vector<PointRow>& points, int xColumn, int yColumn,
    std::int32_t first, std::int32_t last)
{
    if (first < 0 || last <= first || static_cast<std::size_t>(last) >= points.size() || xColumn < 0
        || xColumn > 1 || yColumn < 0 || yColumn > 1)
        throw shell::RunError::subscriptOutOfRange();
    m_first = first;
    m_last = last;
    m_segments = last - first;
    const auto count = static_cast<std::size_t>(m_segments) + 1;
    std::vector<double> xs(count);
    std::vector<double> ys(count);
    for (std::size_t i = 0; i < count; ++i) {
        xs[i] = points[static_cast<std::size_t>(first) + i][static_cast<std::size_t>(xColumn)];
        ys[i] = points[static_cast<std::size_t>(first) + i][static_cast<std::size_t>(yColumn)];
    }
    computeSlopes(xs, ys);
    m_coefficients.assign(count, Coefficients {});
    for (std::size_t j = 0; j + 1 < count; ++j) {
        if (xs[j] == xs[j + 1]) {
            m_coefficients[j][4] = xs[j];
            continue;
        }
        m_coefficients[j]
            = solveSegment(xs[j], ys[j], m_slopes[j], xs[j + 1], ys[j + 1], m_slopes[j + 1]);
    }
}

// A point whose neighbouring segments are both jumps (equal x on either side) has no cubic that
// uses its slope, and neither has an end whose chord is a jump: such slopes stay 0 instead of
// dividing by the missing extent, so that equal x values are joined by a straight line wherever
// they stand.
void CECurve::computeSlopes(const std::vector<double>& xs, const std::vector<double>& ys)
{
    const auto m = xs.size() - 1;
    m_slopes.assign(m + 1, 0.0);
    for (std::size_t i = 1; i < m; ++i) {
        if (xs[i - 1] != xs[i] || xs[i] != xs[i + 1])
            m_slopes[i] = divide(ys[i + 1] - ys[i - 1], xs[i + 1] - xs[i - 1]);
    }
    // With two points the first end slope mirrors a neighbour of 0, and the last one mirrors the
    // new first slope.
    if (xs[0] != xs[1])
        m_slopes[0] = mirroredSlope(divide(ys[1] - ys[0], xs[1] - xs[0]), m_slopes[1]);
    if (xs[m - 1] != xs[m])
        m_slopes[m] = mirroredSlope(divide(ys[m] - ys[m - 1], xs[m] - xs[m - 1]), m_slopes[m - 1]);
}

// Gauss-Jordan elimination on the four conditions (value at both ends, slope at both ends). The
// rows are exchanged to put the largest remaining value on the pivot: without the exchange a
// segment starting at x = 0 has a zero first pivot, and dividing by a tiny stand-in for it wipes
// out the other rows (a line through (0, 10) came out millions of units off).
CECurve::Coefficients CECurve::solveSegment(
    double x0, double y0, double s0, double x1, double y1, double s1)
{
    std::array<std::array<double, 5>, 4> m { {
        { x0 * x0 * x0, x0 * x0, x0, 1.0, y0 },
        { x1 * x1 * x1, x1 * x1, x1, 1.0, y1 },
        { 3.0 * x0 * x0, 2.0 * x0, 1.0, 0.0, s0 },
        { 3.0 * x1 * x1, 2.0 * x1, 1.0, 0.0, s1 },
    } };
    for (std::size_t k = 0; k < 4; ++k) {
        std::size_t best = k;
        for (std::size_t i = k + 1; i < 4; ++i) {
            if (std::fabs(m[i][k]) > std::fabs(m[best][k]))
                best = i;
        }
        std::swap(m[k], m[best]);
        const double pivot = m[k][k];
        if (pivot == 0.0)
            throw shell::RunError::overflow();
        for (auto& cell : m[k])
            cell /= pivot;
        for (std::size_t i = 0; i < 4; ++i) {
            if (i == k)
                continue;
            const double factor = m[i][k];
            for (std::size_t c = 0; c < 5; ++c)
                m[i][c] -= factor * m[k][c];
        }
    }
    Coefficients result { m[0][4], m[1][4], m[2][4], m[3][4], x0 };
    for (const double value : result) {
        if (!std::isfinite(value))
            throw shell::RunError::overflow();
    }
    return result;
}

std::int32_t CECurve::segmentFor(double x) const
{
    std::int32_t segment = 0;
    if (m_segments < 2)
        return segment;
    const bool increasing = m_coefficients[1][4] >= m_coefficients[0][4];
    while (segment + 1 < m_segments) {
        const double nextStart = m_coefficients[static_cast<std::size_t>(segment) + 1][4];
        if (increasing ? nextStart > x : nextStart < x)
            break;
        ++segment;
    }
    return segment;
}

double CECurve::Y(double x, std::int32_t j) const
{
    if (m_coefficients.empty())
        return 0.0;
    const std::int32_t segment = j >= m_first && j <= m_last ? j - m_first : segmentFor(x);
    const Coefficients& c = m_coefficients[static_cast<std::size_t>(segment)];
    return c[0] * x * x * x + c[1] * x * x + c[2] * x + c[3];
}

}
