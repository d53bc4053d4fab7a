#include "render/PdfContent.h"

#include <charconv>
#include <cmath>

namespace vorlix::render {

namespace {

    // Thousandths up to this size are exact in a double, so their decimal text is the integer's.
    constexpr double MaxExactThousandths = 1e12;

    // Writes thousandths as "int.frac" without trailing zeros: a page writes every coordinate so,
    // and the integer digits are much cheaper than a general double conversion.
    int formatThousandths(char* buffer, std::size_t size, double thousandths)
    {
        const auto scaled = static_cast<long long>(thousandths);
        const unsigned long long magnitude
            = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled) : scaled;
        char* out = buffer;
        if (scaled < 0)
            *out++ = '-';
        const auto [end, error] = std::to_chars(out, buffer + size, magnitude / 1000);
        if (error != std::errc())
            return 0;
        out = end;
        unsigned fraction = static_cast<unsigned>(magnitude % 1000);
        if (fraction != 0) {
            *out++ = '.';
            for (unsigned unit = 100; fraction != 0; unit /= 10) {
                *out++ = static_cast<char>('0' + fraction / unit);
                fraction %= unit;
            }
        }
        return static_cast<int>(out - buffer);
    }

    // Writes value into buffer, returns the length.
    int formatNumber(char* buffer, std::size_t size, double value, int decimals = 3)
    {
        const double factor = decimals == 3 ? 1e3 : std::pow(10.0, decimals);
        const double thousandths = std::round(value * factor);
        const double rounded = thousandths / factor;
        if (rounded == 0.0 || !std::isfinite(rounded)) {
            buffer[0] = '0';
            return 1;
        }
        if (decimals == 3 && std::abs(thousandths) < MaxExactThousandths)
            return formatThousandths(buffer, size, thousandths);
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
    m_bytes.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
    return *this;
}

PdfContent& PdfContent::operator<<(double value)
{
    char buffer[64];
    m_bytes.append(buffer, static_cast<std::size_t>(formatNumber(buffer, sizeof buffer, value)));
    return *this;
}

void PdfContent::appendPrecise(double value)
{
    char buffer[64];
    m_bytes.append(buffer, static_cast<std::size_t>(formatNumber(buffer, sizeof buffer, value, 9)));
}

void PdfContent::appendGlyph(std::uint32_t glyph)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const char hex[4] = { Digits[(glyph >> 12) & 15], Digits[(glyph >> 8) & 15],
        Digits[(glyph >> 4) & 15], Digits[glyph & 15] };
    m_bytes.append(hex, 4);
}

void PdfContent::appendTextString(QStringView text)
{
    m_bytes.append("<FEFF");
    for (const QChar c : text)
        appendGlyph(c.unicode());
    m_bytes.push_back('>');
}

QByteArray PdfContent::number(double value)
{
    char buffer[64];
    return QByteArray(buffer, formatNumber(buffer, sizeof buffer, value));
}

}
