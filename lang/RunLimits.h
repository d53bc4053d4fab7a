#pragma once

#include <cstddef>

namespace vorlix::lang {

// How much work one statement may ask of the interpreter. A statement that would pass a limit
// fails with the overflow error instead of drawing for seconds. The product runs with these
// values; the fuzz targets lower them (DControl::setLimits) so that each input stays quick.
struct RunLimits {
    // Labels of one "al" or "ab" run (a step too small for its range).
    std::size_t axisLabels = 100000;
    // Lines of one graph-paper ruling.
    std::size_t gridLines = 1000000;
    // Points of one "at" curve, drawn in sixteen steps each.
    std::size_t curvePoints = 100000;
};

}
