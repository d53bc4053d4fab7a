#pragma once

#include <array>
#include <cstdint>

namespace vorlix::lang {

// What an axis does to a data value before scaling.
enum class AxisKind : std::int32_t {
    Linear = 0,
    Logarithmic = 1,
    SquareRoot = 2,
};

// One axis: page position = transform(value) x scale + offset.
struct Axis {
    AxisKind kind = AxisKind::Linear;
    // Face units per transformed data unit; negative for reversed axes.
    double scale = 1.0;
    // Page position of the transformed value 0.
    std::int32_t offset = 0;
};

// The nine chart axes of an interpreter and the pair currently used for x and y. Every
// conversion throws shell::RunError like the runtime does: 9 for an axis number outside 0..8,
// 5 for a logarithm or square root of a value it cannot take, 11 for a division by zero and 6
// when a result does not fit a 32-bit page position or is not a finite number.
class AxisTable {
public:
    static constexpr std::int32_t AxisCount = 9;
    // log10 is computed as the natural logarithm times this constant, and 10^x as exp(x / it),
    // so that positions land on the same face unit as the forms were designed with.
    static constexpr double Log10Factor = 0.43429448190325104;

    // "as": defines axis n by a type 0..4 and the two figures a and b. Other types are ignored.
    void SetAxis(std::int32_t n, std::int32_t type, double a, double b);
    // "a": selects the axes used for x and y values; the numbers are checked when used.
    void SelectAxes(std::int32_t x, std::int32_t y)
    {
        m_xAxis = x;
        m_yAxis = y;
    }

    [[nodiscard]] std::int32_t xAxis() const { return m_xAxis; }
    [[nodiscard]] std::int32_t yAxis() const { return m_yAxis; }
    // The axis record; throws 9 for a number outside 0..8.
    [[nodiscard]] const Axis& axis(std::int32_t n) const;

    // Data value to page position; a non-positive value on a logarithmic axis lands on 0.
    [[nodiscard]] std::int32_t ToPage(std::int32_t n, double value) const;
    // Data length to page length (no offset).
    [[nodiscard]] std::int32_t ToLength(std::int32_t n, double value) const;
    // Page position back to a data value.
    [[nodiscard]] double FromPage(std::int32_t n, double position) const;
    // Page length back to a data length.
    [[nodiscard]] double FromLength(std::int32_t n, double length) const;

    // The same conversions on the current x and y axes.
    [[nodiscard]] std::int32_t xPage(double value) const { return ToPage(m_xAxis, value); }
    [[nodiscard]] std::int32_t yPage(double value) const { return ToPage(m_yAxis, value); }

    // The runtime's log10, raising 5 for values that have none.
    [[nodiscard]] static double log10(double value);

private:
    [[nodiscard]] static double transform(const Axis& axis, double value);
    [[nodiscard]] static double inverse(const Axis& axis, double transformed);

    std::array<Axis, AxisCount> m_axes {};
    std::int32_t m_xAxis = 1;
    std::int32_t m_yAxis = 1;
};

}
