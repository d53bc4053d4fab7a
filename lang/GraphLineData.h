#pragma once

#include "lang/RunLimits.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// Line weights of graph paper; the pen width of a class is its number + 1.
enum class GridWeight : std::int32_t {
    Thin = 0,
    Medium = 1,
    Heavy = 2,
};

// The ruling of one period of graph paper: per weight class, the offsets of its lines from the
// start of the period in face units.
struct GridPattern {
    std::array<std::vector<std::int32_t>, 3> offsets;

    [[nodiscard]] const std::vector<std::int32_t>& of(GridWeight weight) const
    {
        return offsets[static_cast<std::size_t>(weight)];
    }
    [[nodiscard]] bool empty() const
    {
        return offsets[0].empty() && offsets[1].empty() && offsets[2].empty();
    }
};

// The pattern types the graph-paper statements know.
enum class GridPatternType : std::int32_t {
    Fifths = 0,
    Decimal = 1,
    Logarithmic = 10,
    LogarithmicFine = 11,
};

// Builds the pattern of a type for a period (decimal paper: tenths, a half and the period line;
// logarithmic paper: one decade per period). Unknown types give an empty pattern.
[[nodiscard]] GridPattern GraphLineData(std::int32_t type, std::int32_t period);

// One ruled line: horizontal lines run from (x, y) to the right by `length`, vertical lines
// downwards.
struct GridLine {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t length = 0;

    friend bool operator==(const GridLine&, const GridLine&) = default;
};

// The lines of one weight drawn in one period, in drawing order; the pen is set up for every
// batch, even one whose lines all fall beyond the area.
struct GridBatch {
    GridWeight weight = GridWeight::Thin;
    std::vector<GridLine> lines;
};

// Repeats a pattern over an area of w x h face units at (x, y): period after period, thin lines
// first and heavy lines last, until a line falls beyond the area. A period of 0 or less or an
// empty pattern rules nothing (they would never reach the end of the area); a ruling of more
// than `maxLines` lines fails with the overflow error before anything is drawn.
class GridRuling {
public:
    [[nodiscard]] static std::vector<GridBatch> lines(bool horizontal, std::int32_t x,
        std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t period,
        const GridPattern& pattern, std::size_t maxLines = RunLimits {}.gridLines);
};

}
