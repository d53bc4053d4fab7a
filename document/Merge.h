#pragma once

#include "document/ConvTag.h"
#include "document/DetailRows.h"
#include "document/FaceLayout.h"
#include "document/PagedDocument.h"
#include "document/RecordLoader.h"
#include "document/RecordSource.h"
#include "document/StatementMap.h"
#include "document/Tree.h"
#include "lang/TokenCutter.h"
#include "shell/Log.h"
#include "shell/Report.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vorlix::document {

// Merges a data tree into a face program and produces the paged document the interpreter runs:
// a header line "head,<pages>,<starts...>;" and CR LF, then the text of the common head and of
// every page. The head section (up to "piece") is merged once; the page section is merged once
// per record, rewinding the cutter to the section start for each page. Data references ("$",
// "&") are replaced by values of the tree; "%" and "+" build items from parts.
//
// A quoted reference $"path" writes its value as one string item, in double quotes with every
// double quote of the value doubled, so that the interpreter reads back exactly the value's text.
// Parts glued onto a string item go inside it: "No. "+$"no" is the one string "No. 12", and %34
// after a string adds a doubled quote to it. Everything else is written as it stands.
//
// A record's page section may make several pages: "out;" breaks the page there, and a rows block
// ("rows,NAME,N,PITCH;" ... "endrows;") is merged once for each entry NAME of the record, PITCH
// face units apart, at most N to a page; the part of the page section that holds it is merged
// again on a further page of the same record for the rows that did not fit. $System/page,
// $System/pages and $System/sheet number the pages; "lastpage;" ... "endlastpage;" is merged on
// a record's last page only, "notlastpage;" ... "endnotlastpage;" on the others.
class Merge {
public:
    // Fragments may nest this deep; a fragment that references itself stops here.
    static constexpr int MaxFragmentDepth = 64;
    // Default guards against fragments that multiply: output characters and tokens handled.
    static constexpr qsizetype DefaultOutputLimit = qsizetype(256) * 1024 * 1024;
    static constexpr std::int64_t DefaultTokenLimit = 1'000'000'000;

    Merge();

    // The data tree; its current directory should be the root. With `records`, the tree holds
    // only the document's head and each record is read from `records` while it is merged.
    void Init(Tree* tree, RecordSource* records = nullptr)
    {
        m_tree = tree;
        m_records = records;
    }
    // Runs the whole merge of the face program.
    void Text(const QString& face);
    // The paged document of the last merge, as one text.
    [[nodiscard]] QString Convert() const;
    // The next Text writes into `document`, which others may read while it grows.
    void writeInto(std::shared_ptr<PagedDocument> document)
    {
        m_nextDocument = std::move(document);
    }
    // The paged document of the last merge as it is kept.
    [[nodiscard]] std::shared_ptr<const PagedDocument> document() const { return m_document; }

    // What the last merge found wrong; positions are those in the face program.
    [[nodiscard]] const shell::Report& report() const { return m_report; }
    // Number of pages of the last merge.
    [[nodiscard]] std::int64_t pageCount() const { return m_pageCount; }

    // The statements the last merge dropped for a reference it did not find (course 1): how
    // many, and the first one's place in the face and its reference as written ("$a/b").
    struct Dropped {
        std::int64_t count = 0;
        std::int32_t line = 0;
        std::int32_t column = 0;
        QString reference;
    };
    [[nodiscard]] const Dropped& dropped() const { return m_dropped; }

    // Tightens the guards (the fuzz targets use small ones). A merge that passes them ends with
    // fError instead of running on.
    void setLimits(qsizetype outputCharacters, std::int64_t tokens);

    // The options the merge reads a face with: quoted strings keep their quotes, numbers come
    // back normalised and a relative path a/b is one word.
    static void configure(lang::TokenCutter& cutter);
    // The path of a reference that begins with ".", read on from the token after it (`token` is
    // the caller's buffer).
    static QString readPath(lang::TokenCutter& cutter, QString& token);

private:
    // What a reference that finds nothing does; set by "course,N;" (N is the number).
    enum class Course : int {
        Stop = 0, // an error; the rest of the pass is skipped
        DropStatement = 1, // the whole statement goes
        DropReference = 2, // only the reference goes; the statement goes on
        EmptyItem = 3, // an empty item takes its place
    };
    enum class Context { Head, Page, Fragment };
    enum class Stop { Piece, End, EndOfText, Aborted, Out, EndRows };
    using Problem = shell::Report::Severity;
    struct Reference {
        bool found = false;
        QString value;
        // Written as one string item ($"path") rather than as it stands ($path).
        bool quoted = false;
        // The reference as the face wrote it, for the messages of one not found.
        QString name;
    };

