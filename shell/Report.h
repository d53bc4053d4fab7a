#pragma once

#include <QString>
#include <cstdint>

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

    // Records one problem. A position of -1, an empty message, an error number of 0 or an empty
    // statement leave the earlier values alone, so a later problem can still fill what the first
    // one lacked.
    void note(Severity severity, std::int32_t position, const QString& message,
        std::int32_t errorNumber = 0, const QString& failedStatement = {});
    // Adds what a later piece of work found, as if each of its problems had been noted here.
    void add(const Report& later);

    // Neither an error nor a warning.
    [[nodiscard]] bool clean() const { return !fError && !fWarning; }
    friend bool operator==(const Report&, const Report&) = default;
};

}
