#pragma once

#include "lang/AxisTable.h"
#include "lang/RunLimits.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// One value label of "al" or "ab": where its text starts on the page and what it says.
struct AxisLabel {
    std::int32_t x = 0;
    std::int32_t y = 0;
    QString text;

    friend bool operator==(const AxisLabel&, const AxisLabel&) = default;
};

// The label run of one statement, computed whole before anything is printed. A run that would
// print more than `maxLabels` labels (a step too small for its range) fails with the overflow
// error, naming that limit, instead of printing for ever.
class AxisLabels {
public:
    // "al": labels for the data values from, from + step, ... up to `to` (each counted from
    // `from` and kept to fifteen digits of the run), placed along the y axis (vertical) or the x
    // axis from the page point (x, y). A zero step with from equal to `to` prints that one value.
    [[nodiscard]] static std::vector<AxisLabel> valueLabels(const AxisTable& axes, std::int32_t x,
        std::int32_t y, bool vertical, double from, double to, double step,
        std::size_t maxLabels = RunLimits {}.axisLabels);

    // "ab": labels every `step` face units from `from` to `to`, each telling the data value
    // that lands there (a whole number where the value lies within rounding of one).
    [[nodiscard]] static std::vector<AxisLabel> pageLabels(const AxisTable& axes, std::int32_t x,
        std::int32_t y, bool vertical, std::int32_t from, std::int32_t to, std::int32_t step,
        std::size_t maxLabels = RunLimits {}.axisLabels);

private:
    [[nodiscard]] static bool runIsEmpty(double from, double to, double step)
    {
        return (step <= 0 && from < to) || (step >= 0 && from > to);
    }
    static void append(std::vector<AxisLabel>& labels, std::size_t maxLabels, std::int32_t x,
        std::int32_t y, bool vertical, double position, QString text);
};

}
