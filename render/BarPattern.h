#pragma once

#include "render/GdiTypes.h"

#include <QPointF>
#include <QRectF>
#include <memory>
#include <vector>

namespace vorlix::render {

// The bars of one symbol (a barcode or a 2D code) as filled rectangles on a grid of modules: where
// the grid starts and how large one module is, in the page's device units, and the rectangles in
// modules. A device that draws in pixels gives every module the same whole number of pixels; the
// others draw the rectangles exactly.
struct BarPattern {
    QPointF origin;
    double moduleWidth = 1.0;
    double moduleHeight = 1.0;
    // The rows of a 2D symbol are modules too and go on the grid like the columns; the bars of a
    // linear symbol end at their own heights.
    bool squareModules = false;
    ColorRef color = 0;
    // Shared: a page keeps its symbols without copying them.
    std::shared_ptr<const std::vector<QRectF>> bars;

    [[nodiscard]] qsizetype size() const { return bars ? static_cast<qsizetype>(bars->size()) : 0; }
    // The rectangle of bar i in device units, exactly.
    [[nodiscard]] QRectF exactBar(qsizetype i) const;
};

}
