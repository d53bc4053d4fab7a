#include "document/Merge.h"

#include "document/CharacterCode.h"
#include "lang/TokenBuffers.h"
#include "shell/Common.h"
#include "shell/StringBuffer.h"

#include <QVariant>
#include <algorithm>
#include <optional>

namespace vorlix::document {

using lang::TokenCutter;
using lang::TokenType;

namespace {

    const QString kPiece = QStringLiteral("piece");

}

Merge::Merge()
{
    m_tokenPool.reserve(16);
    configure(m_cutter);
}

void Merge::configure(TokenCutter& cutter)
{
    cutter.SetOpt3(false);
    cutter.SetOpt4(true);
    cutter.SetOpt7(QStringLiteral("/"));
}

void Merge::setLimits(qsizetype outputCharacters, std::int64_t tokens)
{
    m_outputLimit = outputCharacters;
    m_tokenLimit = tokens;
}

void Merge::report(Problem kind, const QString& message)
{
    m_report.note(kind, m_cutter.prevPoint(), message);
    shell::WriteLog(message);
}

// An error after which the merge cannot go on: everything still open is abandoned.
void Merge::fail(const QString& message)
{
    if (m_fatal)
        return;
    report(Problem::Error, message);
    m_fatal = true;
    m_abortPass = true;
}

void Merge::append(QStringView text)
{
    if (writePos() - 1 + text.size() > m_outputLimit) {
        fail(QStringLiteral("Vorlix/Merge>出力が大きすぎる"));
        return;
    }
    shell::StringBuffer::append(m_out, text);
}

void Merge::writeItem(const QString& text)
{
    append(text);
    append(QStringLiteral(","));
}

bool Merge::endsInString() const
{
    return m_stringEnd != 0 && m_stringEnd == writePos() - 1 && m_out.endsWith(QLatin1Char('"'));
}

namespace {

