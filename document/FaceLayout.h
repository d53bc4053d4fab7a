#pragma once

#include "lang/TokenCutter.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace vorlix::document {

// What the merge must know of a face before it writes its first page: whether it has a page
// section, where its pages break ("out;"), its detail rows ("rows,NAME,N,PITCH;" ... "endrows;")
// and the blocks merged only on a record's last page or on the others, or what is wrong with
// them. The face is read as the merge reads it (let bodies, references and the rest of directive
// statements are passed over alike), once, so that a record's page count is known before its
// first page and a face that cannot work is refused before anything is written.
class FaceLayout {
public:
    // The words that shape pages. They count only as the first word of a statement.
    enum class Word {
        None,
        Out,
        Rows,
        EndRows,
        LastPage,
        EndLastPage,
        NotLastPage,
        EndNotLastPage
    };

    // The arguments of a rows statement.
    struct Rows {
        QString name; // the entries the block runs over: NAME, NAME@1, ... (NAME may be a path)
        std::int64_t perPage = 0; // at most this many rows on one page
        double pitch = 0; // face units from one row to the next
    };
    struct Problem {
        std::int32_t position = 0; // in the face, 1-based
        QString message;
    };

    [[nodiscard]] static FaceLayout read(const QString& face);

    // Why the face cannot be merged; none when it can.
    [[nodiscard]] const std::optional<Problem>& problem() const { return m_problem; }
    // The face has no page section ("piece"): its head is all it prints.
    [[nodiscard]] bool headOnly() const { return m_headOnly; }
    // Pages of a face without a page section: one more than the outs that break it.
    [[nodiscard]] std::int64_t headPages() const { return m_headBreaks + 1; }
    // The rows block of the page section, if it has one.
    [[nodiscard]] const std::optional<Rows>& rows() const { return m_rows; }
    // Pages one pass over the page section makes for a record with `rowCount` rows: one for each
    // part between outs, and the part with the rows block once more for every N rows beyond the
    // first N.
    [[nodiscard]] std::int64_t pagesOf(std::int64_t rowCount) const;

    // ---- Shared with the merge, which reads the same words in the same places ----
    [[nodiscard]] static Word wordOf(QStringView word);
    // The token the cutter read last is the first of its statement.
    [[nodiscard]] static bool startsStatement(const lang::TokenCutter& cutter);
    // Nothing but statement ends follows up to the end of the section ("end" or the end of the
    // text): an "out" there breaks no page. The cutter's point stays.
    [[nodiscard]] static bool sectionEndsHere(lang::TokenCutter& cutter);
    // Passes over a block whose opening statement was just read, up to and with the statement
    // of its end word.
    static void skipBlock(lang::TokenCutter& cutter, Word end);
    // Reads the arguments of a rows statement (the word itself was read) up to its end.
    [[nodiscard]] static Rows readRows(lang::TokenCutter& cutter, std::optional<Problem>& problem);

private:
    class Scan;

    std::optional<Problem> m_problem;
    bool m_headOnly = true;
    std::int64_t m_headBreaks = 0;
    std::int64_t m_pageBreaks = 0;
    std::optional<Rows> m_rows;
};

}
