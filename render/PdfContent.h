#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <cstdint>
#include <string>

namespace vorlix::render {

// A PDF content stream being written: operators and numbers appended without locale or
// allocation per number, so that the same drawing always gives the same bytes.
class PdfContent {
public:
    PdfContent& operator<<(QByteArrayView text)
    {
        m_bytes.append(text.data(), static_cast<std::size_t>(text.size()));
        return *this;
    }
    PdfContent& operator<<(char c)
    {
        m_bytes.push_back(c);
        return *this;
    }
    PdfContent& operator<<(int value);
    // A number with at most three decimals, trailing zeros dropped ("-0" becomes "0").
    PdfContent& operator<<(double value);
    // A scale factor, with the nine decimals a page-wide matrix needs.
    void appendPrecise(double value);
    // Four hexadecimal digits of a glyph id.
    void appendGlyph(std::uint32_t glyph);
    // A text string in UTF-16, with its byte-order mark, in hexadecimal.
    void appendTextString(QStringView text);

    [[nodiscard]] QByteArrayView bytes() const
    {
        return { m_bytes.data(), static_cast<qsizetype>(m_bytes.size()) };
    }
    void reserve(qsizetype size) { m_bytes.reserve(static_cast<std::size_t>(size)); }

    // A number as PdfContent writes it, for the writer's own dictionaries.
    [[nodiscard]] static QByteArray number(double value);

private:
    // A page appends thousands of short pieces: the standard string's appends stay inline where
    // QByteArray's go through its general insert.
    std::string m_bytes;
};

}
