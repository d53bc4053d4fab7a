#pragma once

#include "document/ApartXML.h"
#include "document/Tree.h"
#include "shell/Log.h"
#include "shell/Report.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlix::document {

// The facade through which the source document reads data: picks the reader by document kind
// and hands on its report.
class Compiler {
public:
    // The document kind of data documents, the only kind with a reader.
    static constexpr std::int32_t DataDocumentKind = 3;

    Compiler() = default;

    // Creates the reader for the kind and hands it the tree to fill.
    void Init(Tree* tree, std::int32_t kind);
    // Reads the document and takes over the reader's report.
    void Text(const QString& document);
    // Reads a document from its windows, keeping only its head in the tree (ApartXML::Stream).
    void Stream(DataStream& stream);
    // Records that the document could not be read at all (an error at its first character).
    void reportUnreadable(const QString& why);
    // Where the pieces of a streamed document lie.
    [[nodiscard]] std::vector<PiecePlace> places() const;

    // What the last read found wrong.
    [[nodiscard]] const shell::Report& report() const { return m_report; }

private:
    // Refuses (in the report) a kind without a reader.
    [[nodiscard]] bool haveReader();

    shell::LifeLog m_life { QStringLiteral("Compiler") };
    std::unique_ptr<ApartXML> m_reader;
    std::int32_t m_kind = 0;
    shell::Report m_report;
};

}
