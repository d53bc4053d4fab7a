#include "lang/DecimalNumber.h"

#include "lang/DataText.h"

namespace vorlix::lang {

namespace {

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
    QString buffer;
    QStringView rest = DataText::normalised(written, buffer);
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
