#pragma once

#include "lang/AxisTable.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// The table of "app" and "apm": a header naming the x column, the plotted columns with their
// pen or mark styles and their axes, then rows of values that are turned into page positions as
// they arrive. A row with a non-numeric value in a plotted column is dropped, a row cut off by
// the end of the statement is never stored.
class PlotTable {
public:
    static constexpr std::int32_t MaxColumns = 8;

    // Starts a table of `columns` columns (1..8) whose column xColumn (1-based) holds the x
    // values; RunError 9 for other counts or an x column outside the table.
    void begin(std::int32_t columns, std::int32_t xColumn, bool swapXY);
    // The style value of column i (1-based), read in order: 0 skips the column, any other value
    // makes it a series with that pen slot or mark type. The x column ignores its value.
    void setStyle(std::int32_t column, std::int32_t style);
    // The axis of column i (1-based) for the values in its slot.
    void setAxis(std::int32_t column, std::int32_t axis);

    // The next value of the current row, in column order.
    void addValue(double value, const AxisTable& axes);
    // A token that is no number: the current row will be dropped if the column is plotted.
    void addNonNumber();

    [[nodiscard]] std::int32_t columns() const { return m_columns; }
    [[nodiscard]] std::int32_t seriesCount() const { return m_seriesCount; }
    // Pen slot or mark type of series j (1-based).
    [[nodiscard]] std::int32_t seriesStyle(std::int32_t j) const;
    // Index of the last stored row, -1 for none.
    [[nodiscard]] std::int32_t lastRow() const
    {
        return static_cast<std::int32_t>(m_rows.size()) - 1;
    }
    [[nodiscard]] bool swapXY() const { return m_swapXY; }

    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    // Page point of series j (1-based) in row r (0-based).
    [[nodiscard]] Point point(std::int32_t j, std::int32_t r) const;

private:
    using Row = std::array<std::int32_t, MaxColumns + 1>;

    void advance();
    [[nodiscard]] std::int32_t slotOf(std::int32_t column) const;

    std::int32_t m_columns = 0;
    std::int32_t m_xColumn = 0;
    bool m_swapXY = false;
    std::int32_t m_seriesCount = 0;
    // Per column: 0 for x, 1..8 for a series, -1 skipped.
    std::array<std::int32_t, MaxColumns> m_columnSlot {};
    std::array<std::int32_t, MaxColumns + 1> m_seriesStyle {};
    std::array<std::int32_t, MaxColumns + 1> m_slotAxis {};
    std::vector<Row> m_rows;
    Row m_current {};
    std::int32_t m_nextColumn = 0;
    bool m_rowValid = true;
};

}
