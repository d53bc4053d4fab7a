#include "lang/CalendarDate.h"

#include "lang/DataText.h"

#include <QRegularExpression>

namespace vorlix::lang {

namespace {

    struct EraStart {
        int year;
        int month;
        int day;
        const char16_t* letter;
        const char16_t* initial;
        const char16_t* name;
    };
    // Newest first. 明治 begins here with the Gregorian calendar, in its sixth year.
    constexpr EraStart Eras[] = {
        { 2019, 5, 1, u"R", u"令", u"令和" },
        { 1989, 1, 8, u"H", u"平", u"平成" },
        { 1926, 12, 25, u"S", u"昭", u"昭和" },
        { 1912, 7, 30, u"T", u"大", u"大正" },
        { 1868, 1, 1, u"M", u"明", u"明治" },
    };
    constexpr int FirstGregorianYear = 1873;

}

std::optional<CalendarDate> CalendarDate::read(QStringView written)
{
    QString buffer;
    const QStringView text = DataText::normalised(written, buffer);
    // The time of a date and time is read past, not used.
    static const QRegularExpression shape(QStringLiteral(
        "^(?:(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})|(\\d{4})(\\d{2})(\\d{2}))"
        "(?:[T ]\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?(?:Z|[+-]\\d{2}:?\\d{2})?)?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int first = match.capturedLength(1) > 0 ? 1 : 5;
    const int year = match.captured(first).toInt();
    const int month = match.captured(first + (first == 1 ? 2 : 1)).toInt();
    const int day = match.captured(first + (first == 1 ? 3 : 2)).toInt();
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid())
        return std::nullopt;
    return CalendarDate(date);
}

QString CalendarDate::japaneseWeekday(bool longName) const
{
    static const char16_t days[] = u"月火水木金土日";
    QString name = QChar(days[m_date.dayOfWeek() - 1]);
    if (longName)
        name += QStringLiteral("曜日");
    return name;
}

QString CalendarDate::englishWeekday(bool longName) const
{
    static const char* const names[]
        = { "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday" };
    const QString name = QString::fromLatin1(names[m_date.dayOfWeek() - 1]);
    return longName ? name : name.left(3);
}

QString CalendarDate::englishMonth(int length) const
{
    static const char* const names[] = { "January", "February", "March", "April", "May", "June",
        "July", "August", "September", "October", "November", "December" };
    const QString name = QString::fromLatin1(names[m_date.month() - 1]);
    if (length >= 5)
        return name.left(1);
    return length == 4 ? name : name.left(3);
}

std::optional<CalendarDate::Era> CalendarDate::era() const
{
    if (m_date.year() < FirstGregorianYear)
        return std::nullopt;
    for (const EraStart& start : Eras) {
        if (m_date >= QDate(start.year, start.month, start.day)) {
            return Era { QString::fromUtf16(start.letter), QString::fromUtf16(start.initial),
                QString::fromUtf16(start.name), m_date.year() - start.year + 1 };
        }
    }
    return std::nullopt;
}

}
