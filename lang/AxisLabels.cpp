#include "lang/AxisLabels.h"

#include "shell/Convert.h"
#include "shell/RunError.h"

#include <cmath>

namespace vorlix::lang {

void AxisLabels::append(std::vector<AxisLabel>& labels, std::size_t maxLabels, std::int32_t x,
    std::int32_t y, bool vertical, double position, QString text)
{
    if (labels.size() >= maxLabels)
        throw shell::RunError::overflow();
    AxisLabel label;
    label.x = vertical ? x : shell::toInt32(x + position);
    label.y = vertical ? shell::toInt32(y + position) : y;
    label.text = std::move(text);
    labels.push_back(std::move(label));
}

std::vector<AxisLabel> AxisLabels::valueLabels(const AxisTable& axes, std::int32_t x,
    std::int32_t y, bool vertical, double from, double to, double step, std::size_t maxLabels)
{
    if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step))
        throw shell::RunError::overflow();
    std::vector<AxisLabel> labels;
    if (runIsEmpty(from, to, step))
        return labels;
    for (double v = from; step >= 0 ? v <= to : v >= to; v += step) {
        const std::int32_t position = vertical ? axes.yPage(v) : axes.xPage(v);
        append(labels, maxLabels, x, y, vertical, position, shell::generalNumberText(v));
        if (step == 0)
            break;
    }
    return labels;
}

std::vector<AxisLabel> AxisLabels::pageLabels(const AxisTable& axes, std::int32_t x, std::int32_t y,
    bool vertical, std::int32_t from, std::int32_t to, std::int32_t step, std::size_t maxLabels)
{
    std::vector<AxisLabel> labels;
    if (runIsEmpty(from, to, step))
        return labels;
    const std::int32_t axis = vertical ? axes.yAxis() : axes.xAxis();
    // Counted in 64 bits: the step past `to` may leave the 32-bit range, which only ends the run.
    for (std::int64_t d = from; step >= 0 ? d <= to : d >= to; d += step) {
        const double value = axes.FromPage(axis, static_cast<double>(d));
        append(labels, maxLabels, x, y, vertical, static_cast<double>(d),
            shell::generalNumberText(value));
        if (step == 0)
            break;
    }
    return labels;
}

}