    shell::LifeLog m_life { QStringLiteral("Vorlix") };
    lang::TokenCutter m_cutter;
    // Token buffers lent to the handlers: their capacity survives from reference to reference.
    std::vector<QString> m_tokenPool;
    Tree* m_tree = nullptr;
    RecordSource* m_records = nullptr;
    // Present while a merge takes its records from m_records.
    std::unique_ptr<RecordLoader> m_loader;
    std::unique_ptr<ConvTag> m_table;
    // The text of the page being merged; the pages before it went to the paged document. The
    // whole text starts with one blank.
    QString m_out;
    qsizetype m_handedOver = 0; // characters that went to the paged document
    std::shared_ptr<PagedDocument> m_document;
    std::shared_ptr<PagedDocument> m_nextDocument;
    qsizetype m_commitPos = 2; // where the statement being written began; a dropped one ends here
    Course m_course = Course::DropStatement; // what a reference that finds nothing does
    bool m_queryOn = false; // the data's "query" chooses the records merged
    QString m_queryName, m_queryValue; // the item a chosen record holds, and its value
    bool m_translateOn = false; // names go through the tag table ("tag" matched the data's set)
    bool m_commaFlag = false; // the token just handled was followed by a ","
    // Where the closing quote of the last string item went (0: none since the statement began).
    // A string glued onto it continues that string instead of starting a second one.
    qsizetype m_stringEnd = 0;
    std::int32_t m_pageSectionPos = 0; // where the page section starts in the face ("piece;")
    std::int64_t m_record = 1; // the record being merged: 1 is piece, 2 piece@1...
    std::int64_t m_recordCount = 0; // the data's System/mpiececount
    std::int64_t m_pageCount = 0; // pages written so far
    std::vector<qsizetype> m_pageStart; // where each page starts in the text
    // The rest of the current pass is skipped (a reference not found under course 0).
    bool m_abortPass = false;
    // The merge cannot go on at all.
    bool m_fatal = false;
    qsizetype m_outputLimit = DefaultOutputLimit; // the guards of setLimits
    std::int64_t m_tokenLimit = DefaultTokenLimit;
    std::int64_t m_tokens = 0; // tokens handled so far
    shell::Report m_report;
    Dropped m_dropped;
    // Where each line of the face starts (1-based positions), for the places of messages.
    std::vector<std::int32_t> m_faceLines;
    // Where the merged statements came from: the face position of the statement being written
    // (0 before its first token), of the statement that holds the fragment being merged, and the
    // position a statement must start at to follow the one written before it in the map's run
    // (-1: none can; -2: a fragment's statements go on).
    StatementMap m_map;
    std::int32_t m_statementFace = 0;
    std::int32_t m_fragmentFace = 0;
    std::int32_t m_nextFace = -1;
    // A value written as it stands held a statement end of its own: the interpreter will see one
    // statement more than the face has, so the next statement starts a run of its own.
    bool m_strayEnd = false;
    // The page section is being merged: its statements belong to a record.
    bool m_inPages = false;
    // What the face's sections and pages are made of, read before the merge begins.
    FaceLayout m_layout;
    // The pass over the page section being merged: its page within the record and the record's
    // pages (numbered: a page is being written, not the head common to all); where the part of
    // the page section being merged began (an out ends it), and the record's rows: how many, the
    // next one to merge, and whether this part holds them.
    struct Pass {
        bool numbered = false;
        std::int64_t page = 1;
        std::int64_t pages = 1;
        std::int32_t partStart = 0;
        DetailRows rows;
        std::int64_t nextRow = 0;
        bool rowsHere = false;
    } m_pass;

    // The one place where the report changes: notes the problem and logs it.
    void report(Problem kind, const QString& message);
    void fail(const QString& message);
    // The same for a problem found at a position of the face other than the cutter's.
    void failAt(std::int32_t position, const QString& message);

