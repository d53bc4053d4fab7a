#include "document/FaceLayout.h"

#include "document/Merge.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;
using Word = FaceLayout::Word;

namespace {

    const QString kPiece = QStringLiteral("piece");
    const QString kEnd = QStringLiteral("end");
    const QString kEndLet = QStringLiteral("endlet");

    struct WordName {
        Word word;
        const char16_t* text;
    };
    constexpr std::array<WordName, 7> kWords { {
        { Word::Out, u"out" },
        { Word::Rows, u"rows" },
        { Word::EndRows, u"endrows" },
        { Word::LastPage, u"lastpage" },
        { Word::EndLastPage, u"endlastpage" },
        { Word::NotLastPage, u"notlastpage" },
        { Word::EndNotLastPage, u"endnotlastpage" },
    } };

    QString nameOf(Word word)
    {
        for (const WordName& entry : kWords) {
            if (entry.word == word)
                return QString::fromUtf16(entry.text);
        }
        return {};
    }

    Word endOf(Word opening)
    {
        switch (opening) {
        case Word::Rows:
            return Word::EndRows;
        case Word::LastPage:
            return Word::EndLastPage;
        case Word::NotLastPage:
            return Word::EndNotLastPage;
        default:
            return Word::None;
        }
    }

    Word openingOf(Word end)
    {
        switch (end) {
        case Word::EndRows:
            return Word::Rows;
        case Word::EndLastPage:
            return Word::LastPage;
        case Word::EndNotLastPage:
            return Word::NotLastPage;
        default:
            return Word::None;
        }
    }

    const QString kPrefix = QStringLiteral("Vorlix/Face>");

}

// Walks the face as the merge does, stopping at the words that shape sections and pages: a page
// word that begins a statement, and "piece" or "end" wherever they stand. What the merge reads as
// a unit (a let body, a reference after "$" or "&", the rest of a chbase, course or head tag
// statement, a statement the merge drops) is passed over as a unit, so that a word inside it
// counts no more here than there.
class FaceLayout::Scan {
public:
    explicit Scan(TokenCutter& cutter)
        : m_cutter(cutter)
    {
    }

    struct Found {
        Word word = Word::None; // a page word, or None for "piece", "end" and the end of the text
        QString text; // the word; empty at the end of the text
        std::int32_t position = 0;
    };

    Found next(bool head)
    {
        for (;;) {
            const TokenType type = m_cutter.getToken(m_token);
            const std::int32_t position = m_cutter.prevPoint();
            if (type == TokenType::TkEndOfText)
                return { Word::None, QString(), position };
            if (type == TokenType::TkSymbol) {
                passOperand();
                continue;
            }
            if (type != TokenType::TkWord)
                continue;
            if (m_token == kPiece || m_token == kEnd)
                return { Word::None, m_token, position };
            if (m_token == QLatin1String("let")) {
                passLet();
                continue;
            }
            if (m_token == QLatin1String("chbase") || m_token == QLatin1String("course")
                || (head && m_token == QLatin1String("tag"))) {
                skipRest(TokenType::TkWord);
                continue;
            }
            const Word word = wordOf(m_token);
            if (word != Word::None && startsStatement(m_cutter))
                return { word, m_token, position };
        }
    }

    void skipRest(TokenType last)
    {
        while (!lang::endsStatement(last))
            last = m_cutter.getToken(m_token);
    }

private:
    TokenCutter& m_cutter;
    QString m_token;

    void unread(TokenType type)
    {
        if (lang::endsStatement(type))
            m_cutter.SetPoint(m_cutter.prevPoint());
    }

    void passOperand()
    {
        const char16_t op = m_token.size() == 1 ? m_token.front().unicode() : 0;
        if (op == u'$' || op == u'&') {
            const TokenType type = m_cutter.getToken(m_token);
            if (type == TokenType::TkSymbol && m_token == QLatin1String("."))
                (void)Merge::readPath(m_cutter, m_token);
            else
                unread(type);
        } else if (op == u'%') {
            const TokenType type = m_cutter.getToken(m_token);
            if (type != TokenType::TkNumber)
                skipRest(type);
        } else if (op != u'+') {
            skipRest(TokenType::TkSymbol);
        }
    }

