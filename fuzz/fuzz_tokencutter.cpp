// Feeds arbitrary bytes to the token cutter under every option setting the program uses and
// checks that cutting always ends: every call either moves on or reports the end of the text,
// and that a text normalised after another long one comes out as if it were the first.
#include "lang/TokenCutter.h"
#include "shell/CodePage.h"
#include "shell/RunError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using vorlix::lang::TokenCutter;
using vorlix::lang::TokenType;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const QByteArray bytes(
        reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString text = vorlix::shell::decodeText(bytes).text;

    TokenCutter cutter;
    cutter.SetOpt1((options & 1) == 0);
    cutter.SetOpt3((options & 2) == 0);
    cutter.SetOpt4((options & 4) != 0);
    if (options & 8)
        cutter.SetOpt7(QStringLiteral("/"));
    if (options & 16) {
        cutter.SetOpt2(QStringLiteral("!"));
        cutter.SetOpt5(QStringLiteral("%"));
        cutter.SetOpt6(QStringLiteral("|"));
    }
    cutter.TextEx(text);

    // A separator after an empty field is handed out without moving, so at most two calls per
    // position plus the end.
    const qsizetype limit = 2 * (text.size() + 4);
    QString token;
    qsizetype calls = 0;
    for (;;) {
        const TokenType type = cutter.getToken(token);
        if (type == TokenType::TkEndOfText)
            break;
        if (cutter.Point() < 1 || cutter.Point() > cutter.Size() + 3)
            std::abort();
        if (++calls > limit)
            std::abort();
    }
    if (cutter.getToken(token) != TokenType::TkEndOfText || !token.isEmpty())
        std::abort();

    // Raw text up to a terminator taken from the input.
    cutter.TextEx(text);
    const QString terminator = text.left(1 + (options >> 5));
    try {
        const QString raw = cutter.getToTemin(terminator);
        if (raw.size() > text.size() + 3)
            std::abort();
    } catch (const vorlix::shell::RunError&) {
    }

    // A text normalised after a long one that begins alike comes out as if it came first:
    // the same long text twice over, then with one character left out of its middle.
    if (text.isEmpty())
        return 0;
    QString first = text;
    while (first.size() < 300)
        first += text;
    const qsizetype gap = (first.size() / 2 + options) % first.size();
    const QString second = first.left(gap) + first.mid(gap + 1);
    TokenCutter fresh;
    fresh.SetOpt1(cutter.Opt1());
    fresh.SetOpt2(cutter.Opt2());
    fresh.SetOpt5(cutter.Opt5());
    fresh.SetOpt6(cutter.Opt6());
    cutter.TextEx(first);
    fresh.TextEx(first);
    if (cutter.Text() != fresh.Text())
        std::abort();
    cutter.TextEx(second);
    TokenCutter alone;
    alone.SetOpt1(cutter.Opt1());
    alone.SetOpt2(cutter.Opt2());
    alone.SetOpt5(cutter.Opt5());
    alone.SetOpt6(cutter.Opt6());
    alone.TextEx(second);
    if (cutter.Text() != alone.Text() || cutter.Size() != alone.Size())
        std::abort();
    return 0;
}
