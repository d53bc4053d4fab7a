#include "render/PdfContent.h"

#include <charconv>
#include <cmath>

namespace vorlix::render {

namespace {

    // Writes value into buffer, returns the length.
    int formatNumber(char* buffer, std::size_t size, double value, int decimals = 3)
    {
        const double factor = decimals == 3 ? 1e3 : std::pow(10.0, decimals);
        const double rounded = std::round(value * factor) / factor;
        if (rounded == 0.0 || !std::isfinite(rounded)) {
            buffer[0] = '0';
            return 1;
        }
        const auto [end, error]
            = std::to_chars(buffer, buffer + size, rounded, std::chars_format::fixed, decimals);
        if (error != std::errc())
            return 0;
        char* last = end;
        while (last[-1] == '0')
            --last;
        if (last[-1] == '.')
            --last;
        return static_cast<int>(last - buffer);
    }

}

PdfContent& PdfContent::operator<<(int value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_bytes.append(buffer, result.ptr - buffer);
    return *this;
}

PdfContent& PdfContent::operator<<(double value)
{
    char buffer[64];
    m_bytes.append(buffer, formatNumber(buffer, sizeof buffer, value));
    return *this;
}

void PdfContent::appendPrecise(double value)
{
    char buffer[64];
    m_bytes.append(buffer, formatNumber(buffer, sizeof buffer, value, 9));
}

void PdfContent::appendGlyph(std::uint32_t glyph)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const char hex[4] = { Digits[(glyph >> 12) & 15], Digits[(glyph >> 8) & 15],
        Digits[(glyph >> 4) & 15], Digits[glyph & 15] };
    m_bytes.append(hex, 4);
}

QByteArray PdfContent::number(double value)
{
    char buffer[64];
    return QByteArray(buffer, formatNumber(buffer, sizeof buffer, value));
}

}
