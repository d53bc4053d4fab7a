#include "lang/DControl.h"

#include "render/EMF.h"
#include "shell/RunError.h"
#include "shell/UserInterface.h"

#include <QScopeGuard>
#include <QStringView>
#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace vorlix::lang {

using shell::RunError;

namespace {

    const QString UndefinedPrefix = QStringLiteral("DControl/GoDoc>未定義のコマンド又はラベル:");
    const QString NotCommandPrefix = QStringLiteral("DControl/GoDoc>コマンド又はラベルでない:");
    const QString FailurePrefix = QStringLiteral("DControl/GoDoc/OnErr>");
    const QString CausePrefix = QStringLiteral("  エラー原因のコマンド:");
    // What every page's run begins with, before the common head.
    const QString Start = QStringLiteral("start;");
    const QString DamagedPicturePrefix = QStringLiteral("DControl/img>ピクチャが壊れています:");

    // At most this many tokens of a stray statement, and this many characters of a quoted
    // text, go into a diagnostic line.
    constexpr int QuotedTokens = 15;
    constexpr int QuotedCharacters = 240;

    // Milliseconds between two rounds of event handling during a run.
    constexpr qint64 EventInterval = 20;

    // Command words are short and plain ASCII: each packs into two numbers, and the dispatcher
    // finds it by a binary search instead of hashing a string per statement.
    constexpr qsizetype MaxWordLength = 16;
    using WordKey = std::pair<std::uint64_t, std::uint64_t>;

    std::optional<WordKey> wordKey(QStringView word)
    {
        if (word.isEmpty() || word.size() > MaxWordLength)
            return std::nullopt;
        WordKey key { 0, 0 };
        for (qsizetype i = 0; i < word.size(); ++i) {
            const char16_t c = word[i].unicode();
            if (c >= 128)
                return std::nullopt;
            (i < 8 ? key.first : key.second) |= std::uint64_t { c } << (8 * (i % 8));
        }
        return key;
    }

    using CommandEntry = std::pair<WordKey, Command>;

    const std::vector<CommandEntry>& commandTable()
    {
        static const std::vector<CommandEntry> table = [] {
            std::vector<CommandEntry> t;
            for (int i = 0; i < CommandCount; ++i)
                t.emplace_back(
                    *wordKey(QString::fromLatin1(CommandWords[i])), static_cast<Command>(i));
            std::sort(t.begin(), t.end());
            return t;
        }();
        return table;
    }

    std::optional<Command> findCommand(QStringView word)
    {
        const auto key = wordKey(word);
        if (!key)
            return std::nullopt;
        const auto& table = commandTable();
        const auto found = std::lower_bound(table.begin(), table.end(), *key,
            [](const CommandEntry& entry, const WordKey& k) { return entry.first < k; });
        if (found == table.end() || found->first != *key)
            return std::nullopt;
        return found->second;
    }

    std::int32_t advance(std::int32_t y, std::int32_t step)
    {
        return y > std::numeric_limits<std::int32_t>::max() - step ? y : y + step;
    }

}

DControl::DControl(std::shared_ptr<const render::TextMetrics> metrics)
    : m_surface(std::make_unique<render::EMF>(std::move(metrics)))
{
    m_tokenPool.reserve(64);
}

// The surface goes before the cutter, and the life log's last line comes after both.
DControl::~DControl()
{
    m_surface.reset();
}

void DControl::SetObject(render::PageTarget target, std::int32_t dc, std::int32_t dpi, double ratio,
    std::int32_t width, std::int32_t height, std::int32_t marginX, std::int32_t marginY)
{
    m_surface->SetObject(target, dc, dpi, ratio, width, height, marginX, marginY);
}

void DControl::getLtoP(double& sx, double& sy) const
{
    m_surface->getLtoP(sx, sy);
}

void DControl::setRatio(double ratio)
{
    m_surface->setRatio(ratio);
}

void DControl::setLag(std::int32_t x, std::int32_t y)
{
    m_surface->setLag(x, y);
}

void DControl::Refresh()
{
    m_docText.clear();
    m_bodyStart = 0;
    m_page = 0;
    m_headLength = 0;
    m_pageStart.reset();
    m_pages.reset();
}

std::int32_t DControl::pageStart(std::int32_t i) const
{
    if (!m_pageStart || i < 0 || static_cast<std::size_t>(i) >= m_pageStart->size())
        return 0;
    return (*m_pageStart)[static_cast<std::size_t>(i)];
}

void DControl::SetDoc(std::shared_ptr<const PagedText> document)
{
    Refresh();
    if (!document)
        return;
    m_pages = std::move(document);
}

qsizetype DControl::documentSize() const
{
    return m_pages ? m_pages->bodySize() : docText().size();
}

