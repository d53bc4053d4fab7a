#include "lang/DecimalNumber.h"

#include "shell/Trim.h"

#include <algorithm>

namespace vorlix::lang {

namespace {

    bool isBlank(QChar c)
    {
        return c == u' ' || c == u'\t' || c == u'\u3000';
    }

    // Full-width digits and signs as their ASCII forms; the minus sign U+2212 as "-".
    QChar halfWidth(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            return QChar(u'0' + (u - u'０'));
        switch (u) {
        case u'＋':
            return QChar(u'+');
        case u'－':
        case u'\u2212':
            return QChar(u'-');
        case u'，':
            return QChar(u',');
        case u'．':
            return QChar(u'.');
        default:
            return c;
        }
    }

    bool isDigit(QChar c)
    {
        return c >= u'0' && c <= u'9';
    }

    // Digits with commas only between groups: one to three digits, then groups of three.
    bool readInteger(QStringView text, QString& digits)
    {
        qsizetype group = 0;
        bool grouped = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u',') {
                if (group == 0 || (grouped && group != 3) || (!grouped && group > 3))
                    return false;
                grouped = true;
                group = 0;
                continue;
            }
            if (!isDigit(text[i]))
                return false;
            digits += text[i];
            ++group;
        }
        return !grouped || group == 3;
    }

    // Adds one to a run of decimal digits.
    void increment(QString& digits)
    {
        for (qsizetype i = digits.size() - 1; i >= 0; --i) {
            if (digits[i] != u'9') {
                digits[i] = QChar(digits[i].unicode() + 1);
                return;
            }
            digits[i] = u'0';
        }
        digits.prepend(u'1');
    }

    // Digits standing for an integer times ten to -places, as integer and fraction digits.
    DecimalNumber::Digits split(const QString& digits, int places)
    {
        DecimalNumber::Digits result;
        const qsizetype cut = digits.size() - places;
        result.fraction = cut >= 0 ? digits.sliced(cut) : QString(-cut, u'0') + digits;
        qsizetype first = 0;
        while (first < cut && digits[first] == u'0')
            ++first;
        result.integer = cut > first ? digits.sliced(first, cut - first) : QString();
        return result;
    }

}

bool DecimalNumber::Digits::isZero() const
{
    for (const QChar c : integer + fraction) {
        if (c != u'0')
            return false;
    }
    return true;
}

std::optional<DecimalNumber> DecimalNumber::read(QStringView written)
{
    QStringView rest = shell::trimmedBy(written, isBlank);
    // Full-width forms are read as their ASCII ones; most values have none.
    QString halfWidthText;
    if (std::any_of(rest.begin(), rest.end(), [](QChar c) { return c.unicode() > 127; })) {
        halfWidthText.resize(rest.size());
        std::transform(rest.begin(), rest.end(), halfWidthText.begin(), halfWidth);
        rest = halfWidthText;
    }
    DecimalNumber number;
    if (rest.startsWith(u'-') || rest.startsWith(u'+')) {
        number.m_negative = rest.front() == u'-';
        rest = rest.sliced(1);
    }
    const qsizetype point = rest.indexOf(u'.');
    QString digits;
    digits.reserve(rest.size());
    if (!readInteger(point < 0 ? rest : rest.first(point), digits))
        return std::nullopt;
    const qsizetype integerDigits = digits.size();
    if (point >= 0) {
        for (const QChar c : rest.sliced(point + 1)) {
            if (!isDigit(c))
                return std::nullopt;
            digits += c;
        }
    }
    if (digits.isEmpty())
        return std::nullopt;
    number.m_exponent = -static_cast<int>(digits.size() - integerDigits);
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == u'0')
        ++first;
    qsizetype end = digits.size();
    while (end > first && digits[end - 1] == u'0') {
        --end;
        ++number.m_exponent;
    }
    digits.truncate(end);
    digits.remove(0, first);
    number.m_digits = std::move(digits);
    if (number.m_digits.isEmpty()) {
        number.m_exponent = 0;
        number.m_negative = false;
    }
    return number;
}

DecimalNumber DecimalNumber::magnitude() const
{
    DecimalNumber copy = *this;
    copy.m_negative = false;
    return copy;
}

DecimalNumber DecimalNumber::shifted(int power) const
{
    DecimalNumber copy = *this;
    if (!copy.m_digits.isEmpty())
        copy.m_exponent += power;
    return copy;
}

DecimalNumber::Digits DecimalNumber::rounded(int places) const
{
    QString digits = m_digits;
    if (m_exponent >= -places) {
        digits += QString(m_exponent + places, u'0');
    } else {
        const qsizetype drop = -places - m_exponent;
        bool up = false;
        if (drop <= digits.size()) {
            up = digits[digits.size() - drop] >= u'5';
            digits.chop(drop);
        } else {
            digits.clear();
        }
        if (up)
            increment(digits);
    }
    return split(digits, places);
}

DecimalNumber::Digits DecimalNumber::exact() const
{
    if (m_exponent >= 0)
        return { m_digits + QString(m_exponent, u'0'), {} };
    return split(m_digits, -m_exponent);
}

}