    // A text as the inside of a string: each double quote doubled.
    QString doubledQuotes(const QString& text)
    {
        if (!text.contains(QLatin1Char('"')))
            return text;
        QString escaped = text;
        escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return escaped;
    }

}

void Merge::continueString(QStringView escaped)
{
    if (endsInString())
        m_out.chop(1);
    else
        append(u"\"");
    append(escaped);
    append(u"\"");
    m_stringEnd = writePos() - 1;
}

void Merge::writeString(QStringView escaped)
{
    continueString(escaped);
    append(u",");
}

void Merge::writeQuotedValue(const QString& value)
{
    writeString(doubledQuotes(value));
}

// The "," written after the last item goes again when the next part glues onto it, unless the
// face program itself had a "," there.
void Merge::stepBackOverComma(bool keepComma)
{
    if (!keepComma && m_out.endsWith(QLatin1Char(',')))
        m_out.chop(1);
}

void Merge::endStatement(int depth)
{
    stepBackOverComma(false);
    const bool empty = writePos() == m_commitPos;
    append(QStringLiteral(";"));
    notePlace(depth, empty);
    m_commitPos = writePos();
    m_stringEnd = 0;
}

// A statement that follows the one before it in the face continues that one's run; any other
// (after a dropped or a directive statement, a rewind) begins a run. The statements of a fragment
// are one run of the statement that holds it. An empty statement is none to the interpreter: it
// is not counted, and the statement after it begins a run.
void Merge::notePlace(int depth, bool empty)
{
    constexpr std::int32_t InFragment = -2;
    if (empty) {
        m_nextFace = -1;
    } else {
        const std::int32_t face = depth == 0 ? m_statementFace : m_fragmentFace;
        if (depth > 0 ? m_nextFace != InFragment : face != m_nextFace)
            m_map.beginRun(face, placeRecord(), depth > 0);
        m_map.addStatement();
        if (m_strayEnd)
            m_map.breakPage();
        m_nextFace = m_strayEnd ? -1 : depth > 0 ? InFragment : m_cutter.Point();
    }
    m_strayEnd = false;
    if (depth == 0)
        m_statementFace = 0;
}

void Merge::checkStrayEnd(QStringView value)
{
    if (value.contains(u';') || value.contains(u'\r'))
        m_strayEnd = true;
}

void Merge::rollBack()
{
    if (m_commitPos < writePos())
        m_out.truncate(m_commitPos - 1 - m_handedOver);
    m_stringEnd = 0;
    m_statementFace = 0;
}

std::pair<std::int32_t, std::int32_t> Merge::faceLineColumn(std::int32_t position) const
{
    const auto after = std::upper_bound(m_faceLines.begin(), m_faceLines.end(), position);
    const auto line
        = static_cast<std::int32_t>(std::max<std::ptrdiff_t>(1, after - m_faceLines.begin()));
    return { line, position - m_faceLines[static_cast<std::size_t>(line - 1)] + 1 };
}

// Each statement dropped is logged with its place and reference; the first one is kept for the
// caller's summary.
void Merge::noteDropped(const QString& reference)
{
    const std::int32_t position = m_statementFace != 0 ? m_statementFace : m_fragmentFace;
    const auto [line, column] = faceLineColumn(position);
    if (m_dropped.count++ == 0)
        m_dropped = { 1, line, column, reference };
    // Built in one piece: a face with optional lines drops some on every record.
    shell::WriteLog(QStringLiteral("Vorlix/Replace>参照が見つからないので文を落とした:") + reference
        + u' ' + QString::number(line) + u':' + QString::number(column));
}

// Called when a new page starts: nothing before it changes any more (a dropped statement rolls
// back no further than its page's start, and the text before it ends in CR LF, so no part glues
// onto it). The head only becomes final once the first page is, as a part glued onto the first
// page's start may take back the head's last ",".
void Merge::handOverFinishedPages()
{
    m_document->append(m_out);
    m_handedOver += m_out.size();
    m_out.resize(0);
    m_document->pagesComplete(m_pageStart);
}

void Merge::finishDocument()
{
    m_out += QLatin1Char(' ');
    m_document->append(m_out);
    m_handedOver += m_out.size();
    m_out = QString();
    m_map.endPage();
    m_document->finish(m_pageStart, std::move(m_map));
    m_map = {};
}

void Merge::Text(const QString& face)
{
    m_course = Course::DropStatement;
    m_translateOn = false;
    m_commaFlag = false;
    m_abortPass = false;
    m_fatal = false;
    m_tokens = 0;
    m_out = QStringLiteral(" ");
    m_handedOver = 0;
    m_document = m_nextDocument ? std::move(m_nextDocument) : std::make_shared<PagedDocument>();
    m_commitPos = writePos();
    m_pageStart.clear();
    m_pageCount = 0;
    m_cutter.TextEx(face);
    m_dropped = {};
    m_map = {};
    m_statementFace = 0;
    m_fragmentFace = 0;
    m_nextFace = -1;
    m_strayEnd = false;
    m_inPages = false;
    m_faceLines = { 1 };
    for (qsizetype i = 0; i < face.size(); ++i) {
        if (face[i] == u'\n')
            m_faceLines.push_back(static_cast<std::int32_t>(i + 2));
    }
    m_loader.reset();
    if (m_tree == nullptr) {
        fail(QStringLiteral("Vorlix/Merge>データの木がない"));
    } else if (m_records != nullptr) {
        m_loader = std::make_unique<RecordLoader>(*m_tree, *m_records);
        m_recordCount = m_loader->count();
        readQuery();
    } else {
        const QString count = m_tree->Value(QStringLiteral("System/mpiececount"));
        m_recordCount = std::max<std::int64_t>(0, shell::ToLong(QVariant(count), 0));
        readQuery();
    }
    readLayout(face);
    m_table = std::make_unique<ConvTag>();
    {
        // A record the source cannot read ends the merge with its error, for the caller to
        // report against the data document; what the page loaded goes all the same.
        const RecordLoader::PageScope pages(m_loader.get());
        mergeSections();
    }
    m_table.reset();
    finishDocument();
}

void Merge::mergeSections()
{
    // A face without page section that outs break into pages starts its first page at once, with
    // an empty head: the statements before an out belong to the first page only.
    const bool pagedHead = m_layout.headOnly() && m_layout.headPages() > 1;
    if (pagedHead) {
        m_pageCount = 1;
        m_pageStart = { 1, writePos() };
        m_map.endPage();
    }
    const Stop headStop = m_fatal ? Stop::End : runHead();
    if (!pagedHead) {
        m_pageCount = 1;
        m_pageStart = { 1, writePos() };
        m_map.endPage();
    }
    // A statement dropped on the first page must not reach back into an unfinished head
    // statement: the page would then start beyond the end of the text.
    m_commitPos = writePos();
    if (headStop == Stop::Piece && !m_fatal) {
        if (m_loader)
            m_loader->beginPage();
        runPages();
    }
}

bool Merge::readQuery()
{
    m_queryOn = false;
    const QString query = m_tree->Value(QStringLiteral("query"));
    if (query.isEmpty() || query == Tree::NoLabel)
        return true;
    const qsizetype comma = query.indexOf(QLatin1Char(','));
    if (comma < 0) {
        // A filter needs a name and a value; merging every record instead would print pages
        // the user excluded.
        fail(QStringLiteral("Vorlix/Text>queryに「,」がない:") + query);
        return false;
    }
    m_queryName = query.left(comma).trimmed();
    m_queryValue = query.mid(comma + 1).trimmed();
    m_queryOn = true;
    return true;
}

Merge::Stop Merge::runHead()
{
    Stop stop = handleTokens(m_cutter, Context::Head, 0);
    while (stop == Stop::Out)
        stop = continueHead();
    if (stop == Stop::Aborted) {
        if (m_fatal)
            return stop;
        m_abortPass = false;
        rollBack();
        stop = skipPass(m_cutter, true);
    }
    if (stop == Stop::Piece)
        skipRest(m_cutter, TokenType::TkWord);
    return stop;
}

// Without a query each record makes one page. With one, the loop stops after the last matching
// record instead of leaving an empty page behind it.
void Merge::runPages()
{
    m_pageSectionPos = m_cutter.Point();
    m_record = 1;
    m_inPages = true;
    for (;;) {
        runPagePass();
        // The next page's loads start here, with the test of the records the query passes over.
        if (m_loader) {
            m_loader->endPage();
            m_loader->beginPage();
        }
        if (m_fatal)
            return;
        if (m_queryOn)
            m_record = nextMatch(m_record);
        if (m_record > m_recordCount)
            return;
        startNewPage();
        m_cutter.SetPoint(m_pageSectionPos);
    }
}

void Merge::runPagePass()
{
    if (!selectRecord())
        return;
    beginPass();
    for (;;) {
        const Stop stop = handleTokens(m_cutter, Context::Page, 0);
        if (stop == Stop::Aborted) {
            if (m_fatal)
                return;
            m_abortPass = false;
            rollBack();
            skipPass(m_cutter, false);
        } else if (stop == Stop::Piece) {
            skipRest(m_cutter, TokenType::TkWord);
            m_tree->ChUpTree();
            ++m_record;
            if (!selectRecord())
                return;
            continue;
        } else if (continuePass(stop)) {
            continue;
        }
        m_tree->ChUpTree();
        ++m_record;
        return;
    }
}

bool Merge::recordMatches()
{
    return lookUp(m_queryName) == m_queryValue;
}

QString Merge::lookUp(const QString& path)
{
    if (m_loader)
        m_loader->preparePath(path);
    QString value = m_tree->Value(path);
    if (value == Tree::NoLabel && path.contains(QLatin1String("System/")))
        value = lookUpSystem(path);
    return value;
}

bool Merge::enterRecord(std::int64_t record)
{
    m_tree->ChRootTree();
    std::optional<Tree::Mark> trial;
    if (m_loader) {
        trial = m_loader->beginTrial();
        m_loader->need(record);
    }
    m_tree->ChTree(RecordLoader::recordName(record));
    const bool chosen = !m_queryOn || recordMatches();
    if (trial)
        m_loader->endTrial(*trial, chosen);
    if (!chosen)
        m_tree->ChRootTree();
    return chosen;
}

bool Merge::selectRecord()
{
    for (; m_record <= m_recordCount; ++m_record) {
        if (enterRecord(m_record))
            return true;
    }
    return false;
}

std::int64_t Merge::nextMatch(std::int64_t from)
{
    for (std::int64_t record = from; record <= m_recordCount; ++record) {
        const bool matches = enterRecord(record);
        m_tree->ChRootTree();
        if (matches)
            return record;
    }
    return m_recordCount + 1;
}

Merge::Stop Merge::handleTokens(TokenCutter& cutter, Context context, int depth)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    QString& token = borrowed.get();
    for (;;) {
        if (m_abortPass)
            return Stop::Aborted;
        if (++m_tokens > m_tokenLimit) {
            fail(QStringLiteral("Vorlix/Merge>処理量が多すぎる"));
            return Stop::Aborted;
        }
        const TokenType type = cutter.getToken(token);
        if (depth == 0 && m_statementFace == 0 && !lang::endsStatement(type))
            m_statementFace = cutter.prevPoint();
        switch (type) {
        case TokenType::TkEndOfText:
            return Stop::EndOfText;
        case TokenType::TkSeparator:
            endStatement(depth);
            break;
        case TokenType::TkSymbol:
            handleOperator(cutter, token, depth);
            break;
        case TokenType::TkWord: {
            Stop stop = Stop::EndOfText;
            if (handlePageWord(cutter, token, context, depth, stop)
                || handleDirective(cutter, token, context, stop)) {
                // The directive's statement wrote nothing: the next statement is another.
                if (depth == 0 && writePos() == m_commitPos)
                    m_statementFace = 0;
                if (stop != Stop::EndOfText)
                    return stop;
                break;
            }
            writeItem(token);
            break;
        }
        case TokenType::TkString:
            // The cutter hands it back as written, between its quotes.
            writeString(QStringView(token).sliced(1, token.size() - 2));
            break;
        default:
            writeItem(token);
            break;
        }
        m_commaFlag = cutter.fCtC;
    }
}

