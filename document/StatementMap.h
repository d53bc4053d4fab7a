#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorlix::document {

// Where the statements of a merged document came from in the face. Most statements follow the
// one before them in the face, so the map keeps only where that stops: a new page, a dropped
// statement, a row, a fragment. Each such run names the face position and the record of its
// first statement; the statements after it are found by counting statement ends in the merged
// text and in the face alike. A document of many records keeps a few entries per page, however
// many statements each page has.
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

    // The statement at body position `body` does not follow the one before it: it begins a run.
    // A face position of 0 is a statement the merge wrote itself.
    void beginRun(qsizetype body, std::int32_t face, std::int64_t record);

    // The place of the statement at 1-based `offset` in `text`, whose first character is body
    // position `textStart` (1 for the head); none for a statement of no face statement.
    [[nodiscard]] std::optional<Place> find(
        qsizetype textStart, QStringView text, qsizetype offset, const QString& face) const;

    [[nodiscard]] bool empty() const { return m_runs.empty(); }
    // Bytes the map keeps (for measurements).
    [[nodiscard]] std::size_t storedBytes() const { return m_runs.capacity() * sizeof(Run); }

private:
    struct Run {
        qsizetype body = 0;
        std::int32_t face = 0;
        std::int32_t record = 0;
    };
    std::vector<Run> m_runs;
};

}
