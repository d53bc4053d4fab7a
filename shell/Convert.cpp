#include "shell/Convert.h"

#include "shell/Checked.h"
#include "shell/RunError.h"
#include "shell/Trim.h"

#include <cmath>

namespace vorlix::shell {

double roundHalfEven(double value)
{
    // The default rounding mode rounds ties to even, and the program never changes it.
    return std::nearbyint(value);
}

namespace {

    bool isBlank(QChar c)
    {
        return c == u' ' || c == u'\t' || c == QChar(0x3000);
    }

    std::optional<double> parseRadix(QStringView digits, int radix)
    {
        if (digits.isEmpty())
            return std::nullopt;
        bool ok = false;
        const qulonglong raw = digits.toULongLong(&ok, radix);
        if (!ok || raw > 0xFFFFFFFFull)
            return std::nullopt;
        // Up to four hex digits read as a 16-bit value (&HFFFF is -1), more as a 32-bit value:
        // forms written for the old program rely on it.
        if (radix == 16 && digits.size() <= 4)
            return static_cast<double>(static_cast<std::int16_t>(raw));
        if (raw > 0xFFFFull || radix == 8)
            return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw)));
        return static_cast<double>(static_cast<std::int16_t>(raw));
    }

    // Accepts [sign] digits [. digits] [(E|D) [sign] digits] with at least one digit in the
    // mantissa.
    std::optional<double> parseDecimal(QStringView s)
    {
        qsizetype i = 0;
        const qsizetype n = s.size();
        auto digitsAt = [&](qsizetype& k) {
            const qsizetype start = k;
            while (k < n && s[k] >= u'0' && s[k] <= u'9')
                ++k;
            return k - start;
        };
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        qsizetype mantissa = digitsAt(i);
        if (i < n && s[i] == u'.') {
            ++i;
            mantissa += digitsAt(i);
        }
        if (mantissa == 0)
            return std::nullopt;
        if (i < n && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
            ++i;
            if (i < n && (s[i] == u'+' || s[i] == u'-'))
                ++i;
            if (digitsAt(i) == 0)
                return std::nullopt;
        }
        if (i != n)
            return std::nullopt;
        QString text = s.toString();
        text.replace(u'D', u'E').replace(u'd', u'e');
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        return v;
    }

}

std::optional<std::int32_t> parsePlainInteger(QStringView s)
{
    qsizetype i = (!s.isEmpty() && (s[0] == u'+' || s[0] == u'-')) ? 1 : 0;
    const qsizetype digits = s.size() - i;
    if (digits < 1 || digits > 9)
        return std::nullopt;
    std::int32_t value = 0;
    for (qsizetype k = i; k < s.size(); ++k) {
        const char16_t c = s[k].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return s[0] == u'-' ? -value : value;
}

std::int32_t toInt32(double value)
{
    return checked::rnd(value);
}
std::int16_t toInt16(double value)
{
    return checked::rnd<std::int16_t>(value);
}

std::optional<double> parseNumber(QStringView text)
{
    const QStringView s = trimmedBy(text, isBlank);
    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return parseRadix(s.mid(2), 16);
        if (s[1] == u'O' || s[1] == u'o')
            return parseRadix(s.mid(2), 8);
    }
    if (const auto plain = parsePlainInteger(s))
        return *plain;
    return parseDecimal(s);
}

std::int32_t cLng(const QString& text)
{
    const auto v = parseNumber(text);
    if (!v)
        throw RunError::typeMismatch();
    return toInt32(*v);
}

std::int16_t cInt(const QString& text)
{
    const auto v = parseNumber(text);
    if (!v)
        throw RunError::typeMismatch();
    return toInt16(*v);
}

double cDbl(const QString& text)
{
    const auto v = parseNumber(text);
    if (!v)
        throw RunError::typeMismatch();
    return *v;
}

QString generalNumberText(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    QString text = QString::asprintf("%.15G", value);
    return text;
}

}
