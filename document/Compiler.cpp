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
    if (!m_reader) {
        // Only data documents have a reader; anything else is refused instead of ignored.
        m_fError = true;
        m_nErrPit = 1;
        m_sErrMsg = QStringLiteral("Text>読めない文書の種類:") + QString::number(m_kind);
        shell::WriteLog(QStringLiteral("Compiler/") + m_sErrMsg);
        return;
    }
    m_reader->Text(document);
    m_fWarning = m_reader->fWarning();
    m_fError = m_reader->fError();
    m_nErrPit = m_reader->nErrPit();
    m_sErrMsg = m_reader->sErrMsg();
}

}
