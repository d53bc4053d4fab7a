#include "document/ApartXML.h"

#include "document/CharacterReferences.h"
#include "shell/RunError.h"
#include "shell/UserInterface.h"

#include <vector>

namespace vorlix::document {

namespace {
    const QString kPiece = QStringLiteral("piece");
    const QString kSystem = QStringLiteral("System");
    // The size of element buffer worth giving back once its value is stored.
    constexpr qsizetype kLargeToken = qsizetype(1) << 20;

    // A UTF-16 file read as bytes has a zero byte beside every ASCII character; no text in UTF-8
    // or Shift_JIS holds one.
    bool looksLikeUtf16(const QString& document)
    {
        return document.contains(QChar(u'\0'));
    }
}

void ApartXML::report(Problem kind, const QString& message)
{
    if (m_quiet)
        return;
    m_report.note(kind, m_xml.prevPoint(), message);
    shell::SystemBeep();
    shell::WriteLog(QStringLiteral("Compiler/") + message);
}

void ApartXML::Text(const QString& document)
{
    m_stream = nullptr;
    m_xml.Text(document);
    read(document.left(64));
}

void ApartXML::Stream(DataStream& stream)
{
    m_stream = &stream;
    m_places.clear();
    m_xml.Stream(&stream);
    // Each piece is read into the empty scratch tree and the tree returned to empty after it,
    // which costs what the piece added, not a new tree.
    m_scratch.Cls();
    m_scratchEmpty = m_scratch.mark();
    read({});
    m_scratchEmpty.reset();
    m_scratch.Cls();
    m_stream = nullptr;
    m_xml.Refresh();
}

void ApartXML::readRecord(const QString& text, Tree& tree)
{
    Tree* const outer = m_tree;
    m_tree = &tree;
    m_quiet = true;
    m_xml.Text(text);
    try {
        if (m_xml.getToken(m_pieceName) == XmlToken::StartTag)
            readPiece();
    } catch (...) {
        m_tree = outer;
        m_quiet = false;
        throw;
    }
    m_tree = outer;
    m_quiet = false;
    m_xml.Refresh();
}

void ApartXML::read(const QString& opening)
{
    m_pieceCount = 0;
    m_report = {};
    if (m_tree == nullptr) {
        report(Problem::Error, QStringLiteral("Text>データの木がない"));
        return;
    }
    try {
        readDocument(opening);
    } catch (const shell::RunError& error) {
        // A store failure ends the read like any other error; the count goes to the root.
        report(Problem::Error, error.description());
        m_tree->ChRootTree();
    }
    try {
        storePieceCount();
    } catch (const shell::RunError& error) {
        report(Problem::Error, error.description());
    }
}

bool ApartXML::isVorlixElement(const QString& name, const QString& wanted) const
{
    return name == wanted
        || (m_xml.Attribut() == QLatin1String("manner")
            && m_xml.Value() == QLatin1String("vorlix"));
}

void ApartXML::readDocument(const QString& opening)
{
    QString token;
    XmlToken kind;
    do
        kind = m_xml.getToken(token);
    while (kind != XmlToken::XmlDecl && kind != XmlToken::EndOfText);
    if (kind == XmlToken::EndOfText) {
        report(Problem::Error,
            looksLikeUtf16(m_stream != nullptr ? m_stream->opening() : opening)
                ? QStringLiteral(
                    "Text>UTF-16 の文書は読めません。UTF-8 か Shift_JIS で保存してください")
                : QStringLiteral("Text>XML宣言が見つからない"));
        return;
    }
    m_tree->Value(QStringLiteral("xml"), token);
    for (;;) {
        kind = m_xml.getToken(token);
        if (kind == XmlToken::EndOfText) {
            report(Problem::Error,
                QStringLiteral("Text>vorlix文書を示すタグが見つかる前にEOF\r\nタグ名:"));
            return;
        }
        if (kind == XmlToken::StartTag && isVorlixElement(token, QStringLiteral("TZQ_002")))
            break;
    }
    m_documentName = token;
    m_tree->ChTree(kSystem);
    m_tree->Value(QStringLiteral("TzqVersion"), QStringLiteral("3"));
    m_tree->ChUpTree();
    readBody();
}

bool ApartXML::readUntilEndTag(bool piecesAllowed, QString& endTag)
{
    QString token;
    for (;;) {
        if (piecesAllowed && m_stream != nullptr)
            m_stream->release(m_xml.Point());
        switch (m_xml.getToken(token)) {
        case XmlToken::StartTag:
            if (piecesAllowed && isVorlixElement(token, kPiece))
                readPieceElement(token);
            else
                readElement(token);
            break;
        case XmlToken::EndTag:
            endTag = token;
            return true;
        case XmlToken::EndOfText:
            return false;
        default:
            break;
        }
    }
}

void ApartXML::readBody()
{
    QString endTag;
    while (readUntilEndTag(true, endTag)) {
        if (endTag == m_documentName)
            return;
        report(Problem::Warning, QStringLiteral("TzqData>終了タグが違う:") + endTag);
    }
    report(Problem::Warning, QStringLiteral("TzqData>予期せぬEOF"));
}

void ApartXML::readPieceElement(const QString& name)
{
    m_pieceName = name;
    ++m_pieceCount;
    if (m_stream == nullptr) {
        readPieceIn(*m_tree);
        return;
    }
    // The piece is read to be checked as the whole read would check it; the merge reads it
    // again from its place when it comes to it.
    const std::int32_t start = m_xml.prevPoint();
    m_scratch.rollback(*m_scratchEmpty);
    readPieceIn(m_scratch);
    placePiece(start);
}

void ApartXML::readPieceIn(Tree& tree)
{
    Tree* const outer = m_tree;
    m_tree = &tree;
    try {
        const std::int32_t index = m_tree->Add(kPiece);
        m_tree->ChTree(m_tree->daL(index));
        readPiece();
        m_tree->ChUpTree();
    } catch (...) {
        m_tree = outer;
        throw;
    }
    m_tree = outer;
}

// A piece lies from the "<" that began its start tag (or a comment before it) to the next "<"
// after its end, or to the end of the document.
void ApartXML::placePiece(std::int32_t start)
{
    PiecePlace place;
    place.position = start;
    place.byteStart = m_stream->byteOf(start);
    const std::int32_t next = m_xml.findNext(u'<', m_xml.Point());
    place.byteEnd = next == 0 ? m_stream->windows().size() : m_stream->byteOf(next);
    if (place.byteStart < 0 || place.byteEnd < place.byteStart)
        throw shell::RunError(shell::RunError::SubscriptOutOfRange,
            QStringLiteral("Text>ピースの位置が分かりません"));
    m_places.push_back(place);
}

// A piece ends at the first end tag, whichever it is.
void ApartXML::readPiece()
{
    QString endTag;
    if (!readUntilEndTag(false, endTag))
        report(Problem::Warning, QStringLiteral("PriData>予期せぬEOF"));
    else if (endTag != m_pieceName)
        report(Problem::Warning, QStringLiteral("PriData>終了タグが違う:") + endTag);
}

// Reads one data element and everything nested in it. The open elements are kept on an explicit
// stack, so that documents nested ten thousand levels deep cannot exhaust the call stack; the
// tree's current directory always holds the innermost open element.
void ApartXML::readElement(const QString& name)
{
    struct Open {
        std::int32_t index;
        QString name;
    };
    std::vector<Open> open { { m_tree->Add(name), name } };
    // Elements are not read recursively, so one buffer serves every element of the document.
    QString& token = m_elementToken;
    while (!open.empty()) {
        const XmlToken kind = m_xml.getToken(token);
        const std::int32_t index = open.back().index;
        bool closed = false;
        switch (kind) {
        case XmlToken::CharData:
            decodeCharacterReferences(token);
            m_tree->daV(index, token);
            // The tree holds its own copy: a buffer of many megabytes is not kept for the short
            // values that follow.
            if (token.capacity() > kLargeToken)
                token = QString();
            break;
        case XmlToken::StartTag:
            m_tree->ChTree(m_tree->daL(index));
            open.push_back({ m_tree->Add(token), token });
            break;
        case XmlToken::EndTag:
            if (token != open.back().name) {
                m_tree->daV(index, Tree::NoLabel);
                report(Problem::Warning, QStringLiteral("LabData>終了タグが違う:") + token);
            }
            closed = true;
            break;
        case XmlToken::EndOfText:
            m_tree->daV(index, Tree::NoLabel);
            report(Problem::Warning, QStringLiteral("LabData>予期せぬEOF"));
            closed = true;
            break;
        default:
            break;
        }
        if (closed) {
            open.pop_back();
            if (!open.empty())
                m_tree->ChUpTree();
        }
    }
}

void ApartXML::storePieceCount()
{
    m_tree->ChTree(kSystem);
    m_tree->Value(QStringLiteral("mpiececount"), QString::number(m_pieceCount));
    m_tree->ChUpTree();
}

}
