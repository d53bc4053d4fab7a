#include "lang/NativeNumerals.h"

namespace vorlix::lang {

namespace {

    constexpr char16_t KanjiDigits[] = u"〇一二三四五六七八九";
    constexpr char16_t FormalDigits[] = u"〇壱弐参四伍六七八九";
    constexpr char16_t FullWidthDigits[] = u"０１２３４５６７８９";
    // Tens, hundreds and thousands inside a group of four digits.
    constexpr char16_t KanjiUnits[] = u"十百千";
    constexpr char16_t FormalUnits[] = u"拾百阡";
    // The unit of each group of four digits from the second on: 10^4, 10^8, ... 10^48.
    constexpr char16_t GroupUnits[] = u"万億兆京垓秭穣溝澗正載極";
    constexpr char16_t FormalGroupUnits[] = u"萬億兆京垓秭穣溝澗正載極";
    constexpr qsizetype GroupUnitCount = 12;

}

QChar NativeNumerals::digit(QChar ascii) const
{
    if (ascii < u'0' || ascii > u'9')
        return ascii;
    const qsizetype value = ascii.unicode() - u'0';
    switch (m_kind) {
    case Kind::Arabic:
        return ascii;
    case Kind::Kanji:
        return QChar(KanjiDigits[value]);
    case Kind::Formal:
        return QChar(FormalDigits[value]);
    case Kind::FullWidth:
        return QChar(FullWidthDigits[value]);
    }
    return ascii;
}

QString NativeNumerals::digits(QStringView ascii) const
{
    QString text = ascii.toString();
    if (m_kind != Kind::Arabic) {
        for (QChar& c : text)
            c = digit(c);
    }
    return text;
}

// One group of up to four digits with its small units. The kanji forms leave out the one before
// a unit (千 rather than 一千); the formal numerals write every digit, as receipts do.
QString NativeNumerals::group(QStringView fourDigits) const
{
    const char16_t* units = m_kind == Kind::Formal ? FormalUnits : KanjiUnits;
    const bool writeOne = m_kind == Kind::Formal;
    QString text;
    const qsizetype n = fourDigits.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar figure = fourDigits[i];
        const qsizetype place = n - 1 - i;
        if (figure == u'0')
            continue;
        if (figure != u'1' || place == 0 || writeOne)
            text += digit(figure);
        if (place > 0)
            text += QChar(units[place - 1]);
    }
    return text;
}

QString NativeNumerals::counted(QStringView integer) const
{
    if (m_kind == Kind::Arabic)
        return integer.isEmpty() ? QStringLiteral("0") : integer.toString();
    if (integer.isEmpty())
        return digits(u"0");
    const qsizetype groups = (integer.size() + 3) / 4;
    if (groups > GroupUnitCount + 1)
        return digits(integer);
    const char16_t* large = m_kind == Kind::Formal ? FormalGroupUnits : GroupUnits;
    QString text;
    qsizetype start = 0;
    for (qsizetype g = groups - 1; g >= 0; --g) {
        const qsizetype length = integer.size() - start - g * 4;
        const QString part = group(integer.sliced(start, length));
        start += length;
        if (part.isEmpty())
            continue;
        text += part;
        if (g > 0)
            text += QChar(large[g - 1]);
    }
    return text;
}

}
