#include "lang/AxisLabels.h"

#include "shell/Convert.h"
#include "shell/RunError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vorlix::lang {

namespace {

    // The way back from the page (a root squared) may land a few units of the last place beside
    // a whole number; the label is that number.
    double wholeIfClose(double value)
    {
        const double whole = std::nearbyint(value);
        const double tolerance = 4.0 * std::numeric_limits<double>::epsilon() * std::fabs(value);
        return std::fabs(value - whole) <= tolerance ? whole : value;
    }

    // The place of the fifteenth significant digit of a label run's larger end; 0 for a run of
    // zeros.
    double runQuantum(double from, double to)
    {
        const double larger = std::max(std::fabs(from), std::fabs(to));
        return larger > 0.0 ? std::pow(10.0, std::floor(std::log10(larger)) - 14.0) : 0.0;
    }

    // The k-th value of a label run: from + k * step rather than a running sum, which drifts
    // (after a thousand steps of 0.1 a sum prints 99.9999999999986), and rounded to the run's
    // fifteen digits, so that cancellation leaves no trace (10 - 999 * 0.01 is
    // 0.00999999999999979).
    double runValue(double from, double step, std::size_t k, double quantum)
    {
        const double value = from + static_cast<double>(k) * step;
        return quantum > 0.0 ? std::nearbyint(value / quantum) * quantum : value;
    }

}

void AxisLabels::append(std::vector<AxisLabel>& labels, std::size_t maxLabels, std::int32_t x,
    std::int32_t y, bool vertical, double position, QString text)
{
    if (labels.size() >= maxLabels)
        throw shell::RunError::limitExceeded(QStringLiteral("目盛りの数値"),
            static_cast<std::int64_t>(maxLabels), QStringLiteral("個"));
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
    const double quantum = runQuantum(from, to);
    for (std::size_t k = 0;; ++k) {
        const double v = runValue(from, step, k, quantum);
        if (step >= 0 ? !(v <= to) : !(v >= to))
            break;
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
        const double value = wholeIfClose(axes.FromPage(axis, static_cast<double>(d)));
        append(labels, maxLabels, x, y, vertical, static_cast<double>(d),
            shell::generalNumberText(value));
        if (step == 0)
            break;
    }
    return labels;
}

}
