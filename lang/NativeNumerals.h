#pragma once

#include <QString>
#include <QStringView>

namespace vorlix::lang {

// The numerals of the [DBNum] switches of a spreadsheet format: kanji (一二三), the formal
// numerals of contracts and receipts (壱弐参), and full-width digits (１２３).
class NativeNumerals {
public:
    enum class Kind {
        Arabic, // no switch: the ASCII digits
        Kanji, // [DBNum1]
        Formal, // [DBNum2], 大字
        FullWidth, // [DBNum3]
    };

    explicit NativeNumerals(Kind kind = Kind::Arabic)
        : m_kind(kind)
    {
    }

    [[nodiscard]] Kind kind() const { return m_kind; }
    // ASCII digits written one for one: 2026 is 二〇二六 in kanji; other characters stay.
    [[nodiscard]] QString digits(QStringView ascii) const;
    [[nodiscard]] QChar digit(QChar ascii) const;
    // An integer (ASCII digits without leading zeros; empty for zero) written with its units:
    // 1234 is 千二百三十四 in kanji, 壱阡弐百参拾四 formally, 千２百３十４ full-width; Arabic
    // numerals stay as they are.
    [[nodiscard]] QString counted(QStringView integer) const;

private:
    [[nodiscard]] QString group(QStringView fourDigits) const;

    Kind m_kind;
};

}
