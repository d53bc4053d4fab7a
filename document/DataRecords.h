#pragma once

#include "document/ApartXML.h"
#include "document/DataStream.h"
#include "document/RecordSource.h"
#include "shell/TextWindows.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlix::document {

class Tree;

// The records of a data document read in a stream: the first pass left the head in the tree and
// where each piece lies; a record is read from the file again, on its own, when the merge asks
// for it. A file that changed since the first pass is refused with a store error, never read as
// if it were the same.
class DataRecords final : public RecordSource {
public:
    DataRecords(std::unique_ptr<shell::TextWindows> windows, std::vector<PiecePlace> places);

    [[nodiscard]] std::int64_t count() const override
    {
        return static_cast<std::int64_t>(m_places.size());
    }
    // Reads record `record` under its name ("piece", "piece@1", ...) from the root.
    void load(Tree& tree, std::int64_t record) override;

    // The name record `record` has in the tree.
    [[nodiscard]] static QString recordName(std::int64_t record);

    // The message of the store error a changed file raises.
    static const QString ChangedMessage;

private:
    std::unique_ptr<shell::TextWindows> m_windows;
    std::vector<PiecePlace> m_places;
    ApartXML m_reader;
    QString m_text;
};

}
