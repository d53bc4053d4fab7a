#include "lang/DControl.h"

#include "lang/AxisReading.h"
#include "lang/CECurve.h"
#include "lang/GraphLineData.h"
#include "render/EMF.h"
#include "shell/Convert.h"
#include "shell/RunError.h"

#include <vector>

// Graph paper ("gra", "fgra", "glc") and the smooth curve through data points ("at").
namespace vorlix::lang {

using namespace axisreading;

namespace {

    // Logarithmic paper takes the finer ruling once a decade is long enough to hold it.
    std::int32_t logPatternFor(std::int32_t period)
    {
        return static_cast<std::int32_t>(
            period < 401 ? GridPatternType::Logarithmic : GridPatternType::LogarithmicFine);
    }

    constexpr std::int32_t DecimalPeriod = 100;

    // Puts the pen slot that was selected before the ruling back, even when a line failed.
    class PenRestorer {
    public:
        explicit PenRestorer(render::EMF& surface)
            : m_surface(surface)
            , m_pen(surface.PenNo())
        {
        }
        ~PenRestorer()
        {
            if (m_pen < 0)
                return;
            try {
                m_surface.PenNo(m_pen);
            } catch (...) {
                // The slot was valid when it was read; nothing better to do while unwinding.
            }
        }
        PenRestorer(const PenRestorer&) = delete;
        PenRestorer& operator=(const PenRestorer&) = delete;

    private:
        render::EMF& m_surface;
        std::int32_t m_pen;
    };

    // One family of lines: each batch redefines pen slot 0 in its weight and the grid colour.
    void DrawGridLines(render::EMF& surface, render::ColorRef color, bool horizontal,
        std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t period,
        const GridPattern& pattern, std::size_t maxLines)
    {
        const auto batches = GridRuling::lines(horizontal, x, y, w, h, period, pattern, maxLines);
        if (batches.empty())
            return;
        const PenRestorer restorer(surface);
        for (const GridBatch& batch : batches) {
            surface.setPenType(0, static_cast<std::int32_t>(batch.weight) + 1, color, 0);
            for (const GridLine& line : batch.lines) {
                if (horizontal)
                    surface.HDxy(line.x, line.y, line.length);
                else
                    surface.VDxy(line.x, line.y, line.length);
            }
        }
    }

    void GraphPaperOneDir(render::EMF& surface, render::ColorRef color, bool horizontal,
        std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t period,
        std::int32_t type, std::size_t maxLines)
    {
        DrawGridLines(
            surface, color, horizontal, x, y, w, h, period, GraphLineData(type, period), maxLines);
    }

    // Draws the curve's lines, leaving out a step that lands on the face point the curve has
    // already reached: it would add nothing to the page, and dense data (a million points on one
    // page) would otherwise record millions of empty lines.
    class CurvePen {
    public:
        CurvePen(render::EMF& surface, std::int32_t x, std::int32_t y)
            : m_surface(surface)
            , m_x(x)
            , m_y(y)
        {
            m_surface.XY(x, y);
        }
        void lineTo(std::int32_t x, std::int32_t y)
        {
            if (x == m_x && y == m_y)
                return;
            m_surface.Dxy(x, y);
            m_x = x;
            m_y = y;
        }

    private:
        render::EMF& m_surface;
        std::int32_t m_x;
        std::int32_t m_y;
    };

    // The segments of the curve, sixteen steps each, in face units through the current axes.
    // A segment whose ends share their x is drawn as a straight jump to its end point.
    void drawCurve(render::EMF& surface, const AxisTable& axes,
        const std::vector<CECurve::PointRow>& points, const CECurve& curve)
    {
        CurvePen pen(surface, axes.xPage(points.front()[0]), axes.yPage(points.front()[1]));
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const double from = points[i][0];
            const double to = points[i + 1][0];
            const double step = (to - from) / 16;
            const auto segment = static_cast<std::int32_t>(i);
            // At most the seventeen points from `from` to `to`, also when the step is too small
            // to move a value as large as `from`.
            double v = from;
            for (int k = 0; k <= 16 && step != 0 && (step > 0 ? v <= to : v >= to); ++k) {
                pen.lineTo(axes.xPage(v), axes.yPage(curve.Y(v, segment)));
                v += step;
            }
            if (step == 0)
                pen.lineTo(axes.xPage(to), axes.yPage(points[i + 1][1]));
        }
        pen.lineTo(axes.xPage(points.back()[0]), axes.yPage(points.back()[1]));
    }

}

// gra,x,y,w,h; is decimal paper; with a period and a kind it is semi-logarithmic (kind 1,
// logarithmic along x) or logarithmic both ways.
DControl::ExecResult DControl::cmdGra()
{
    const auto t = readTokens<4>();
    QString fifth;
    const bool withPeriod = nextToken(fifth) == TokenType::TkNumber;
    QString kind;
    if (withPeriod) {
        kind = argT();
        skipToken();
    }
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto w = toI(t[2]);
    const auto h = toI(t[3]);
    const auto decimal = static_cast<std::int32_t>(GridPatternType::Decimal);
    if (!withPeriod) {
        GraphPaperOneDir(
            *m_surface, gridColor, false, x, y, w, h, DecimalPeriod, decimal, m_limits.gridLines);
        GraphPaperOneDir(
            *m_surface, gridColor, true, x, y, w, h, DecimalPeriod, decimal, m_limits.gridLines);
        return ExecResult::Done;
    }
    const auto period = toI(fifth);
    GraphPaperOneDir(*m_surface, gridColor, false, x, y, w, h, period, logPatternFor(period),
        m_limits.gridLines);
    if (kind == QStringLiteral("1"))
        GraphPaperOneDir(
            *m_surface, gridColor, true, x, y, w, h, DecimalPeriod, decimal, m_limits.gridLines);
    else
        GraphPaperOneDir(*m_surface, gridColor, true, x, y, w, h, period, logPatternFor(period),
            m_limits.gridLines);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdFgra()
{
    const auto t = readTokens<8>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto w = toI(t[2]);
    const auto h = toI(t[3]);
    const auto period = toI(t[4]);
    const auto type = toI(t[5]);
    const bool horizontal = toI(t[6]) != 0;
    GraphPaperOneDir(
        *m_surface, gridColor, horizontal, x, y, w, h, period, type, m_limits.gridLines);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdGlc()
{
    const auto t = readTokens<2>();
    gridColor = toI(t[0]);
    return ExecResult::Done;
}

// at,x1,y1,x2,y2,...; needs two points or more; fewer fail the statement. A curve is drawn in
// sixteen steps per point, so one through more than the limit's points (far more detail than
// a page can show) fails with the overflow error, naming that limit, instead of recording tens of
// millions of lines.
DControl::ExecResult DControl::cmdAt()
{
    auto next = [this](QString& token) { return nextToken(token); };
    std::vector<CECurve::PointRow> points;
    points.reserve(30);
    readAxisPairs(next, &DControl::toD, [&](double x, double y) { points.push_back({ x, y }); });
    if (points.size() > m_limits.curvePoints)
        throw shell::RunError::limitExceeded(QStringLiteral("曲線の点"),
            static_cast<std::int64_t>(m_limits.curvePoints), QStringLiteral("点"));
    CECurve curve;
    curve.Init(points, 0, 1, 0, static_cast<std::int32_t>(points.size()) - 1);
    drawCurve(*m_surface, m_axes, points, curve);
    return ExecResult::Done;
}

}