    [[nodiscard]] qsizetype writePos() const { return m_handedOver + m_out.size() + 1; }
    void handOverFinishedPages();
    void finishDocument();
    void append(QStringView text);
    void writeItem(const QString& text);
    // Writes a string item whose text has its double quotes doubled already; glued onto a string
    // item, it becomes the end of that string.
    void writeString(QStringView escaped);
    // The same without the "," after it: the string as the last part of the item being written.
    void continueString(QStringView escaped);
    // The value as one string item, whatever characters it holds.
    void writeQuotedValue(const QString& value);
    [[nodiscard]] bool endsInString() const;
    void stepBackOverComma(bool keepComma);
    void endStatement(int depth);
    // The statement just ended goes into the statement map; `empty` when it wrote no item.
    void notePlace(int depth, bool empty);
    // A value about to be written as it stands: whether it holds a statement end.
    void checkStrayEnd(QStringView value);
    [[nodiscard]] std::int64_t placeRecord() const { return m_inPages ? m_record : 0; }
    // Line and column of a position in the face.
    [[nodiscard]] std::pair<std::int32_t, std::int32_t> faceLineColumn(std::int32_t position) const;
    void noteDropped(const QString& reference);
    void rollBack();

    bool readQuery();
    // Reads the layout of the face (a face without page section numbers its pages from here on);
    // refuses a face that cannot work.
    void readLayout(const QString& face);
    void mergeSections();
    Stop runHead();
    void runPages();
    void runPagePass();
    [[nodiscard]] bool selectRecord();
    [[nodiscard]] std::int64_t nextMatch(std::int64_t from);
    [[nodiscard]] bool recordMatches();
    // Makes the record the current directory (loading it first when the records come from a
    // source); false when the query does not choose it, which leaves the root current.
    [[nodiscard]] bool enterRecord(std::int64_t record);
    [[nodiscard]] QString lookUp(const QString& path);
    // A path not found from the current directory that begins with System/ is the document's
    // own System item, from the root; System/page, System/pages and System/sheet are the page's
    // numbers, wherever the path reaches the root's System from.
    [[nodiscard]] QString lookUpSystem(const QString& path);
    [[nodiscard]] QString pageNumber(const QStringList& parts) const;

    // ---- Pages (MergePages.cpp) ----
    // Ends the page being written and starts the next one.
    void startNewPage();
    // The same within one pass: the next page of the record.
    void nextPageOfPass();
    // A new pass: the record's rows and its number of pages.
    void beginPass();
    // After the page section (or a part of it) stopped: whether the pass goes on, on a new page.
    bool continuePass(Stop stop);
    // The head of a face without page section went on past an out.
    Stop continueHead();
    [[nodiscard]] bool onLastPage() const { return m_pass.page >= m_pass.pages; }
    // The words of FaceLayout::Word at the start of a statement; false for any other word.
    bool handlePageWord(
        lang::TokenCutter& cutter, const QString& word, Context context, int depth, Stop& stop);
    void handleRows(lang::TokenCutter& cutter, int depth);
    // A statement the merge writes itself, between two of the face's.
    void writeStatement(const QString& text);

    Stop handleTokens(lang::TokenCutter& cutter, Context context, int depth);
    bool handleDirective(
        lang::TokenCutter& cutter, const QString& word, Context context, Stop& stop);
    void handleOperator(lang::TokenCutter& cutter, const QString& symbol, int depth);
    void handleCharacterCode(lang::TokenCutter& cutter);
    void handleGlue(lang::TokenCutter& cutter);
    void handleLet(lang::TokenCutter& cutter);
    void handleTag(lang::TokenCutter& cutter);
    void handleCourse(lang::TokenCutter& cutter);
    void handleChbase(lang::TokenCutter& cutter);
    void mergeFragment(const QString& text, int depth);
    // Whether a string after the operator is a quoted reference ($"path") or a stray token.
    enum class ReferenceForm { Plain, ValueOrQuoted };
    Reference readReference(lang::TokenCutter& cutter, ReferenceForm form);
    QString readPath(lang::TokenCutter& cutter);
    [[nodiscard]] static QString quotedPath(const QString& token);
    void applyCourse(lang::TokenCutter& cutter, const QString& symbol, const Reference& reference);
    [[nodiscard]] QString translate(const QString& name) const;

    void skipRest(lang::TokenCutter& cutter, lang::TokenType last);
    void dropStatement(lang::TokenCutter& cutter);
    Stop skipPass(lang::TokenCutter& cutter, bool stopAtPiece);
    static void unread(lang::TokenCutter& cutter, lang::TokenType type);
};

}
