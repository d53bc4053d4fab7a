#include "lang/ValueFormat.h"

#include "lang/CalendarDate.h"
#include "lang/DataText.h"
#include "lang/DecimalNumber.h"
#include "lang/FormatCodeReader.h"

#include <algorithm>
#include <optional>

namespace vorlix::lang {

ValueFormat::Parsed ValueFormat::parse(const QString& code)
{
    FormatCodeReader::Read read = FormatCodeReader::read(code);
    if (!read.error.isEmpty())
        return { std::nullopt,
            QStringLiteral("書式 \"%1\" を読めません: %2").arg(code, read.error) };
    ValueFormat format;
    format.m_code = code;
    format.m_sections = std::move(read.sections);
    format.m_date = read.date;
    format.m_gannen = read.gannen;
    return { std::move(format), {} };
}

namespace {

    using Item = ValueFormat::Item;
    using Code = Item::Code;
    using Section = ValueFormat::Section;

    QString padded(int number, int width, const NativeNumerals& numerals)
    {
        return numerals.digits(QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')));
    }

    QString counted(int number, const NativeNumerals& numerals)
    {
        return numerals.counted(QString::number(number));
    }

    // Writes the integer digits over the digit places from the right: a place without a digit
    // writes 0 for "0", a blank for "?" and nothing for "#"; digits beyond the places go to the
    // first one. When the section groups, a comma goes before every third digit from the right.
    class IntegerWriter {
    public:
        IntegerWriter(const Section& section, const QString& integer)
            : m_integer(integer)
            , m_grouping(section.grouping)
            , m_numerals(section.numerals)
            , m_places(section.integerPlaces)
            , m_overflow(std::max<qsizetype>(0, integer.size() - section.integerPlaces))
        {
            m_left = std::min<qsizetype>(integer.size(), m_places) + m_overflow;
            qsizetype place = 0;
            for (const Item& item : section.items) {
                if (item.code == Code::Point)
                    break;
                if (item.code == Code::Digit && !digitIndex(place++) && item.text != u"#")
                    ++m_left;
            }
        }

        void writeNext(QString& text, const Item& place)
        {
            if (m_next == 0) {
                for (qsizetype i = 0; i < m_overflow; ++i)
                    put(text, m_integer[i]);
            }
            if (const auto index = digitIndex(m_next))
                put(text, m_integer[*index]);
            else if (place.text == u"0")
                put(text, QChar(u'0'));
            else if (place.text == u"?")
                put(text, QChar(u' '));
            ++m_next;
        }

    private:
        // The digit of the integer that the place writes, if it has one.
        [[nodiscard]] std::optional<qsizetype> digitIndex(qsizetype place) const
        {
            const qsizetype index = m_integer.size() - (m_places - place);
            return index >= 0 ? std::optional(index) : std::nullopt;
        }

        void put(QString& text, QChar c)
        {
            text += m_numerals.digit(c);
            --m_left;
            if (m_grouping && m_left > 0 && m_left % 3 == 0)
                text += c == u' ' ? u' ' : u',';
        }

        const QString& m_integer;
        bool m_grouping;
        const NativeNumerals& m_numerals;
        qsizetype m_places;
        qsizetype m_overflow;
        qsizetype m_left = 0;
        qsizetype m_next = 0;
    };

    // The decimal places: a missing digit writes 0 for "0"; "#" leaves trailing zeros out and
    // "?" writes a blank for them.
    void writeDecimalPlace(
        QString& text, const Item& place, const QString& fraction, qsizetype index, QChar digit)
    {
        qsizetype last = fraction.size() - 1;
        while (last >= 0 && fraction[last] == u'0')
            --last;
        if (index <= last || place.text == u"0")
            text += digit;
        else if (place.text == u"?")
            text += u' ';
    }

    QString generalText(const DecimalNumber& number, const NativeNumerals& numerals)
    {
        const DecimalNumber::Digits digits = number.exact();
        QString text = numerals.counted(digits.integer);
        if (!digits.fraction.isEmpty())
            text += u'.' + numerals.digits(digits.fraction);
        return text;
    }

    struct SectionText {
        QString text;
        bool zero = false;
    };

    SectionText writeSection(const Section& section, const DecimalNumber& magnitude)
    {
        const DecimalNumber value = magnitude.shifted(section.shift);
        const DecimalNumber::Digits digits = value.rounded(section.decimals);
        IntegerWriter integer(section, digits.integer);
        SectionText result { {}, section.general ? value.isZero() : digits.isZero() };
        result.text.reserve(32);
        bool afterPoint = false;
        qsizetype decimal = 0;
        for (const Item& item : section.items) {
            switch (item.code) {
            case Code::Digit:
                if (afterPoint) {
                    writeDecimalPlace(result.text, item, digits.fraction, decimal,
                        section.numerals.digit(digits.fraction[decimal]));
                    ++decimal;
                } else {
                    integer.writeNext(result.text, item);
                }
                break;
            case Code::Point:
                afterPoint = true;
                result.text += u'.';
                break;
            case Code::Percent:
                result.text += u'%';
                break;
            case Code::General:
                result.text += generalText(value, section.numerals);
                break;
            default:
                result.text += item.text;
                break;
            }
        }
        return result;
    }

}

ValueFormat::Written ValueFormat::write(const QString& value) const
{
    if (shell::trimmedBy(value, DataText::isBlank).isEmpty())
        return {};
    if (m_date) {
        const auto date = CalendarDate::read(value);
        if (!date)
            return badValue(value, "日付");
        return writeDate(*date, value);
    }
    const auto number = DecimalNumber::read(value);
    if (!number)
        return badValue(value, "数値");
    return writeNumber(*number);
}

ValueFormat::Written ValueFormat::badValue(const QString& value, const char* what) const
{
    return { {},
        QStringLiteral("値 \"%1\" は%2ではありません（書式 \"%3\"）")
            .arg(value, QString::fromUtf8(what), m_code) };
}

// A negative value goes to the second section without its sign, or gets a "-" before the first;
// zero goes to the third section when there is one. A negative value that rounds to zero is
// written as zero from the first section, never as "-0".
ValueFormat::Written ValueFormat::writeNumber(const DecimalNumber& number) const
{
    const DecimalNumber magnitude = number.magnitude();
    if (number.isZero())
        return { writeSection(
                     m_sections[std::min<std::size_t>(2, m_sections.size() - 1)], magnitude)
                     .text,
            {} };
    if (!number.negative())
        return { writeSection(m_sections[0], magnitude).text, {} };
    const bool ownSection = m_sections.size() >= 2;
    const SectionText negative = writeSection(m_sections[ownSection ? 1 : 0], magnitude);
    if (negative.zero)
        return { writeSection(m_sections[0], magnitude).text, {} };
    return { ownSection ? negative.text : u'-' + negative.text, {} };
}

ValueFormat::Written ValueFormat::writeDate(const CalendarDate& date, const QString& value) const
{
    const Section& section = m_sections.front();
    const NativeNumerals& numerals = section.numerals;
    const bool needsEra = std::any_of(section.items.begin(), section.items.end(),
        [](const Item& item) { return item.code == Code::Era || item.code == Code::EraYear; });
    const auto era = date.era();
    if (needsEra && !era)
        return { {},
            QStringLiteral("値 \"%1\" は 1873 年より前なので和暦で書けません（書式 \"%2\"）")
                .arg(value, m_code) };
    const QDate& day = date.date();
    QString text;
    for (const Item& item : section.items) {
        switch (item.code) {
        case Code::Year:
            text += item.count == 4 ? padded(day.year(), 4, numerals)
                                    : padded(day.year() % 100, 2, numerals);
            break;
        case Code::Month:
            if (item.count >= 3)
                text += date.englishMonth(item.count);
            else
                text += item.count == 2 ? padded(day.month(), 2, numerals)
                                        : counted(day.month(), numerals);
            break;
        case Code::Day:
            if (item.count >= 3)
                text += date.englishWeekday(item.count == 4);
            else
                text += item.count == 2 ? padded(day.day(), 2, numerals)
                                        : counted(day.day(), numerals);
            break;
        case Code::Weekday:
            text += date.japaneseWeekday(item.count == 4);
            break;
        case Code::Era:
            text += item.count == 1 ? era->letter : item.count == 2 ? era->initial : era->name;
            break;
        case Code::EraYear:
            if (m_gannen && era->year == 1)
                text += QStringLiteral("元");
            else
                text += item.count == 2 ? padded(era->year, 2, numerals)
                                        : counted(era->year, numerals);
            break;
        default:
            text += item.text;
            break;
        }
    }
    return { text, {} };
}

}
