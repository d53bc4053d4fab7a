#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

namespace vorlix::lang {

// A date as data holds it (2026-12-09, 2026/12/9, 20261209, or 2026-12-09T10:30 of which the date
// counts), with the names a date format writes: the weekday in Japanese and English and the
// Japanese era.
class CalendarDate {
public:
    // The era a date falls in: its Latin letter, its first character, its name and the year of
    // the era.
    struct Era {
        QString letter;
        QString initial;
        QString name;
        int year = 0;
    };

    // Reads a date; a day that does not exist (2026-02-30) or any other text is no date.
    [[nodiscard]] static std::optional<CalendarDate> read(QStringView text);

    [[nodiscard]] const QDate& date() const { return m_date; }
    // 水, or 水曜日 when long.
    [[nodiscard]] QString japaneseWeekday(bool longName) const;
    // Wed, or Wednesday when long.
    [[nodiscard]] QString englishWeekday(bool longName) const;
    // Dec, December, or D when a letter.
    [[nodiscard]] QString englishMonth(int length) const;
    // The era of the Gregorian calendar in Japan: 明治 from 1873 (when Japan took up the
    // calendar) to 令和; none before 1873.
    [[nodiscard]] std::optional<Era> era() const;

private:
    explicit CalendarDate(QDate date)
        : m_date(date)
    {
    }

    QDate m_date;
};

}
