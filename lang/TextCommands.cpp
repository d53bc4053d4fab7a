#include "lang/DControl.h"

#include "render/EMF.h"
#include "shell/RunError.h"

// Text: plain runs ("s"), marked-up runs ("x") and text tables ("t").
namespace vorlix::lang {

namespace {

    bool startsText(TokenType type)
    {
        const int t = static_cast<int>(type);
        return t >= static_cast<int>(TokenType::TkWord)
            && t <= static_cast<int>(TokenType::TkSymbol);
    }

}

DControl::ExecResult DControl::cmdS()
{
    PrintText(true, true);
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdX()
{
    PrintText(false, true);
    return ExecResult::Done;
}

// The text is every token up to the first number (its width) or the end of the statement, joined
// without separators. A number in the middle therefore ends the text, and what follows it comes
// back to the main loop as a statement of its own.
std::optional<DControl::TextPieces> DControl::readTextPieces()
{
    BorrowedToken buffer(m_tokenPool);
    QString& token = buffer.get();
    TokenType type = nextToken(token);
    if (!startsText(type)) {
        while (!endsStatement(type))
            type = nextToken(token);
        return std::nullopt;
    }
    // A copy of its own: the text goes into the page, the buffer back to the pool.
    TextPieces pieces { QString(token.constData(), token.size()), {} };
    for (;;) {
        type = nextToken(token);
        if (type == TokenType::TkNumber) {
            pieces.number = token;
            break;
        }
        if (endsStatement(type))
            break;
        pieces.text += token;
    }
    return pieces;
}

void DControl::moveToPosition()
{
    const auto t = readTokens<2>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    m_surface->XY(x, y);
}

void DControl::PrintText(bool plain, bool readPosition)
{
    if (readPosition)
        moveToPosition();
    auto pieces = readTextPieces();
    if (!pieces)
        return;
    const std::int32_t width = pieces->number.isEmpty() ? 0 : toI(pieces->number);
    if (plain)
        m_surface->LPK(pieces->text, width);
    else
        m_surface->PrintLn(pieces->text, width);
}

DControl::ExecResult DControl::cmdT()
{
    const auto t = readTokens<3>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    const auto n = toI(t[2]);
    PrintTable(x, y, n);
    return ExecResult::Done;
}

// Items go across (modes 1 and 3) or down (0 and 2, and any other mode as 2) by the steps, and
// after n items start a new line or column one pitch further. The steps are read as they come,
// so a huge n costs only the tokens the statement really has.
void DControl::PrintTable(std::int32_t x, std::int32_t y, std::int32_t n)
{
    const auto head = readTokens<2>();
    const auto mode = toI(head[0]);
    const auto pitch = toI(head[1]);
    if (n < 0)
        throw shell::RunError::subscriptOutOfRange();
    m_steps.assign(1, 0);
    for (std::int64_t i = 1; i < n; ++i)
        m_steps.push_back(argI());
    if (n >= 1)
        m_steps.push_back(0);
    const bool across = mode == 1 || mode == 3;
    const bool plain = mode == 0 || mode == 1;
    std::int32_t cx = x;
    std::int32_t cy = y;
    std::int32_t item = 1;
    QString token;
    for (;;) {
        const TokenType type = nextToken(token);
        if (endsStatement(type))
            return;
        m_surface->XY(cx, cy);
        if (plain)
            m_surface->LPK(token, 0);
        else
            m_surface->PrintLn(token, 0);
        if (static_cast<std::size_t>(item) >= m_steps.size())
            throw shell::RunError::subscriptOutOfRange();
        const std::int32_t step = m_steps[static_cast<std::size_t>(item)];
        if (across)
            cx = addChecked(cx, step);
        else
            cy = addChecked(cy, step);
        if (++item > n) {
            item = 1;
            if (across) {
                cx = x;
                cy = addChecked(cy, pitch);
            } else {
                cy = y;
                cx = addChecked(cx, pitch);
            }
        }
    }
}

}
