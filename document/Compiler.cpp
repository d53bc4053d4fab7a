#include "document/Compiler.h"

namespace vorlix::document {

void Compiler::Init(Tree* tree, std::int32_t kind)
{
    m_kind = kind;
    if (kind == DataDocumentKind && !m_reader)
        m_reader = std::make_unique<ApartXML>();
    if (m_reader)
        m_reader->Init(tree);
}

void Compiler::Text(const QString& document)
{
    if (!haveReader())
        return;
    m_reader->Text(document);
    m_report = m_reader->report();
}

void Compiler::Stream(DataStream& stream)
{
    if (!haveReader())
        return;
    m_reader->Stream(stream);
    m_report = m_reader->report();
}

std::vector<PiecePlace> Compiler::places() const
{
    return m_reader ? m_reader->places() : std::vector<PiecePlace> {};
}

void Compiler::reportUnreadable(const QString& why)
{
    m_report = {};
    m_report.note(
        shell::Report::Severity::Error, 1, QStringLiteral("Text>文書が読めません:") + why);
    shell::WriteLog(QStringLiteral("Compiler/") + m_report.sErrMsg);
}

bool Compiler::haveReader()
{
    if (!m_reader) {
        // Only data documents have a reader; anything else is refused instead of ignored.
        m_report = {};
        m_report.note(shell::Report::Severity::Error, 1,
            QStringLiteral("Text>読めない文書の種類:") + QString::number(m_kind));
        shell::WriteLog(QStringLiteral("Compiler/") + m_report.sErrMsg);
        return false;
    }
    return true;
}

}
