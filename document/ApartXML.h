#pragma once

#include "document/Tree.h"
#include "document/xmlTC.h"
#include "shell/Log.h"

#include <QString>
#include <cstdint>

namespace vorlix::document {

// Reads a data document (root element TZQ_002, or any element whose last attribute is
// manner="vorlix") into a Tree: document-level elements at the root, pieces as piece, piece@1,
// ..., and System/TzqVersion and System/mpiececount. Forgiving: mismatched or missing end tags are
// warnings and the reading goes on; a missing XML declaration or document element is an error.
// The first problem's message and position are kept.
class ApartXML {
public:
    ApartXML() = default;

    // The tree to fill; it is not cleared by Text.
    void Init(Tree* tree) { m_tree = tree; }
    // Reads the whole document into the tree.
    void Text(const QString& document);

    [[nodiscard]] bool fWarning() const { return m_fWarning; }
    [[nodiscard]] bool fError() const { return m_fError; }
    // 1-based character position of the token at which the first problem was met; -1 for none.
    [[nodiscard]] std::int32_t nErrPit() const { return m_nErrPit; }
    [[nodiscard]] const QString& sErrMsg() const { return m_sErrMsg; }

private:
    enum class Problem { Warning, Error };

    shell::LifeLog m_life { QStringLiteral("ApartXML") };
    xmlTC m_xml;
    Tree* m_tree = nullptr;
    QString m_documentName;
    QString m_pieceName;
    std::int32_t m_pieceCount = 0;
    bool m_fWarning = false;
    bool m_fError = false;
    std::int32_t m_nErrPit = -1;
    QString m_sErrMsg;

    // The one place where the report fields change, so that the first problem wins.
    void report(Problem kind, const QString& message);
    void readDocument();
    void readBody();
    void readPiece();
    void readElement(const QString& name);
    void storePieceCount();
    [[nodiscard]] bool isVorlixElement(const QString& name, const QString& wanted) const;
};

}
