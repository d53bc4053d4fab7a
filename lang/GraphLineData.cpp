#include "lang/GraphLineData.h"

#include "lang/AxisTable.h"
#include "shell/Convert.h"
#include "shell/RunError.h"

#include <initializer_list>

namespace vorlix::lang {

namespace {

    std::int32_t logOffset(std::int32_t period, double value)
    {
        return shell::toInt32(period * AxisTable::log10(value));
    }

    void addLogLines(std::vector<std::int32_t>& lines, std::int32_t period, double value)
    {
        lines.push_back(logOffset(period, value));
    }

    void addDecades(std::vector<std::int32_t>& lines, std::int32_t period)
    {
        for (int k = 1; k <= 9; ++k)
            addLogLines(lines, period, k);
    }

    void addFractions(std::vector<std::int32_t>& lines, std::int32_t period,
        std::initializer_list<double> fractions)
    {
        for (const double f : fractions)
            lines.push_back(shell::toInt32(period * f));
    }

    // The fine logarithmic ruling: tenths up to 4.9 and fifths from 5.2, without the whole numbers
    // (heavy) and the halves 1.5 to 4.5 (medium). Values are made from whole tenths so that they
    // are the nearest doubles to the decimal figures.
    void addFineLogLines(std::vector<std::int32_t>& lines, std::int32_t period)
    {
        for (int tenths = 11; tenths <= 98; tenths += tenths < 49 ? 1 : (tenths == 49 ? 3 : 2)) {
            if (tenths % 10 == 0 || (tenths < 50 && tenths % 10 == 5))
                continue;
            addLogLines(lines, period, tenths / 10.0);
        }
    }

}

GridPattern GraphLineData(std::int32_t type, std::int32_t period)
{
    GridPattern pattern;
    auto& thin = pattern.offsets[static_cast<std::size_t>(GridWeight::Thin)];
    auto& medium = pattern.offsets[static_cast<std::size_t>(GridWeight::Medium)];
    auto& heavy = pattern.offsets[static_cast<std::size_t>(GridWeight::Heavy)];
    switch (static_cast<GridPatternType>(type)) {
    case GridPatternType::Fifths:
        heavy.push_back(0);
        addFractions(thin, period, { 0.2, 0.4, 0.6, 0.8 });
        break;
    case GridPatternType::Decimal:
        heavy.push_back(0);
        medium.push_back(shell::toInt32(period * 0.5));
        addFractions(thin, period, { 0.1, 0.2, 0.3, 0.4, 0.6, 0.7, 0.8, 0.9 });
        break;
    case GridPatternType::Logarithmic:
        addDecades(heavy, period);
        for (const double v : { 1.2, 1.4, 1.6, 1.8, 2.2, 2.4, 2.6, 2.8, 3.2, 3.4, 3.6, 3.8, 4.2,
                 4.4, 4.6, 4.8, 5.5, 6.5, 7.5, 8.5, 9.5 })
            addLogLines(thin, period, v);
        break;
    case GridPatternType::LogarithmicFine:
        addDecades(heavy, period);
        for (const double v : { 1.5, 2.5, 3.5, 4.5 })
            addLogLines(medium, period, v);
        addFineLogLines(thin, period);
        break;
    default:
        break;
    }
    return pattern;
}

std::vector<GridBatch> GridRuling::lines(bool horizontal, std::int32_t x, std::int32_t y,
    std::int32_t w, std::int32_t h, std::int32_t period, const GridPattern& pattern,
    std::size_t maxLines)
{
    std::vector<GridBatch> batches;
    if (period <= 0 || pattern.empty())
        return batches;
    const std::int64_t limit = horizontal ? h : w;
    std::size_t count = 0;
    std::int64_t base = 0;
    std::int64_t last = 0;
    do {
        for (const GridWeight weight :
            { GridWeight::Thin, GridWeight::Medium, GridWeight::Heavy }) {
            const auto& offsets = pattern.of(weight);
            if (offsets.empty())
                continue;
            GridBatch batch;
            batch.weight = weight;
            for (const std::int32_t offset : offsets) {
                last = base + offset;
                if (last > limit)
                    break;
                if (++count > maxLines)
                    throw shell::RunError::limitExceeded(QStringLiteral("方眼の線"),
                        static_cast<std::int64_t>(maxLines), QStringLiteral("本"));
                const double along = static_cast<double>(last);
                batch.lines.push_back(horizontal ? GridLine { x, shell::toInt32(y + along), w }
                                                 : GridLine { shell::toInt32(x + along), y, h });
            }
            batches.push_back(std::move(batch));
        }
        base += period;
    } while (last <= limit);
    return batches;
}

}