// Handles the directive words of the context. Returns false for an ordinary word; `stop` is set
// when the directive ends the section, the page or the fragment.
bool Merge::handleDirective(TokenCutter& cutter, const QString& word, Context context, Stop& stop)
{
    const bool section = context != Context::Fragment;
    if (word == QLatin1String("chbase")) {
        handleChbase(cutter);
    } else if (word == QLatin1String("course")) {
        handleCourse(cutter);
    } else if (word == QLatin1String("let") && section) {
        handleLet(cutter);
    } else if (word == QLatin1String("tag") && context == Context::Head) {
        handleTag(cutter);
    } else if (word == kPiece && section) {
        stop = Stop::Piece;
    } else if (word == QLatin1String("end")) {
        stop = Stop::End;
    } else {
        return false;
    }
    return true;
}

void Merge::handleChbase(TokenCutter& cutter)
{
    QString item;
    for (TokenType type = cutter.getToken(item); !endsStatement(type);
         type = cutter.getToken(item)) {
        if (type == TokenType::TkEmpty)
            continue;
        if (m_loader)
            m_loader->prepareName(item);
        const std::int32_t nodes = m_tree->nodeCount();
        m_tree->ChTree(item);
        if (m_loader && m_tree->nodeCount() != nodes)
            m_loader->noteWrite();
    }
}

