#include "lang/DControl.h"

#include "lang/AxisLabels.h"
#include "lang/AxisReading.h"
#include "lang/PlotTable.h"
#include "render/EMF.h"
#include "shell/Convert.h"

#include <cmath>

// The chart commands that work in data units: axes, grid lines at data positions, value labels,
// lines, polylines, marks, table plots and half circles. Every value passes through the axes of
// the axis table; the surface draws in face units.
namespace vorlix::lang {

using namespace axisreading;

namespace {

    // Degrees to radians with the factor the forms were laid out with.
    constexpr double RadiansPerDegree = 0.017453292519943278;

    void printLabels(render::EMF& surface, const std::vector<AxisLabel>& labels)
    {
        for (const AxisLabel& label : labels) {
            QString text = label.text;
            surface.XY(label.x, label.y);
            surface.LPK(text, 0);
        }
    }

    // Header and rows of "app" and "apm"; the ";" (or the end of the text) ends the table, and
    // the rows completed before it are kept.
    template <typename Next>
    PlotTable readPlotTable(Next& next, ToDouble toDouble, const AxisTable& axes)
    {
        QString header[3];
        for (QString& token : header)
            (void)next(token);
        const auto columns = shell::toInt32(toDouble(header[0]));
        const auto xColumn = shell::toInt32(toDouble(header[1]));
        const bool swapXY = shell::roundHalfEven(toDouble(header[2])) != 0;
        PlotTable table;
        table.begin(columns, xColumn, swapXY);
        QString token;
        for (std::int32_t i = 1; i <= columns; ++i) {
            (void)next(token);
            table.setStyle(i, shell::toInt16(toDouble(token)));
        }
        for (std::int32_t i = 1; i <= columns; ++i) {
            (void)next(token);
            table.setAxis(i, shell::toInt32(toDouble(token)));
        }
        for (TokenType type = next(token); !endsStatement(type); type = next(token)) {
            if (type == TokenType::TkNumber)
                table.addValue(toDouble(token), axes);
            else
                table.addNonNumber();
        }
        return table;
    }

}

DControl::ExecResult DControl::cmdAs()
{
    const auto t = readTokens<5>();
    const auto n = toI(t[0]);
    const auto type = toI(t[1]);
    const double a = toD(t[2]);
    const double b = toD(t[3]);
    m_axes.SetAxis(n, type, a, b);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdA()
{
    const auto t = readTokens<3>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    m_axes.SelectAxes(x, y);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAv()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto t = readTokens<2>();
    const auto length = toI(t[0]);
    const std::int32_t py = m_axes.yPage(toD(t[1]));
    double x = 0;
    while (nextNumber(next, &DControl::toD, x))
        m_surface->VDxy(m_axes.xPage(x), py, length);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAh()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto t = readTokens<2>();
    const auto length = toI(t[0]);
    const std::int32_t px = m_axes.xPage(toD(t[1]));
    double y = 0;
    while (nextNumber(next, &DControl::toD, y))
        m_surface->HDxy(px, m_axes.yPage(y), length);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAl()
{
    const auto t = readTokens<7>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const bool vertical = toI(t[2]) != 0;
    const double from = toD(t[3]);
    const double to = toD(t[4]);
    const double step = toD(t[5]);
    printLabels(*m_surface,
        AxisLabels::valueLabels(m_axes, x, y, vertical, from, to, step, m_limits.axisLabels));
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAb()
{
    const auto t = readTokens<7>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const bool vertical = toI(t[2]) != 0;
    const auto from = toI(t[3]);
    const auto to = toI(t[4]);
    const auto step = toI(t[5]);
    printLabels(*m_surface,
        AxisLabels::pageLabels(m_axes, x, y, vertical, from, to, step, m_limits.axisLabels));
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAla()
{
    const auto t = readTokens<4>();
    const double xv = toD(t[0]);
    const double yv = toD(t[1]);
    const auto dx = toI(t[2]);
    const auto dy = toI(t[3]);
    m_surface->XY(addChecked(m_axes.xPage(xv), dx), addChecked(m_axes.yPage(yv), dy));
    PrintText(false, false);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAd()
{
    const auto t = readTokens<5>();
    const double x1 = toD(t[0]);
    const double y1 = toD(t[1]);
    const double x2 = toD(t[2]);
    const double y2 = toD(t[3]);
    m_surface->MDxy(m_axes.xPage(x1), m_axes.yPage(y1), m_axes.xPage(x2), m_axes.yPage(y2));
    return ExecResult::Done;
}

// The length is measured along the x axis, then turned by the angle in face units.
DControl::ExecResult DControl::cmdAg()
{
    const auto t = readTokens<5>();
    const double x = toD(t[0]);
    const double y = toD(t[1]);
    const double length = toD(t[2]);
    const double theta = toD(t[3]) * RadiansPerDegree;
    const std::int32_t px = m_axes.xPage(x);
    const std::int32_t py = m_axes.yPage(y);
    const double l = m_axes.ToLength(m_axes.xAxis(), length);
    m_surface->DMDxy(
        px, py, shell::toInt32(l * std::cos(theta)), shell::toInt32(l * std::sin(theta)));
    return ExecResult::Done;
}

// The straight line y = y0 + tan(angle) x, with the slope applied to page positions.
DControl::ExecResult DControl::cmdAgf()
{
    const auto t = readTokens<5>();
    const double y0 = toD(t[0]);
    const double slope = std::tan(toD(t[1]) * RadiansPerDegree);
    const double x1 = toD(t[2]);
    const double x2 = toD(t[3]);
    const double py0 = m_axes.yPage(y0);
    const std::int32_t p1 = m_axes.xPage(x1);
    const std::int32_t p2 = m_axes.xPage(x2);
    m_surface->MDxy(p1, shell::toInt32(slope * p1 + py0), p2, shell::toInt32(slope * p2 + py0));
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAp()
{
    auto next = [this](QString& token) { return nextToken(token); };
    bool first = true;
    readAxisPairs(next, &DControl::toD, [&](double x, double y) {
        const std::int32_t px = m_axes.xPage(x);
        const std::int32_t py = m_axes.yPage(y);
        if (first)
            m_surface->XY(px, py);
        else
            m_surface->Dxy(px, py);
        first = false;
    });
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdAm()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto mark = argI();
    readAxisPairs(next, &DControl::toD,
        [&](double x, double y) { m_surface->MarkOut(m_axes.xPage(x), m_axes.yPage(y), mark); });
    return ExecResult::Done;
}

// Each series is one polyline in its own pen slot; the last series' pen stays selected.
DControl::ExecResult DControl::cmdApp()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const PlotTable table = readPlotTable(next, &DControl::toD, m_axes);
    for (std::int32_t j = 1; j <= table.seriesCount(); ++j) {
        m_surface->PenNo(table.seriesStyle(j));
        if (table.lastRow() < 0)
            continue;
        const auto start = table.point(j, 0);
        m_surface->XY(start.x, start.y);
        for (std::int32_t r = 1; r <= table.lastRow(); ++r) {
            const auto p = table.point(j, r);
            m_surface->Dxy(p.x, p.y);
        }
    }
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdApm()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const PlotTable table = readPlotTable(next, &DControl::toD, m_axes);
    for (std::int32_t j = 1; j <= table.seriesCount(); ++j) {
        for (std::int32_t r = 0; r <= table.lastRow(); ++r) {
            const auto p = table.point(j, r);
            m_surface->MarkOut(p.x, p.y, table.seriesStyle(j));
        }
    }
    return ExecResult::Done;
}

// Half circles standing on one line: each diameter is converted as a position on the x axis
// (its offset included) and the circle starts at its x.
DControl::ExecResult DControl::cmdAhr()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto t = readTokens<3>();
    double x = toD(t[0]);
    const std::int32_t py = m_axes.yPage(toD(t[1]));
    double d = toD(t[2]);
    do {
        const std::int32_t p = m_axes.xPage(x);
        const std::int32_t r = m_axes.xPage(d) / 2;
        m_surface->hCirc(addChecked(p, r), py, r);
    } while (nextNumber(next, &DControl::toD, x) && nextNumber(next, &DControl::toD, d));
    return ExecResult::Done;
}

// The radius is converted as a position on the x axis, offset included.
DControl::ExecResult DControl::cmdAr()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto t = readTokens<3>();
    double x = toD(t[0]);
    double y = toD(t[1]);
    double r = toD(t[2]);
    do {
        m_surface->hCirc(m_axes.xPage(x), m_axes.yPage(y), m_axes.xPage(r));
    } while (nextNumber(next, &DControl::toD, x) && nextNumber(next, &DControl::toD, y)
        && nextNumber(next, &DControl::toD, r));
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdArc()
{
    auto next = [this](QString& token) { return nextToken(token); };
    const auto t = readTokens<3>();
    const std::int32_t radius = m_axes.xPage(toD(t[0]));
    double x = toD(t[1]);
    double y = toD(t[2]);
    do {
        m_surface->hCirc(m_axes.xPage(x), m_axes.yPage(y), radius);
    } while (nextNumber(next, &DControl::toD, x) && nextNumber(next, &DControl::toD, y));
    return ExecResult::Done;
}

}
