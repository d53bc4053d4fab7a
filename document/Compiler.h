#pragma once

#include "document/ApartXML.h"
#include "document/Tree.h"
#include "shell/Log.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace vorlix::document {

// The facade through which the source document reads data: picks the reader by document kind
// and copies its report.
class Compiler {
public:
    // The document kind of data documents, the only kind with a reader.
    static constexpr std::int32_t DataDocumentKind = 3;

    Compiler() = default;

    // Creates the reader for the kind and hands it the tree to fill.
    void Init(Tree* tree, std::int32_t kind);
    // Reads the document and copies the reader's report.
    void Text(const QString& document);

    [[nodiscard]] bool fWarning() const { return m_fWarning; }
    [[nodiscard]] bool fError() const { return m_fError; }
    [[nodiscard]] std::int32_t nErrPit() const { return m_nErrPit; }
    [[nodiscard]] const QString& sErrMsg() const { return m_sErrMsg; }

private:
    shell::LifeLog m_life { QStringLiteral("Compiler") };
    std::unique_ptr<ApartXML> m_reader;
    std::int32_t m_kind = 0;
    bool m_fWarning = false;
    bool m_fError = false;
    std::int32_t m_nErrPit = -1;
    QString m_sErrMsg;
};

}
