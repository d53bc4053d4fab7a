#include "document/StatementMap.h"

#include "document/Merge.h"
#include "lang/TokenCutter.h"

#include <algorithm>
#include <limits>

namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;

void StatementMap::beginRun(qsizetype body, std::int32_t face, std::int64_t record)
{
    const auto kept = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(record, 0, std::numeric_limits<std::int32_t>::max()));
    // A run that ended before its first statement (a statement dropped, then the page went on)
    // gives way to the one that starts there.
    if (!m_runs.empty() && m_runs.back().body == body)
        m_runs.back() = { body, face, kept };
    else
        m_runs.push_back({ body, face, kept });
}

namespace {

    // Statement ends of `text` before the position `before` (1-based), as the interpreter cuts it.
    int statementEnds(QStringView text, qsizetype before)
    {
        TokenCutter cutter;
        cutter.TextEx(text.left(std::max<qsizetype>(0, before - 1)).toString());
        QString token;
        int ends = 0;
        for (;;) {
            const TokenType type = cutter.getToken(token);
            if (type == TokenType::TkEndOfText)
                return ends;
            if (type == TokenType::TkSeparator)
                ++ends;
        }
    }

    // The start of the statement `ends` statements after the one at `from` in the face.
    std::int32_t statementAfter(const QString& face, std::int32_t from, int ends)
    {
        TokenCutter cutter;
        Merge::configure(cutter);
        cutter.TextEx(face);
        cutter.SetPoint(from);
        QString token;
        for (int seen = 0; seen < ends;) {
            const TokenType type = cutter.getToken(token);
            if (type == TokenType::TkEndOfText)
                return 0;
            if (type == TokenType::TkSeparator)
                ++seen;
        }
        // A statement begins at its first token, after blanks, line ends and comments.
        std::int32_t p = cutter.Point();
        const QString& working = cutter.Text();
        while (p >= 1 && p <= working.size()
            && (working[p - 1] == QChar(TokenCutter::MarkBlank)
                || working[p - 1] == QChar(TokenCutter::MarkStatement)))
            ++p;
        return p;
    }

}

std::optional<StatementMap::Place> StatementMap::find(
    qsizetype textStart, QStringView text, qsizetype offset, const QString& face) const
{
    const qsizetype body = textStart + offset - 1;
    const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), body,
        [](qsizetype position, const Run& run) { return position < run.body; });
    if (after == m_runs.begin())
        return std::nullopt;
    const Run& run = *std::prev(after);
    if (run.face <= 0 || run.body < textStart)
        return std::nullopt;
    const int ends = statementEnds(text.mid(run.body - textStart), body - run.body + 1);
    const std::int32_t position = statementAfter(face, run.face, ends);
    if (position <= 0 || position > face.size())
        return std::nullopt;
    Place place;
    place.position = position;
    place.record = run.record;
    place.line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < position - 1; ++i) {
        if (face[i] == u'\n') {
            ++place.line;
            lineStart = i + 1;
        }
    }
    place.column = static_cast<std::int32_t>(position - lineStart);
    return place;
}

}
