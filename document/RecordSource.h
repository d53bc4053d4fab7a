#pragma once

#include <cstdint>

namespace vorlix::document {

class Tree;

// The records of a data document that is read one record at a time: the tree holds the
// document's head, and a record's directory ("piece", "piece@1", ...) is read into it only while
// the merge needs it. Unattended runs of large documents merge this way in flat memory.
class RecordSource {
public:
    RecordSource() = default;
    RecordSource(const RecordSource&) = delete;
    RecordSource& operator=(const RecordSource&) = delete;
    virtual ~RecordSource() = default;

    // Number of records, as System/mpiececount gives it.
    [[nodiscard]] virtual std::int64_t count() const = 0;
    // Reads record `record` (1 is "piece", 2 is "piece@1", ...) into the root of `tree`: the
    // record's directory and everything its piece element holds, as reading the whole document
    // would have stored them. Leaves the root as the tree's current directory.
    virtual void load(Tree& tree, std::int64_t record) = 0;
};

}
