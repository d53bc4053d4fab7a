#pragma once

#include "shell/Log.h"

#include <QString>
#include <cstdint>

namespace vorlix::document {

// The kinds of token the XML cutter hands out; callers compare the numbers.
enum class XmlToken : int {
    XmlDecl = 1, // <?xml ... ?>, the text between the marks
    Declaration = 2, // <!...>, a document type or another declaration
    StartTag = 3, // <name ...>, the name
    EndTag = 4, // </name>, the name
    EmptyTag = 5, // <name ... />, the name
    CharData = 6, // the text between two tags, blanks trimmed
    BadTag = 9, // a "<" that starts nothing the cutter knows
    EndOfText = 10, // the end, handed out again on every later call
};

// A small, forgiving XML tokenizer over one decoded document text. It never fails: anything
// malformed comes back as a bad tag or is swallowed by a scan that runs to the end of the text.
// Positions are 1-based UTF-16 positions; a caller steps back one token by writing prevPoint()
// into Point().
class xmlTC {
public:
    xmlTC() = default;

    // Stores the text and rewinds to its first character.
    void Text(const QString& text);
    void TextEx(const QString& text) { Text(text); }
    [[nodiscard]] const QString& Text() const { return m_text; }
    // Empties the text; Size and Point become 0.
    void Refresh();

    [[nodiscard]] std::int32_t Size() const { return m_size; } // the text's length
    // The position of the next character to read, and moving it.
    [[nodiscard]] std::int32_t Point() const { return m_point; }
    void Point(std::int32_t point) { m_point = point; }
    [[nodiscard]] std::int32_t prevPoint() const
    {
        return m_prevPoint;
    } // where the last token began
    // Name and quoted value of the last attribute of the last start or empty-element tag.
    [[nodiscard]] const QString& Attribut() const { return m_attribut; }
    [[nodiscard]] const QString& Value() const { return m_value; }

    // Cuts the next token; its text goes into `token` (left alone for end of text and for some
    // bad tags).
    XmlToken getToken(QString& token);

    // Blank characters of the document format: CR, LF, tab, space and the ideographic space.
    [[nodiscard]] static bool isBlank(QChar c);
    // Removes blanks (in the sense above) at both ends, or only at the end.
    [[nodiscard]] static QString trimBlanks(const QString& text);

private:
    shell::LifeLog m_life { QStringLiteral("xmlTC") };
    QString m_text;
    std::int32_t m_size = 0;
    std::int32_t m_point = 0;
    std::int32_t m_prevPoint = 0;
    QString m_attribut;
    QString m_value;
    // Where the text of the next attribute name begins: after the tag name or the last quote.
    std::int32_t m_attributeStart = 0;

    [[nodiscard]] QChar at(std::int32_t position) const;
    [[nodiscard]] bool startsWithAt(std::int32_t position, QLatin1String what) const;
    [[nodiscard]] QString mid(std::int32_t from, std::int32_t to) const;
    [[nodiscard]] QStringView midView(std::int32_t from, std::int32_t to) const;
    void skipBlanks();
    [[nodiscard]] bool readName();
    bool spanScan(QChar closing);
    void skipComment();
    XmlToken readXmlDeclaration(std::int32_t start, QString& token);
    // Reads the tag name that starts at nameStart; false (blanks skipped) when there is none.
    [[nodiscard]] bool readTagName(std::int32_t nameStart, QString& token);
    XmlToken readEndTag(std::int32_t start, QString& token);
    XmlToken readStartTag(std::int32_t start, QString& token);
};

}