void Merge::handleCourse(TokenCutter& cutter)
{
    QString value;
    const TokenType type = cutter.getToken(value);
    if (type == TokenType::TkNumber) {
        const int course = shell::ToInteger(QVariant(value), 1);
        if (course >= static_cast<int>(Course::Stop)
            && course <= static_cast<int>(Course::EmptyItem))
            m_course = static_cast<Course>(course);
    }
    skipRest(cutter, type);
}

// let,NAME; text... endlet; stores the raw text between the two statements as NAME in the
// current data directory.
void Merge::handleLet(TokenCutter& cutter)
{
    QString name;
    const TokenType type = cutter.getToken(name);
    skipRest(cutter, type);
    if (type != TokenType::TkWord)
        return;
    const QString text = cutter.getToTemin(QStringLiteral("endlet"));
    if (m_loader) {
        m_loader->prepareName(name);
        m_loader->noteWrite();
    }
    const std::int32_t index = m_tree->Add(name);
    m_tree->daV(index, text);
    skipRest(cutter, TokenType::TkWord);
}

void Merge::handleTag(TokenCutter& cutter)
{
    m_translateOn = false;
    QString set;
    const TokenType type = cutter.getToken(set);
    if (type != TokenType::TkWord) {
        shell::WriteLog(QStringLiteral("Merge/MergeingPublic>タグセット名が正しくない:") + set);
    } else if (const QString dataSet = m_tree->Value(QStringLiteral("tag"));
               dataSet != Tree::NoLabel) {
        m_table->Path(m_tree->Value(QStringLiteral("dir")));
        if (m_table->TagSet(set, dataSet)) {
            m_translateOn = true;
            shell::WriteLog(QStringLiteral("Merge/MergeingPublic>タグの変換"));
        }
    }
    skipRest(cutter, type);
}

