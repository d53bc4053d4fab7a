#include "document/Merge.h"

#include "shell/Log.h"

#include <cmath>

// How the merge divides a record into pages: page breaks, the rows that flow onto continuation
// pages, the blocks of the last page and of the others, and the page numbers.
namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;
using Word = FaceLayout::Word;

void Merge::failAt(std::int32_t position, const QString& message)
{
    if (m_fatal)
        return;
    m_report.note(Problem::Error, position, message);
    shell::WriteLog(message);
    m_fatal = true;
    m_abortPass = true;
}

void Merge::readLayout(const QString& face)
{
    m_layout = FaceLayout::read(face);
    m_pass = {};
    if (const auto& problem = m_layout.problem())
        failAt(problem->position, problem->message);
    // A face without page section is all its pages; a face with one numbers the pages of each
    // pass over its page section, and its head, common to all pages, has no page number.
    if (m_layout.headOnly()) {
        m_pass.numbered = true;
        m_pass.pages = m_layout.headPages();
    }
}

QString Merge::lookUpSystem(const QString& path)
{
    const std::int32_t here = m_tree->RootIndex();
    if (here != 0 && path.startsWith(QLatin1String("System/"))) {
        m_tree->ChRootTree();
        const QString value = m_tree->Value(path);
        m_tree->ChIndex(here);
        if (value != Tree::NoLabel)
            return value;
    }
    return m_pass.numbered ? pageNumber(path.split(u'/')) : Tree::NoLabel;
}

QString Merge::pageNumber(const QStringList& parts) const
{
    if (parts.size() < 2 || parts[parts.size() - 2] != QLatin1String("System"))
        return Tree::NoLabel;
    const QString& item = parts.back();
    std::int64_t number = 0;
    if (item == QLatin1String("page"))
        number = m_pass.page;
    else if (item == QLatin1String("pages"))
        number = m_pass.pages;
    else if (item == QLatin1String("sheet"))
        number = std::max<std::int64_t>(1, m_pageCount);
    else
        return Tree::NoLabel;
    std::int32_t dir = parts.size() == 2 ? 0 : m_tree->RootIndex();
    for (qsizetype i = 0; i + 2 < parts.size() && dir >= 0; ++i) {
        if (parts[i] == QLatin1String(".."))
            dir = m_tree->parentOf(dir);
        else if (parts[i] != QLatin1String("."))
            dir = m_tree->directoryOf(dir, parts[i]);
    }
    return dir == 0 ? QString::number(number) : Tree::NoLabel;
}

void Merge::startNewPage()
{
    append(QStringLiteral("#out") + QString::number(m_pageCount) + QStringLiteral("\r\n"));
    ++m_pageCount;
    m_commitPos = writePos();
    m_nextFace = -1;
    m_pageStart.push_back(writePos());
    m_map.endPage();
    handOverFinishedPages();
}

void Merge::nextPageOfPass()
{
    startNewPage();
    ++m_pass.page;
}

void Merge::beginPass()
{
    m_pass = {};
    m_pass.numbered = true;
    m_pass.partStart = m_cutter.Point();
    if (const auto& rows = m_layout.rows())
        m_pass.rows = DetailRows(*m_tree, m_tree->RootIndex(), translate(rows->name));
    m_pass.pages = m_layout.pagesOf(m_pass.rows.count());
}

// The part of the page section that holds the rows block goes on a further page for as long as
// rows are left; an out then starts the next part on a page of its own, unless nothing follows it.
bool Merge::continuePass(Stop stop)
{
    if (stop == Stop::EndRows)
        return true;
    if (m_pass.rowsHere && m_pass.nextRow < m_pass.rows.count()) {
        m_cutter.SetPoint(m_pass.partStart);
        m_pass.rowsHere = false;
        nextPageOfPass();
        return true;
    }
    if (stop != Stop::Out || FaceLayout::sectionEndsHere(m_cutter))
        return false;
    m_pass.partStart = m_cutter.Point();
    m_pass.rowsHere = false;
    nextPageOfPass();
    return true;
}

Merge::Stop Merge::continueHead()
{
    if (!FaceLayout::sectionEndsHere(m_cutter))
        nextPageOfPass();
    return handleTokens(m_cutter, Context::Head, 0);
}

bool Merge::handlePageWord(
    TokenCutter& cutter, const QString& word, Context context, int depth, Stop& stop)
{
    const Word kind = FaceLayout::wordOf(word);
    if (kind == Word::None || !FaceLayout::startsStatement(cutter))
        return false;
    if (context == Context::Fragment) {
        // An out in a fragment is written as a statement, as it always was: the page count must
        // be known before the record's first page, and a fragment's text is data.
        if (kind == Word::Out)
            return false;
        fail(QStringLiteral("Vorlix/Fragment>") + word
            + QStringLiteral(" は差し込み断片（&）の中では使えない"));
        return true;
    }
    switch (kind) {
    case Word::Out:
        skipRest(cutter, TokenType::TkWord);
        stop = Stop::Out;
        break;
    case Word::Rows:
        handleRows(cutter, depth);
        break;
    case Word::EndRows:
        skipRest(cutter, TokenType::TkWord);
        stop = Stop::EndRows;
        break;
    case Word::LastPage:
    case Word::NotLastPage:
        skipRest(cutter, TokenType::TkWord);
        if (onLastPage() != (kind == Word::LastPage))
            FaceLayout::skipBlock(
                cutter, kind == Word::LastPage ? Word::EndLastPage : Word::EndNotLastPage);
        break;
    default:
        skipRest(cutter, TokenType::TkWord);
        break;
    }
    return true;
}

void Merge::writeStatement(const QString& text)
{
    m_map.beginRun(0, placeRecord());
    m_map.addStatement();
    m_nextFace = -1;
    append(text);
    m_commitPos = writePos();
    m_stringEnd = 0;
}

// Each row is merged with its entry as the current directory, the origin moved down by the rows
// before it on the page ("shift" statements between them, and one that moves it back after).
void Merge::handleRows(TokenCutter& cutter, int depth)
{
    std::optional<FaceLayout::Problem> problem;
    const FaceLayout::Rows rows = FaceLayout::readRows(cutter, problem);
    if (problem) {
        failAt(problem->position, problem->message);
        return;
    }
    // The rows statement wrote nothing: the rows' statements are their own.
    m_statementFace = 0;
    const std::int32_t body = cutter.Point();
    const std::int32_t here = m_tree->RootIndex();
    const std::int64_t first = m_pass.nextRow;
    const std::int64_t last = std::min(m_pass.rows.count(), first + rows.perPage);
    m_pass.rowsHere = true;
    const auto offset = [&rows](std::int64_t row) {
        return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(row) * rows.pitch));
    };
    std::int64_t row = first;
    for (; row < last && !m_abortPass; ++row) {
        if (row > first)
            writeStatement(
                QStringLiteral("shift,0,%1;").arg(offset(row - first) - offset(row - first - 1)));
        m_pass.rows.enter(*m_tree, row);
        cutter.SetPoint(body);
        const Stop stop = handleTokens(cutter, Context::Page, depth);
        m_tree->ChIndex(here);
        // A row cut short leaves none for a further page, which would only meet it again.
        if (stop != Stop::EndRows) {
            m_pass.nextRow = m_pass.rows.count();
            return;
        }
    }
    if (m_abortPass)
        return;
    m_pass.nextRow = row;
    if (row == first)
        FaceLayout::skipBlock(cutter, Word::EndRows);
    else if (row - first > 1)
        writeStatement(QStringLiteral("shift,0,%1;").arg(-offset(row - first - 1)));
}

}
