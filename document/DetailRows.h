#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::document {

class Tree;

// The entries a rows block runs over: NAME, NAME@1, NAME@2 ... of one directory, in the order the
// data document gave them. NAME may be a path (items/item): the entries are then those of its last
// part in the directory the path leads to.
class DetailRows {
public:
    DetailRows() = default;
    // The rows `name` names, read from the directory whose head is `dir`.
    DetailRows(const Tree& tree, std::int32_t dir, const QString& name);

    [[nodiscard]] std::int64_t count() const { return m_count; }
    // Makes row `row` (0 for NAME itself) the current directory.
    void enter(Tree& tree, std::int64_t row) const;

private:
    [[nodiscard]] QString entryName(std::int64_t row) const;

    std::int32_t m_parent = -1;
    QString m_leaf;
    std::int64_t m_count = 0;
};

}