void Merge::handleOperator(TokenCutter& cutter, const QString& symbol, int depth)
{
    // A symbol token is one character; this runs for every reference of every page.
    const char16_t op = symbol.size() == 1 ? symbol.front().unicode() : 0;
    if (op == u'$') {
        const Reference reference = readReference(cutter, ReferenceForm::ValueOrQuoted);
        if (!reference.found) {
            applyCourse(cutter, symbol, reference);
        } else if (reference.quoted) {
            writeQuotedValue(reference.value);
        } else {
            checkStrayEnd(reference.value);
            writeItem(reference.value);
        }
    } else if (op == u'&') {
        const Reference reference = readReference(cutter, ReferenceForm::Plain);
        if (reference.found)
            mergeFragment(reference.value, depth);
        else
            applyCourse(cutter, symbol, reference);
    } else if (op == u'%') {
        handleCharacterCode(cutter);
    } else if (op == u'+') {
        handleGlue(cutter);
    } else {
        shell::WriteLog(QStringLiteral("Merge/MergeingReflex>不明なトークン:") + symbol);
        dropStatement(cutter);
    }
}

void Merge::handleCharacterCode(TokenCutter& cutter)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    QString& number = borrowed.get();
    const TokenType type = cutter.getToken(number);
    if (type != TokenType::TkNumber) {
        shell::WriteLog(QStringLiteral("Vorlix/MergeingReflex>%の次が不明なトークン"));
        unread(cutter, type);
        dropStatement(cutter);
        return;
    }
    stepBackOverComma(m_commaFlag);
    const QString character = characterOfCode(characterCodeOf(number));
    checkStrayEnd(character);
    // Glued onto a string, the character belongs to its text.
    if (endsInString())
        continueString(doubledQuotes(character));
    else
        append(character);
    m_commaFlag = cutter.fCtC;
    if (m_commaFlag)
        append(QStringLiteral(","));
}

void Merge::handleGlue(TokenCutter& cutter)
{
    stepBackOverComma(m_commaFlag);
    m_commaFlag = cutter.fCtC;
    if (m_commaFlag)
        append(QStringLiteral(","));
}

// A fragment is merged with a cutter of its own, straight into the output. Its directives change
// the engine's state for the rest of the merge.
void Merge::mergeFragment(const QString& text, int depth)
{
    if (depth + 1 > MaxFragmentDepth) {
        fail(QStringLiteral(
            "Vorlix/Fragment>フラグメントの入れ子が深すぎる（自分自身を参照している）"));
        return;
    }
    if (depth == 0)
        m_fragmentFace = m_statementFace;
    TokenCutter fragment;
    configure(fragment);
    fragment.TextEx(text);
    handleTokens(fragment, Context::Fragment, depth + 1);
}

