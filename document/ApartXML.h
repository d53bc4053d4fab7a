#pragma once

#include "document/DataStream.h"
#include "document/Tree.h"
#include "document/xmlTC.h"
#include "shell/Log.h"
#include "shell/Report.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

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
    // Reads a document from its windows the same way, with the same report, except that the
    // pieces do not stay in the tree: each is read (and checked) and let go, and where it lies
    // is kept in places().
    void Stream(DataStream& stream);
    [[nodiscard]] const std::vector<PiecePlace>& places() const { return m_places; }
    // Reads one piece again (its text from its first token on, as places() keeps it) into the
    // current directory of `tree`, the piece's own, without a report: the first read reported it
    // already.
    void readRecord(const QString& text, Tree& tree);

    // What the last read found wrong; positions are those of the token at which a problem was met.
    [[nodiscard]] const shell::Report& report() const { return m_report; }

private:
    using Problem = shell::Report::Severity;

    shell::LifeLog m_life { QStringLiteral("ApartXML") };
    xmlTC m_xml;
    // The token buffer of readElement, kept with its room from element to element.
    QString m_elementToken;
    Tree* m_tree = nullptr;
    QString m_documentName;
    QString m_pieceName;
    std::int32_t m_pieceCount = 0;
    shell::Report m_report;
    // While streaming: the windows, where each piece lies, and the tree a piece is read into
    // to be checked.
    DataStream* m_stream = nullptr;
    std::vector<PiecePlace> m_places;
    Tree m_scratch;
    std::optional<Tree::Mark> m_scratchEmpty;
    bool m_quiet = false;

    // The one place where the report changes: notes the problem, beeps and logs it.
    void report(Problem kind, const QString& message);
    void read(const QString& opening);
    void readDocument(const QString& opening);
    // Reads a piece whose start tag was the last token.
    void readPieceIn(Tree& tree);
    void placePiece(std::int32_t start);
    // Reads elements (and pieces, when allowed) up to the next end tag; false when the text ended
    // first.
    bool readUntilEndTag(bool piecesAllowed, QString& endTag);
    void readBody();
    void readPieceElement(const QString& name);
    void readPiece();
    void readElement(const QString& name);
    void storePieceCount();
    [[nodiscard]] bool isVorlixElement(const QString& name, const QString& wanted) const;
};

}
