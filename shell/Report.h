#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace vorlix::shell {

// What a reader, the compiler, the merge, the source document or the interpreter found wrong while
// it worked, as one value that each of them holds and hands on. The first problem wins: the flags
// add up, but the position, message and error number stay those of the first problem that had
// them.
struct Report {
    enum class Severity { Warning, Error };

    // A problem that spoils the result (an unreadable document, a failed statement).
    bool fError = false;
    // A problem that was worked around (a mismatched end tag, an undefined command word).
    bool fWarning = false;
    // 1-based character position of the first problem in the text read; -1 for none.
    std::int32_t nErrPit = -1;
    // The first problem's message (for the interpreter: the description of its first failure).
    QString sErrMsg;
    // The interpreter's run-time error number of the first failure; 0 for none.
    std::int32_t ErrNumber = 0;
    // The interpreter's first failed or stray statement as written, without its ";", so that an
    // editor can find it in the face; empty for the readers.
    QString statement;

    // One failed or stray statement of the interpreter and where it stands in the paged document,
    // so that an unattended run can name each one by its place in the face.
    struct StatementProblem {
        Severity severity = Severity::Error;
        // 0: the common head every page repeats; a page number; -1: no text of the document.
        std::int32_t page = -1;
        // 1-based position of the statement in the head's or the page's text.
        qsizetype offset = 0;
        // "13:型が一致しません。", or what kind of stray statement it was.
        QString message;
        QString statement;
        friend bool operator==(const StatementProblem&, const StatementProblem&) = default;
    };
    // Problems beyond these many are only counted: a face failing on every record would otherwise
    // keep one entry per page.
    static constexpr std::size_t KeptProblems = 20;
    // The statements that failed or were stray, in the order they ran; a statement of the head
    // only once, although every page runs it.
    std::vector<StatementProblem> problems;
    // Problems beyond KeptProblems.
    std::int64_t moreProblems = 0;

    // Records one problem. A position of -1, an empty message, an error number of 0 or an empty
    // statement leave the earlier values alone, so a later problem can still fill what the first
    // one lacked.
    void note(Severity severity, std::int32_t position, const QString& message,
        std::int32_t errorNumber = 0, const QString& failedStatement = {});
    // Records one failed or stray statement beside the first problem (which note keeps).
    void noteStatement(StatementProblem problem);
    // Adds what a later piece of work found, as if each of its problems had been noted here.
    void add(const Report& later);

    // Neither an error nor a warning.
    [[nodiscard]] bool clean() const { return !fError && !fWarning; }
    friend bool operator==(const Report&, const Report&) = default;
};

}
