#include "lang/DControl.h"

#include "render/EMF.h"
#include "shell/Convert.h"

#include <cmath>

// Lines, boxes, circles, clipping, the origin and the font and pen slots, in page coordinates.
// The surface keeps the current point, slots and origin; these commands convert and pass values.
namespace vorlix::lang {

DControl::ExecResult DControl::cmdH()
{
    const auto t = readTokens<4>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto length = toI(t[2]);
    m_surface->HDxy(x, y, length);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdV()
{
    const auto t = readTokens<4>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto length = toI(t[2]);
    m_surface->VDxy(x, y, length);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdD()
{
    const auto t = readTokens<5>();
    const auto x1 = toI(t[0]);
    const auto y1 = toI(t[1]);
    const auto x2 = toI(t[2]);
    const auto y2 = toI(t[3]);
    m_surface->MDxy(x1, y1, x2, y2);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdM()
{
    const auto t = readTokens<5>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto dx = toI(t[2]);
    const auto dy = toI(t[3]);
    m_surface->DMDxy(x, y, dx, dy);
    return ExecResult::Done;
}

// Length and angle pass through single precision first, as the forms were laid out with them.
DControl::ExecResult DControl::cmdG()
{
    const auto t = readTokens<5>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const double length = toS(t[2]);
    const double angle = toS(t[3]);
    const double theta = angle * 3.14159265358979 / 180.0;
    const auto dx = shell::toInt32(length * std::cos(theta));
    const auto dy = shell::toInt32(length * std::sin(theta));
    m_surface->DMDxy(x, y, dx, dy);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdPl()
{
    const auto t = readTokens<2>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    DrawPolyline(x, y);
    return ExecResult::Done;
}

// Every point is an offset from the first point, not from the previous one; the first token that
// is not a number ends the list and is consumed.
void DControl::DrawPolyline(std::int32_t x, std::int32_t y)
{
    m_surface->XY(x, y);
    QString dx;
    QString dy;
    for (;;) {
        if (nextToken(dx) != TokenType::TkNumber)
            return;
        if (nextToken(dy) != TokenType::TkNumber)
            return;
        m_surface->Dxy(addChecked(x, toI(dx)), addChecked(y, toI(dy)));
    }
}

DControl::ExecResult DControl::cmdF()
{
    const auto t = readTokens<2>();
    m_surface->FontNo(toI(t[0]));
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdP()
{
    const auto t = readTokens<2>();
    m_surface->PenNo(toI(t[0]));
    return ExecResult::Done;
}

// The axis mode is only taken when a third number follows; otherwise the third token is the end.
DControl::ExecResult DControl::cmdO()
{
    const auto t = readTokens<2>();
    QString third;
    const bool withMode = nextToken(third) == TokenType::TkNumber;
    if (withMode)
        skipToken();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const std::int32_t mode = withMode ? toI(third) : 0;
    m_surface->Home(mode, x, y);
    return ExecResult::Done;
}

// Rows of a table are the same statements drawn lower down: a shift moves them without touching
// the origin or the axis mode the face has set.
DControl::ExecResult DControl::cmdShift()
{
    const auto t = readTokens<3>();
    m_surface->Shift(toI(t[0]), toI(t[1]));
    return ExecResult::Done;
}

// A fractional size only survives when flags and orientation are given too; with fewer values
// the size is rounded to a whole number.
DControl::ExecResult DControl::cmdFs()
{
    const auto t = readTokens<3>();
    QString face = t[1];
    QString fourth;
    if (nextToken(fourth) != TokenType::TkNumber) {
        const auto slot = toI(t[0]);
        const auto size = toI(t[2]);
        m_surface->setFontType(slot, face, size, 0, 0);
        return ExecResult::Done;
    }
    QString fifth;
    if (nextToken(fifth) == TokenType::TkNumber) {
        skipToken();
        const auto slot = toI(t[0]);
        const double size = toD(t[2]);
        const auto flags = toI(fourth);
        const auto orientation = toI(fifth);
        m_surface->setFontType(slot, face, size, flags, orientation);
        return ExecResult::Done;
    }
    const auto slot = toI(t[0]);
    const auto size = toI(t[2]);
    const auto flags = toI(fourth);
    m_surface->setFontType(slot, face, size, flags, 0);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdPs()
{
    const auto t = readTokens<5>();
    const auto slot = toI(t[0]);
    const auto width = toI(t[1]);
    const auto color = toI(t[2]);
    const auto style = toI(t[3]);
    m_surface->setPenType(slot, width, color, style);
    return ExecResult::Done;
}

// A white filled box blanks an area.
DControl::ExecResult DControl::cmdCbx()
{
    const auto t = readTokens<5>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto w = toI(t[2]);
    const auto h = toI(t[3]);
    std::int32_t white = 15;
    m_surface->Box(x, y, w, h, white);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdR()
{
    const auto t = readTokens<4>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto radius = toI(t[2]);
    m_surface->Circ(x, y, radius, -1);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdC()
{
    const auto t = readTokens<5>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto w = toI(t[2]);
    const auto h = toI(t[3]);
    (void)m_surface->Clip(x, y, w, h);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdNc()
{
    skipToken();
    m_surface->DelClip();
    return ExecResult::Done;
}

}