    // let,NAME; then raw text up to "endlet", whatever words it holds. A let without its endlet
    // takes the rest of the face as its text, as it always has: stored faces may end that way.
    void passLet()
    {
        const TokenType type = m_cutter.getToken(m_token);
        skipRest(type);
        if (type != TokenType::TkWord)
            return;
        (void)m_cutter.getToTemin(kEndLet);
        skipRest(TokenType::TkWord);
    }
};

Word FaceLayout::wordOf(QStringView word)
{
    // Most words of a face are none of these: the first letter tells at once.
    if (word.isEmpty() || QStringLiteral("orenl").indexOf(word.front()) < 0)
        return Word::None;
    for (const WordName& entry : kWords) {
        if (word == QStringView(entry.text))
            return entry.word;
    }
    return Word::None;
}

bool FaceLayout::startsStatement(const TokenCutter& cutter)
{
    const QString& text = cutter.Text();
    for (qsizetype i = qsizetype(cutter.prevPoint()) - 2; i >= 0 && i < text.size(); --i) {
        const char16_t c = text[i].unicode();
        if (c == TokenCutter::MarkStatement)
            return true;
        if (c != TokenCutter::MarkBlank)
            return false;
    }
    return true;
}

bool FaceLayout::sectionEndsHere(TokenCutter& cutter)
{
    const std::int32_t point = cutter.Point();
    const bool commaSeen = cutter.fCtC;
    QString token;
    TokenType type = cutter.getToken(token);
    while (type == TokenType::TkSeparator)
        type = cutter.getToken(token);
    const bool ends
        = type == TokenType::TkEndOfText || (type == TokenType::TkWord && token == kEnd);
    cutter.SetPoint(point);
    cutter.fCtC = commaSeen;
    return ends;
}

void FaceLayout::skipBlock(TokenCutter& cutter, Word end)
{
    Scan scan(cutter);
    for (;;) {
        const Scan::Found found = scan.next(false);
        if (found.text.isEmpty() || found.text == kEnd)
            return;
        if (found.word == end) {
            scan.skipRest(TokenType::TkWord);
            return;
        }
    }
}

FaceLayout::Rows FaceLayout::readRows(TokenCutter& cutter, std::optional<Problem>& problem)
{
    Rows rows;
    QString token;
    const auto refuse = [&](const QString& what) {
        if (!problem)
            problem = Problem { cutter.prevPoint(), kPrefix + what + token };
    };
    TokenType type = cutter.getToken(token);
    if (type == TokenType::TkWord)
        rows.name = token;
    else
        refuse(QStringLiteral("rows の名前が語でない:"));
    if (!lang::endsStatement(type))
        type = cutter.getToken(token);
    const double perPage = type == TokenType::TkNumber ? token.toDouble() : 0;
    if (perPage >= 1 && perPage <= INT_MAX && perPage == std::floor(perPage))
        rows.perPage = static_cast<std::int64_t>(perPage);
    else
        refuse(QStringLiteral("rows の行数が正の整数でない:"));
    if (!lang::endsStatement(type))
        type = cutter.getToken(token);
    rows.pitch = type == TokenType::TkNumber ? token.toDouble() : 0;
    if (!(rows.pitch > 0 && rows.pitch <= INT_MAX))
        refuse(QStringLiteral("rows の行送りが正の数でない:"));
    if (!lang::endsStatement(type))
        type = cutter.getToken(token);
    if (!lang::endsStatement(type))
        refuse(QStringLiteral("rows の引数は名前・行数・行送りの 3 つ:"));
    while (!lang::endsStatement(type))
        type = cutter.getToken(token);
    return rows;
}

std::int64_t FaceLayout::pagesOf(std::int64_t rowCount) const
{
    const std::int64_t parts = m_pageBreaks + 1;
    if (!m_rows)
        return parts;
    const std::int64_t rowPages
        = std::max<std::int64_t>(1, (rowCount + m_rows->perPage - 1) / m_rows->perPage);
    return parts + rowPages - 1;
}

