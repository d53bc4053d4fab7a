#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vorlix::document {

// Where the statements of a merged document came from in the face. A page is a sequence of runs
// of statements that follow each other in the face; a run ends where that stops (a dropped or a
// directive statement, a row, a fragment, a statement the merge wrote itself). What a page's runs
// are is the same for most records whatever their values, so each distinct sequence is kept once
// and a page keeps only which one it has and its first record: the map grows with the face and a
// few bytes per page, not with the statements of every record.
class StatementMap {
public:
    // What a statement of the merged body came from.
    struct Place {
        // 1-based position of the statement in the face.
        std::int32_t position = 0;
        std::int32_t line = 0;
        std::int32_t column = 0;
        // The data record merged into it; 0 for the head and for a face without records.
        std::int64_t record = 0;
    };

    // ---- Building (the merge, page by page: the head first) ----
    // The next statement does not follow the one before it: it begins a run at face position
    // `face`; 0 for statements the merge writes itself. With `sameStatement`, every statement of
    // the run comes from that one face statement (a fragment's).
    void beginRun(std::int32_t face, std::int64_t record, bool sameStatement = false);
    // One more statement of the current run was written.
    void addStatement();
    // A value held a statement end of its own: the statements after it on this page cannot be
    // counted as the interpreter counts them, and have no place.
    void breakPage();
    // The page (first the head) is complete.
    void endPage();

    // The place of the statement at 1-based `offset` in `text`, the text of page `page` (0 for
    // the head); none for a statement that is none of the face's.
    [[nodiscard]] std::optional<Place> find(
        std::int32_t page, QStringView text, qsizetype offset, const QString& face) const;

    // Bytes the map keeps (for measurements).
    [[nodiscard]] std::size_t storedBytes() const;

private:
    struct Run {
        std::int32_t face = 0; // 0: written by the merge; -1: beyond a broken count
        std::int32_t statements = 0;
        std::int32_t record = 0; // relative to the page's first record
        bool sameStatement = false;
        friend bool operator==(const Run&, const Run&) = default;
    };
    struct RunsHash {
        std::size_t operator()(const std::vector<Run>& runs) const;
    };
    struct Page {
        std::uint32_t runs = 0; // index of the page's sequence
        std::int32_t record = 0;
    };

    std::vector<std::vector<Run>> m_sequences;
    std::unordered_map<std::vector<Run>, std::uint32_t, RunsHash> m_known;
    std::vector<Page> m_pages;
    // The page being built.
    std::vector<Run> m_current;
    std::int64_t m_pageRecord = 0;
    bool m_broken = false;
};

}
