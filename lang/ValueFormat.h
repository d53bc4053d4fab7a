#pragma once

#include "lang/NativeNumerals.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorlix::lang {

class CalendarDate;
class DecimalNumber;

// A spreadsheet format code (表示形式) for numbers or dates, read once and used for any number of
// values. Numbers: "0" and "#" digit places ("?" a blank for a missing digit), "," grouping
// (after the last digit place: thousands), "." decimals, "%" (times 100), literal text as written,
// quoted or after "\", up to three sections positive;negative;zero, General (G/標準), [DBNum1]
// to [DBNum3], [$text-locale] and colours (read, not drawn). Dates: yyyy yy m mm mmm mmmm d dd
// ddd dddd aaa aaaa, the Japanese era g gg ggg and its year e ee, 元 for a first year with
// [$-ja-JP-x-gannen]. Rounding goes half away from zero on the value's exact digits.
class ValueFormat {
public:
    // What reading a format code came to: the format, or a message that names the code and what
    // could not be read.
    struct Parsed;
    // What writing a value came to: the text, or a message that names the value and the format.
    struct Written {
        QString text;
        QString error;
        [[nodiscard]] bool ok() const { return error.isEmpty(); }
    };

    [[nodiscard]] static Parsed parse(const QString& code);
    // The value in this format; an empty value (or one of blanks) writes nothing.
    [[nodiscard]] Written write(const QString& value) const;
    [[nodiscard]] bool isDate() const { return m_date; }
    [[nodiscard]] const QString& code() const { return m_code; }

    // One part of a section, in the order written.
    struct Item {
        enum class Code : std::uint8_t {
            Literal,
            Digit, // text: "0", "#" or "?"
            Point,
            Comma,
            Percent,
            General,
            Year, // count 2 or 4
            Month, // 1 and 2 the number, 3 to 5 the English name
            Day, // 1 and 2 the number, 3 and 4 the English weekday
            Weekday, // aaa and aaaa: the Japanese weekday
            Era, // g, gg, ggg
            EraYear, // e, ee
        };
        Code code = Code::Literal;
        QString text;
        int count = 0;
    };
    // One of the sections positive;negative;zero, or the only section of a date.
    struct Section {
        std::vector<Item> items;
        bool date = false;
        bool general = false;
        bool grouping = false;
        int integerPlaces = 0;
        int decimals = 0;
        // The value is written times ten to this power ("%" adds 2, a thousands comma takes 3).
        int shift = 0;
        NativeNumerals numerals { NativeNumerals::Kind::Arabic };
    };

private:
    ValueFormat() = default;

    [[nodiscard]] Written writeNumber(const DecimalNumber& number) const;
    [[nodiscard]] Written writeDate(const CalendarDate& date, const QString& value) const;
    [[nodiscard]] Written badValue(const QString& value, const char* what) const;

    QString m_code;
    std::vector<Section> m_sections;
    bool m_date = false;
    // [$-ja-JP-x-gannen]: the first year of an era is written 元.
    bool m_gannen = false;
};

struct ValueFormat::Parsed {
    std::optional<ValueFormat> format;
    QString error;
};

}
