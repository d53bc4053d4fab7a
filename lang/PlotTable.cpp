#include "lang/PlotTable.h"

#include "shell/RunError.h"

namespace vorlix::lang {

void PlotTable::begin(std::int32_t columns, std::int32_t xColumn, bool swapXY)
{
    // A table of no columns would never finish a row and never end; one wider than the eight
    // series slots cannot be held.
    if (columns < 1 || columns > MaxColumns || xColumn < 1 || xColumn > columns)
        throw shell::RunError::subscriptOutOfRange();
    *this = PlotTable {};
    m_columns = columns;
    m_xColumn = xColumn;
    m_swapXY = swapXY;
    m_columnSlot.fill(-1);
}

std::int32_t PlotTable::slotOf(std::int32_t column) const
{
    if (column < 1 || column > m_columns)
        throw shell::RunError::subscriptOutOfRange();
    return m_columnSlot[static_cast<std::size_t>(column - 1)];
}

void PlotTable::setStyle(std::int32_t column, std::int32_t style)
{
    static_cast<void>(slotOf(column));
    auto& slot = m_columnSlot[static_cast<std::size_t>(column - 1)];
    if (column == m_xColumn) {
        slot = 0;
    } else if (style != 0) {
        slot = ++m_seriesCount;
        m_seriesStyle[static_cast<std::size_t>(slot)] = style;
    } else {
        slot = -1;
    }
}

void PlotTable::setAxis(std::int32_t column, std::int32_t axis)
{
    const std::int32_t slot = slotOf(column);
    if (slot >= 0)
        m_slotAxis[static_cast<std::size_t>(slot)] = axis;
}

void PlotTable::addValue(double value, const AxisTable& axes)
{
    const std::int32_t slot = m_columnSlot[static_cast<std::size_t>(m_nextColumn)];
    if (slot >= 0) {
        m_current[static_cast<std::size_t>(slot)]
            = axes.ToPage(m_slotAxis[static_cast<std::size_t>(slot)], value);
    }
    advance();
}

void PlotTable::addNonNumber()
{
    if (m_columnSlot[static_cast<std::size_t>(m_nextColumn)] >= 0)
        m_rowValid = false;
    advance();
}

void PlotTable::advance()
{
    if (++m_nextColumn < m_columns)
        return;
    if (m_rowValid)
        m_rows.push_back(m_current);
    m_nextColumn = 0;
    m_rowValid = true;
}

std::int32_t PlotTable::seriesStyle(std::int32_t j) const
{
    if (j < 1 || j > m_seriesCount)
        throw shell::RunError::subscriptOutOfRange();
    return m_seriesStyle[static_cast<std::size_t>(j)];
}

PlotTable::Point PlotTable::point(std::int32_t j, std::int32_t r) const
{
    if (j < 1 || j > m_seriesCount || r < 0 || r > lastRow())
        throw shell::RunError::subscriptOutOfRange();
    const Row& row = m_rows[static_cast<std::size_t>(r)];
    const std::int32_t x = row[0];
    const std::int32_t y = row[static_cast<std::size_t>(j)];
    return m_swapXY ? Point { y, x } : Point { x, y };
}

}
