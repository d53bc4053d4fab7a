#pragma once

#include "shell/Log.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// Token types handed out by TokenCutter::getToken; callers compare against these numbers.
enum class TokenType : int {
    TkWord = 1,
    TkString = 2,
    TkNumber = 3,
    TkOpen = 4,
    TkClose = 5,
    TkSymbol = 6,
    TkSeparator = 8,
    TkEmpty = 9,
    TkEndOfText = 10,
};

// Whether a token ends the statement it belongs to: a separator or the end of the text.
[[nodiscard]] constexpr bool endsStatement(TokenType type)
{
    return type == TokenType::TkSeparator || type == TokenType::TkEndOfText;
}

// The lexical scanner of the page language and of the merge language. TextEx normalises a whole
// statement text once into a working text where separators and strings are marked by control
// codes; getToken then hands out one token per call. It never refuses input: every character
// sequence yields some token and the end of the text yields TkEndOfText forever.
class TokenCutter {
public:
    // Marker codes inside the working text.
    static constexpr char16_t MarkOpenQuote = 7;
    static constexpr char16_t MarkCloseQuote = 8;
    static constexpr char16_t MarkField = 9;
    static constexpr char16_t MarkStatement = 10;
    static constexpr char16_t MarkBlank = 32;
    static constexpr char16_t IdeographicSpace = 0x3000;

    TokenCutter() = default;

    // Normalises the source into the working text and rewinds to its first character.
    void TextEx(const QString& source);
    // Stores the source unchanged as the working text (no markers, no end marks).
    void SetText(const QString& raw);
    // The working text.
    [[nodiscard]] const QString& Text() const { return m_text; }
    // Number of meaningful positions: source length + 1 after TextEx.
    [[nodiscard]] std::int32_t Size() const { return m_size; }
    // 1-based position of the next character to scan; callers save and restore it to re-read.
    [[nodiscard]] std::int32_t Point() const { return m_point; }
    void SetPoint(std::int32_t point) { m_point = point; }
    // Where the last getToken call began.
    [[nodiscard]] std::int32_t prevPoint() const { return m_prevPoint; }

    // CR LF and lone LF are blanks (true) or statement separators (false).
    [[nodiscard]] bool Opt1() const { return m_opt1; }
    void SetOpt1(bool value) { m_opt1 = value; }
    // The statement separator character (";").
    [[nodiscard]] QString Opt2() const { return codeText(m_opt2); }
    void SetOpt2(const QString& value) { m_opt2 = firstCode(value); }
    // Strings come back as their text, a doubled double quote read as one (true), or as written
    // with their double quotes (false).
    [[nodiscard]] bool Opt3() const { return m_opt3; }
    void SetOpt3(bool value) { m_opt3 = value; }
    // Numbers come back normalised (true) or as written (false).
    [[nodiscard]] bool Opt4() const { return m_opt4; }
    void SetOpt4(bool value) { m_opt4 = value; }
    // The comment character ("#").
    [[nodiscard]] QString Opt5() const { return codeText(m_opt5); }
    void SetOpt5(const QString& value) { m_opt5 = firstCode(value); }
    // The field separator character (",").
    [[nodiscard]] QString Opt6() const { return codeText(m_opt6); }
    void SetOpt6(const QString& value) { m_opt6 = firstCode(value); }
    // One extra character allowed inside words (none by default).
    [[nodiscard]] QString Opt7() const { return codeText(m_opt7); }
    void SetOpt7(const QString& value) { m_opt7 = firstCode(value); }

    // Empties the working text; a new text must be set before the next getToken.
    void Refresh();

    // Cuts the next token into `token` and returns its type.
    TokenType getToken(QString& token);

    // Returns the raw text from the scan position up to the terminator (not included), with
    // quotes and separators restored and trailing blanks removed; the scan position stays on the
    // terminator. Throws RunError 5 for an empty terminator.
    [[nodiscard]] QString getToTemin(const QString& terminator);

    // Result of the last blank skip: true when it absorbed a field separator.
    bool fCtC = false;

private:
    static int firstCode(const QString& value) { return value.isEmpty() ? -1 : value[0].unicode(); }
    static QString codeText(int code);

    // The character at a 1-based position; 0 outside the working text.
    [[nodiscard]] char16_t at(std::int32_t position) const
    {
        return position >= 1 && position <= m_text.size() ? m_text[position - 1].unicode() : 0;
    }
    [[nodiscard]] bool isWordStart(char16_t c) const;
    [[nodiscard]] bool isWordPart(char16_t c) const;

    std::int32_t cutWord(std::int32_t start) const;
    std::int32_t cutNumber(std::int32_t start) const;
    std::int32_t cutHexNumber(std::int32_t start, QString& token) const;
    std::int32_t findCloseQuote(std::int32_t from) const;
    void normalisedNumber(std::int32_t start, std::int32_t end, QString& token) const;

    std::int32_t normaliseComment(const QString& source, std::int32_t p);
    std::int32_t normaliseString(const QString& source, std::int32_t p);
    // Where normalising the source may start: the last position of the previous long text up to
    // which both texts agree and from which nothing before it depends on what follows; 1 when
    // there is none. The working text then already holds the agreed part.
    std::int32_t reusePrefix(const QString& source);
    void keepAsPrefix(const QString& source);

    void skipBlank(std::int32_t from) { skip(from, false); }
    void skipBlankLine(std::int32_t from) { skip(from, true); }
    void skip(std::int32_t from, bool alsoStatements);

    shell::LifeLog m_life { QStringLiteral("TokenCutter") };
    QString m_text;
    std::int32_t m_size = 0;
    std::int32_t m_point = 0;
    std::int32_t m_prevPoint = 0;
    bool m_commaPending = false;
    bool m_opt1 = true;
    int m_opt2 = ';';
    bool m_opt3 = true;
    bool m_opt4 = false;
    int m_opt5 = '#';
    int m_opt6 = ',';
    int m_opt7 = -1;

    // The last long text normalised, and the positions where its normalising loop began a
    // character: a page repeats the document's common head, which is normalised once.
    struct Prefix {
        QString source;
        QString text;
        std::vector<std::int32_t> stops;
        int opt1 = 0;
        int opt2 = 0;
        int opt5 = 0;
        int opt6 = 0;
    } m_prefix;
    // Positions of the text being normalised (while it is long enough to keep).
    std::vector<std::int32_t> m_stops;
    bool m_keepPrefix = false;
    bool m_recordStops = false;
};

}
