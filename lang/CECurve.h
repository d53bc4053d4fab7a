#pragma once

#include "shell/Log.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// A smooth curve through data points: one cubic y = a*x^3 + b*x^2 + c*x + d per pair of
// neighbouring points, in absolute coordinates, with the slope at each interior point taken from
// its two neighbours and the end slopes mirrored about the first and last chords, kept short of
// vertical.
class CECurve {
public:
    // One point row: column 0 and 1 as the caller fills them.
    using PointRow = std::array<double, 2>;
    // a, b, c, d and the x of the segment's first point.
    using Coefficients = std::array<double, 5>;

    CECurve() = default;

    // Computes the segments through rows first..last, reading x and y from the given columns.
    // Needs two rows or more (RunError 9 otherwise). A segment whose two ends share their x gets
    // no cubic (zero coefficients): it is a jump, at the ends as inside. A point whose neighbours
    // share their x while it lies elsewhere (the curve turning back) fails with the division
    // errors of the runtime, as does a cubic that does not fit a double.
    void Init(const std::vector<PointRow>& points, int xColumn, int yColumn, std::int32_t first,
        std::int32_t last);

    // The curve's y at x on segment j (a point row index); when j lies outside first..last the
    // segment is found by walking the segment starts towards x.
    [[nodiscard]] double Y(double x, std::int32_t j) const;

    [[nodiscard]] std::int32_t first() const { return m_first; }
    [[nodiscard]] std::int32_t last() const { return m_last; }
    [[nodiscard]] std::int32_t segments() const { return m_segments; }
    // Rows 0..segments; the row after the last segment stays zero.
    [[nodiscard]] const std::vector<Coefficients>& coefficients() const { return m_coefficients; }
    // The slope at each point, as used for the segment ends.
    [[nodiscard]] const std::vector<double>& slopes() const { return m_slopes; }

private:
    void computeSlopes(const std::vector<double>& xs, const std::vector<double>& ys);
    [[nodiscard]] static Coefficients solveSegment(
        double x0, double y0, double s0, double x1, double y1, double s1);
    [[nodiscard]] std::int32_t segmentFor(double x) const;

    shell::LifeLog m_life { QStringLiteral("CECurve") };
    std::int32_t m_first = 0;
    std::int32_t m_last = 0;
    std::int32_t m_segments = 0;
    std::vector<Coefficients> m_coefficients;
    std::vector<double> m_slopes;
};

}