FaceLayout FaceLayout::read(const QString& face)
{
    FaceLayout layout;
    TokenCutter cutter;
    Merge::configure(cutter);
    cutter.TextEx(face);
    Scan scan(cutter);
    std::optional<Problem>& problem = layout.m_problem;
    const auto refuse = [&problem](std::int32_t position, const QString& message) {
        if (!problem)
            problem = Problem { position, kPrefix + message };
    };
    struct Open {
        Word word;
        std::int32_t position;
    };
    std::vector<Open> open;
    bool head = true;
    std::int32_t headOut = 0; // where the first out of the head stands
    std::int32_t rowsAt = 0;
    std::int64_t pieces = 0;
    const auto inside = [&open](Word word) {
        return std::any_of(
            open.begin(), open.end(), [word](const Open& o) { return o.word == word; });
    };
    while (!problem) {
        const Scan::Found found = scan.next(head);
        if (problem || found.text.isEmpty() || found.text == kEnd)
            break;
        const std::int32_t at = found.position;
        if (found.text == kPiece) {
            scan.skipRest(TokenType::TkWord);
            if (!head) {
                ++pieces;
            } else if (headOut != 0) {
                refuse(headOut,
                    QStringLiteral(
                        "out は piece の前の共通部分には書けない（共通部分はどのページにも入る）"));
            } else {
                head = false;
                layout.m_headOnly = false;
            }
            continue;
        }
        switch (found.word) {
        case Word::Out:
            if (!open.empty()) {
                refuse(at, nameOf(open.back().word) + QStringLiteral(" の中に out は書けない"));
                break;
            }
            scan.skipRest(TokenType::TkWord);
            if (head && headOut == 0)
                headOut = at;
            if (!sectionEndsHere(cutter))
                ++(head ? layout.m_headBreaks : layout.m_pageBreaks);
            break;
        case Word::Rows: {
            if (head) {
                refuse(at, QStringLiteral("rows は piece の後のページ部に書く"));
            } else if (inside(Word::Rows)) {
                refuse(at, QStringLiteral("rows の中に rows は書けない（入れ子の明細は扱えない）"));
            } else if (!open.empty()) {
                refuse(at,
                    nameOf(open.back().word)
                        + QStringLiteral(" の中に rows は書けない（ページ数が決まらない）"));
            } else if (layout.m_rows) {
                refuse(at, QStringLiteral("rows はページ部に 1 つだけ"));
            }
            const Rows rows = readRows(cutter, problem);
            layout.m_rows = rows;
            rowsAt = at;
            open.push_back({ Word::Rows, at });
            break;
        }
        case Word::LastPage:
        case Word::NotLastPage:
            scan.skipRest(TokenType::TkWord);
            if (head)
                refuse(at, found.text + QStringLiteral(" は piece の後のページ部に書く"));
            else if (inside(Word::LastPage) || inside(Word::NotLastPage))
                refuse(at,
                    QStringLiteral("lastpage と notlastpage の中に ") + found.text
                        + QStringLiteral(" は書けない"));
            open.push_back({ found.word, at });
            break;
        default: {
            scan.skipRest(TokenType::TkWord);
            const Word opening = openingOf(found.word);
            if (!inside(opening))
                refuse(at,
                    found.text + QStringLiteral(" の前に ") + nameOf(opening)
                        + QStringLiteral(" がない"));
            else if (open.back().word != opening)
                refuse(open.back().position,
                    nameOf(open.back().word) + QStringLiteral(" に ")
                        + nameOf(endOf(open.back().word)) + QStringLiteral(" がない"));
            else
                open.pop_back();
            break;
        }
        }
    }
    if (!open.empty())
        refuse(open.back().position,
            nameOf(open.back().word) + QStringLiteral(" に ") + nameOf(endOf(open.back().word))
                + QStringLiteral(" がない"));
    if (layout.m_rows && pieces > 0)
        refuse(rowsAt,
            QStringLiteral("piece が 2 つ以上あるフォームに rows は書けない（1 ページに複数の"
                           "レコードを置くので、続きのページを作れない）"));
    return layout;
}

}
