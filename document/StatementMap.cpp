#include "document/StatementMap.h"

#include "document/Merge.h"
#include "lang/TokenCutter.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;

namespace {

    std::int32_t clamped(std::int64_t value)
    {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value,
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }

}

std::size_t StatementMap::RunsHash::operator()(const std::vector<Run>& runs) const
{
    std::size_t hash = runs.size();
    for (const Run& run : runs) {
        for (const std::int32_t part : { run.face, run.statements, run.record })
            hash = hash * 1000003U ^ std::hash<std::int32_t> {}(part);
        hash = hash * 31U + (run.sameStatement ? 1U : 0U);
    }
    return hash;
}

void StatementMap::beginRun(std::int32_t face, std::int64_t record, bool sameStatement)
{
    if (m_broken)
        return;
    if (m_current.empty())
        m_pageRecord = record;
    m_current.push_back({ face, 0, clamped(record - m_pageRecord), sameStatement });
}

void StatementMap::addStatement()
{
    if (!m_broken && !m_current.empty())
        ++m_current.back().statements;
}

void StatementMap::breakPage()
{
    if (m_broken)
        return;
    m_current.push_back({ -1, std::numeric_limits<std::int32_t>::max(), 0, false });
    m_broken = true;
}

void StatementMap::endPage()
{
    const auto [known, added] = m_known.try_emplace(m_current, std::uint32_t(m_sequences.size()));
    if (added)
        m_sequences.push_back(m_current);
    m_pages.push_back({ known->second, clamped(m_pageRecord) });
    m_current.clear();
    m_pageRecord = 0;
    m_broken = false;
}

std::size_t StatementMap::storedBytes() const
{
    std::size_t bytes = m_pages.capacity() * sizeof(Page);
    // Each sequence is kept twice: as the key that finds it and in the list.
    for (const auto& runs : m_sequences)
        bytes += 2 * (runs.capacity() * sizeof(Run) + sizeof(runs));
    return bytes;
}

namespace {

    // The statements of `text` that end before 1-based position `before`, as the interpreter
    // counts them: separators before the first token end no statement (an empty statement at a
    // page's start, after the head's leading blank), and separators in a row count once.
    int statementsBefore(QStringView text, qsizetype before)
    {
        TokenCutter cutter;
        cutter.TextEx(text.left(std::max<qsizetype>(0, before - 1)).toString());
        QString token;
        int ends = 0;
        bool begun = false;
        for (;;) {
            const TokenType type = cutter.getToken(token);
            if (type == TokenType::TkEndOfText)
                return ends;
            if (type == TokenType::TkSeparator)
                ends += begun ? 1 : 0;
            else
                begun = true;
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
    std::int32_t page, QStringView text, qsizetype offset, const QString& face) const
{
    if (page < 0 || static_cast<std::size_t>(page) >= m_pages.size())
        return std::nullopt;
    const Page& kept = m_pages[static_cast<std::size_t>(page)];
    int before = statementsBefore(text, offset);
    for (const Run& run : m_sequences[kept.runs]) {
        if (before >= run.statements) {
            before -= run.statements;
            continue;
        }
        if (run.face <= 0)
            return std::nullopt;
        const std::int32_t position
            = run.sameStatement ? run.face : statementAfter(face, run.face, before);
        if (position <= 0 || position > face.size())
            return std::nullopt;
        Place place;
        place.position = position;
        place.record = std::int64_t(kept.record) + run.record;
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
    return std::nullopt;
}

}
