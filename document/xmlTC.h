#pragma once

#include "document/TextFeed.h"
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
//
// The text can also arrive from a feed, a piece at a time: positions stay those of the whole
// text, a token that runs across pieces reads whole, and the text before the token being read
// is let go, so the cutter holds only a piece or two however long the document is.
class xmlTC {
public:
    xmlTC() = default;

    // Stores the text and rewinds to its first character.
    void Text(const QString& text);
    void TextEx(const QString& text) { Text(text); }
    // Reads the text from the feed (which must outlive the reading), from its first character.
    void Stream(TextFeed* feed);
    // The text held: all of it, or for a fed text what is left from the last token on.
    [[nodiscard]] const QString& Text() const { return m_text; }
    // Empties the text; Size and Point become 0.
    void Refresh();

    // The text's length (of a fed text: as far as it has arrived).
    [[nodiscard]] std::int32_t Size() const { return m_size; }
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
    // The position of the first `c` at or after `from`, 0 when the text has none.
    [[nodiscard]] std::int32_t findNext(QChar c, std::int32_t from);

    // Blank characters of the document format: CR, LF, tab, space and the ideographic space.
    [[nodiscard]] static bool isBlank(QChar c);
    // Removes blanks (in the sense above) at both ends, or only at the end.
    [[nodiscard]] static QString trimBlanks(const QString& text);

private:
    shell::LifeLog m_life { QStringLiteral("xmlTC") };
    QString m_text;
    // The position of m_text's first character, and where the text held ends.
    std::int32_t m_base = 1;
    std::int32_t m_size = 0;
    TextFeed* m_feed = nullptr;
    std::int32_t m_point = 0;
    std::int32_t m_prevPoint = 0;
    QString m_attribut;
    QString m_value;
    // Where the text of the next attribute name begins: after the tag name or the last quote.
    std::int32_t m_attributeStart = 0;

    // Whether the text reaches the position, fetching more of a fed text as needed.
    [[nodiscard]] bool has(std::int32_t position)
    {
        return position <= m_size || (m_feed != nullptr && fetch(position));
    }
    bool fetch(std::int32_t position);
    // Lets go of the text before the next token of a fed text once it is worth moving.
    void dropRead();
    [[nodiscard]] std::int32_t indexOf(QStringView what, std::int32_t from);
    [[nodiscard]] QChar at(std::int32_t position)
    {
        if (position < m_base || !has(position))
            return QChar();
        return m_text.at(position - m_base);
    }
    [[nodiscard]] bool startsWithAt(std::int32_t position, QLatin1String what);
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