void DControl::SetDoc(const QString& text)
{
    m_pages.reset();
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    m_cutter.TextEx(semicolon >= 0 ? text.left(semicolon + 1) : QString());
    QString token;
    const TokenType type = m_cutter.getToken(token);
    if (type != TokenType::TkWord || token != QLatin1String("head")) {
        // A plain statement text is one page whose whole text runs as the common head.
        const bool empty = text.isEmpty();
        m_docText = empty ? QStringLiteral("end;  ") : text;
        m_bodyStart = 0;
        const auto length = static_cast<std::int32_t>(empty ? 4 : text.size());
        m_page = 1;
        m_headLength = length;
        m_pageStart = std::make_shared<const std::vector<std::int32_t>>(
            std::vector<std::int32_t> { 0, length + 1, length + 2 });
        return;
    }
    const std::int32_t count = argI();
    if (count < 0)
        throw RunError::subscriptOutOfRange();
    std::vector<std::int32_t> starts;
    starts.reserve(static_cast<std::size_t>(count) + 2);
    for (std::int64_t i = 0; i <= count; ++i)
        starts.push_back(argI());
    // The body follows the header line; a header without its CR LF is followed directly.
    const qsizetype lineEnd = text.indexOf(QStringLiteral("\r\n"));
    // The body is read in place: a paged document of ten thousand pages is tens of megabytes, and
    // the merge's copy stays alive beside the job.
    m_docText = text;
    m_bodyStart = lineEnd >= 0 ? lineEnd + 2 : semicolon + 1;
    starts.push_back(static_cast<std::int32_t>(docText().size()));
    m_page = count;
    m_headLength = starts[1] - 1;
    m_pageStart = std::make_shared<const std::vector<std::int32_t>>(std::move(starts));
}

void DControl::shareDocument(const DControl& other)
{
    m_docText = other.m_docText;
    m_bodyStart = other.m_bodyStart;
    m_page = other.m_page;
    m_headLength = other.m_headLength;
    m_pageStart = other.m_pageStart;
    m_pages = other.m_pages;
}

void DControl::startIndependentPage()
{
    m_axes = AxisTable();
    gridColor = render::rgb(240, 150, 30);
    m_steps.clear();
    m_msgLineY = 100;
    m_surface->resetPosition();
}

void DControl::renderPage(std::int32_t j)
{
    shell::Report page;
    QString pagedHead;
    QString pagedBody;
    if (m_pages) {
        pagedHead = m_pages->head();
        pagedBody = m_pages->page(j);
    }
    const QStringView head
        = m_pages ? QStringView(pagedHead) : docText().left(std::max(0, m_headLength));
    const QStringView body = m_pages ? QStringView(pagedBody) : pageText(j);
    QString text;
    text.reserve(6 + head.size() + body.size());
    text.append(Start).append(head).append(body);
    GoDoc(text);
    placeProblems(j, head.size());
    page.add(report);
    GoDoc(QStringLiteral(";;out;"));
    page.add(report);
    report = page;
}

// A problem of the page's run is placed in the head or in the page's own text: the head is the
// same on every page, a page's text is its own.
void DControl::placeProblems(std::int32_t j, qsizetype headSize)
{
    const qsizetype start = Start.size();
    for (shell::Report::StatementProblem& problem : report.problems) {
        if (problem.offset <= start) {
            problem.page = -1;
        } else if (problem.offset <= start + headSize) {
            problem.page = 0;
            problem.offset -= start;
        } else {
            problem.page = j;
            problem.offset -= start + headSize;
        }
    }
}

// The text of one page: from its start up to the position before the next page's start.
QStringView DControl::pageText(std::int32_t page) const
{
    const std::int64_t start = pageStart(page);
    const std::int64_t length = static_cast<std::int64_t>(pageStart(page + 1)) - start;
    const QStringView body = docText();
    if (start < 1 || length <= 0 || start > body.size())
        return {};
    return body.mid(start - 1, length);
}

void DControl::PagePrint(std::int32_t from, std::int32_t to)
{
    const std::int32_t pages = Page();
    if (from < 1 || from > pages)
        from = 1;
    if (to < 1 || to > pages)
        to = pages;
    if (documentSize() <= 10) {
        GoDoc(QStringLiteral("start;s,100,100,\"DControl/PagePrint>not document\";out;end;"));
        return;
    }
    const std::int32_t last = std::max(from, to);
    // Each run starts a report of its own; the caller asks about the whole range, so a failure or
    // warning of any page stays reported, with the number and text of the first failure.
    shell::Report range;
    for (std::int64_t j = from; j <= last; ++j) {
        startIndependentPage();
        renderPage(static_cast<std::int32_t>(j));
        range.add(report);
    }
    GoDoc(QStringLiteral(";end;"));
    range.add(report);
    report = range;
}