Merge::Reference Merge::readReference(TokenCutter& cutter, ReferenceForm form)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    QString& token = borrowed.get();
    const TokenType type = cutter.getToken(token);
    Reference reference;
    reference.name = token;
    if (type == TokenType::TkWord) {
        reference.value = lookUp(translate(token));
    } else if (type == TokenType::TkSymbol && token == QLatin1String("/")) {
        reference.value = m_tree->RootValue();
        reference.found = true;
        return reference;
    } else if (type == TokenType::TkSymbol && token == QLatin1String(".")) {
        reference.name = readPath(cutter);
        reference.value = lookUp(translate(reference.name));
    } else if (type == TokenType::TkString && form == ReferenceForm::ValueOrQuoted) {
        reference.quoted = true;
        const QString path = quotedPath(token);
        if (path == QLatin1String("/")) {
            reference.value = m_tree->RootValue();
            reference.found = true;
            return reference;
        }
        reference.value = lookUp(translate(path));
    } else {
        report(Problem::Warning, QStringLiteral("Vorlix/tagValue>不明なトークン:") + token);
        // A separator belongs to the statement, not to the reference: leave it to end (or drop)
        // this statement instead of swallowing the next one.
        unread(cutter, type);
        return reference;
    }
    reference.found = reference.value != Tree::NoLabel;
    return reference;
}

// A path after "." runs on while "." and "/" and single words follow: ./a, ../b, ./a/../c.
QString Merge::readPath(TokenCutter& cutter)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    return readPath(cutter, borrowed.get());
}

QString Merge::readPath(TokenCutter& cutter, QString& token)
{
    QString path = QStringLiteral(".");
    bool lastWasWord = false;
    for (;;) {
        const std::int32_t point = cutter.Point();
        const bool commaSeen = cutter.fCtC;
        const TokenType type = cutter.getToken(token);
        if (type == TokenType::TkWord && !lastWasWord) {
            lastWasWord = true;
        } else if (type == TokenType::TkSymbol
            && (token == QLatin1String(".") || token == QLatin1String("/"))) {
            lastWasWord = false;
        } else {
            // Read again later; whether a "," followed the path's last part still counts.
            cutter.SetPoint(point);
            cutter.fCtC = commaSeen;
            return path;
        }
        path += token;
    }
}

// The path of $"path": the string's text, a doubled double quote read as one.
QString Merge::quotedPath(const QString& token)
{
    QString path = token.sliced(1, token.size() - 2);
    path.replace(QLatin1String("\"\""), QLatin1String("\""));
    return path;
}

void Merge::applyCourse(TokenCutter& cutter, const QString& symbol, const Reference& reference)
{
    switch (m_course) {
    case Course::Stop:
        report(Problem::Error,
            QStringLiteral("Vorlix/Replace>トークンが見つからない:") + symbol + reference.name);
        m_abortPass = true;
        break;
    case Course::DropStatement:
        noteDropped(symbol + reference.name);
        dropStatement(cutter);
        break;
    case Course::DropReference:
        break;
    case Course::EmptyItem:
        if (reference.quoted)
            writeString({});
        else
            writeItem(QString());
        break;
    }
}

QString Merge::translate(const QString& name) const
{
    return m_translateOn ? m_table->Convert(name) : name;
}

void Merge::skipRest(TokenCutter& cutter, TokenType last)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    QString& token = borrowed.get();
    while (!endsStatement(last))
        last = cutter.getToken(token);
}

void Merge::dropStatement(TokenCutter& cutter)
{
    skipRest(cutter, TokenType::TkEmpty);
    rollBack();
}

Merge::Stop Merge::skipPass(TokenCutter& cutter, bool stopAtPiece)
{
    lang::BorrowedToken borrowed(m_tokenPool);
    QString& token = borrowed.get();
    for (;;) {
        const TokenType type = cutter.getToken(token);
        if (type == TokenType::TkEndOfText)
            return Stop::EndOfText;
        if (type != TokenType::TkWord)
            continue;
        if (token == QLatin1String("end"))
            return Stop::End;
        if (stopAtPiece && token == kPiece)
            return Stop::Piece;
    }
}

void Merge::unread(TokenCutter& cutter, TokenType type)
{
    if (endsStatement(type))
        cutter.SetPoint(cutter.prevPoint());
}

QString Merge::Convert() const
{
    return m_document ? m_document->text() : QString();
}

}