void DControl::GoDoc(const QString& text)
{
    report = {};
    fEndCmd = false;
    m_cutter.TextEx(text);
    m_runText = &text;
    const auto forgetText = qScopeGuard([this] { m_runText = nullptr; });
    handlePendingEvents();
    QString token;
    for (;;) {
        const TokenType type = m_cutter.getToken(token);
        switch (type) {
        case TokenType::TkWord:
            m_statementStart = m_cutter.prevPoint();
            switch (ExecCommand(token)) {
            case ExecResult::Done:
                break;
            case ExecResult::Stop:
                return;
            case ExecResult::Undefined:
                if (reportStray(UndefinedPrefix, token))
                    return;
                break;
            case ExecResult::Failed:
                reportFailure(token);
                break;
            }
            break;
        case TokenType::TkSeparator:
            break;
        case TokenType::TkEndOfText:
            return;
        default:
            m_statementStart = m_cutter.prevPoint();
            if (reportStray(NotCommandPrefix, token))
                return;
            break;
        }
    }
}

DControl::ExecResult DControl::ExecCommand(const QString& word)
{
    const auto found = findCommand(word);
    if (!found)
        return ExecResult::Undefined;
    try {
        switch (*found) {
#define VORLIX_COMMAND_CASE(name, text)                                                            \
    case Command::name:                                                                            \
        return cmd##name();
            VORLIX_ENUMERATE_COMMANDS(VORLIX_COMMAND_CASE)
#undef VORLIX_COMMAND_CASE
        }
    } catch (const RunError& e) {
        m_failure = { e.number(), e.description() };
    } catch (const std::bad_alloc&) {
        m_failure = { 7, QStringLiteral("メモリが不足しています。") };
    }
    return ExecResult::Failed;
}

// A run of thousands of small pages would otherwise spend its time handing out events.
void DControl::handlePendingEvents()
{
    if (!m_eventsClock.isValid() || m_eventsClock.hasExpired(EventInterval)) {
        shell::HandlePendingEvents();
        m_eventsClock.start();
    }
}

QString DControl::currentStatement() const
{
    if (!m_runText || m_statementStart < 1)
        return {};
    const qsizetype start = m_statementStart - 1;
    // The working text marks statement ends (outside strings) with a line feed code.
    qsizetype end = m_cutter.Text().indexOf(QChar(10), start);
    if (end < 0 || end > m_runText->size())
        end = m_runText->size();
    return m_runText->mid(start, end - start).trimmed();
}

bool DControl::reportStray(const QString& prefix, const QString& token)
{
    shell::SystemBeep();
    const QString statement = currentStatement();
    report.note(shell::Report::Severity::Warning, -1, {}, 0, statement);
    // The kind of stray statement, without the log's prefix and colon.
    const QString kind = prefix.section(u'>', 1).chopped(1);
    report.noteStatement(
        { shell::Report::Severity::Warning, -1, m_statementStart, kind, statement });
    QString collected = token;
    int quoted = 0;
    bool ended = false;
    QString next;
    for (;;) {
        const TokenType type = m_cutter.getToken(next);
        if (quoted < QuotedTokens) {
            collected += QLatin1Char(',') + next;
            ++quoted;
        }
        if (type == TokenType::TkSeparator)
            break;
        if (type == TokenType::TkEndOfText) {
            ended = true;
            break;
        }
    }
    printDiagnostic(m_msgLineY, prefix + collected.left(QuotedCharacters));
    m_msgLineY = advance(m_msgLineY, 50);
    return ended;
}

void DControl::reportFailure(const QString& word)
{
    const QString statement = currentStatement();
    report.note(
        shell::Report::Severity::Error, -1, m_failure.description, m_failure.number, statement);
    report.noteStatement({ shell::Report::Severity::Error, -1, m_statementStart,
        QString::number(m_failure.number) + QLatin1Char(':') + m_failure.description, statement });
    shell::SystemBeep();
    printDiagnostic(m_msgLineY,
        FailurePrefix + QString::number(m_failure.number) + QLatin1Char(':')
            + m_failure.description);
    printDiagnostic(advance(m_msgLineY, 30), CausePrefix + word.left(QuotedCharacters));
    m_msgLineY = advance(m_msgLineY, 100);
}

// A damaged picture is drawn as far as the loader got, with a warning beside it: a grey part
// alone would pass for the picture itself.
void DControl::reportDamagedPicture(const QString& fileName, const QString& damage)
{
    const QString message = DamagedPicturePrefix + fileName + QStringLiteral(": ") + damage;
    shell::SystemBeep();
    report.note(shell::Report::Severity::Warning, -1, message, 0, currentStatement());
    printDiagnostic(m_msgLineY, message);
    m_msgLineY = advance(m_msgLineY, 50);
}

// A diagnostic that cannot be drawn (no usable font on the page) is still logged: the report
// must never be what stops a run.
void DControl::printDiagnostic(std::int32_t y, const QString& message)
{
    try {
        m_surface->printMessage(y, message);
    } catch (const RunError&) {
    }
    shell::WriteLog(message);
}

}
