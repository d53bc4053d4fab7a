#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace vorlix::lang {

// A number as data holds it ("1,234", "-0012.50", "１２３"), kept as its exact decimal digits, so
// that scaling and rounding never meet the binary fractions of a double: 1.005 rounds to 1.01 as
// it reads, and a sixteen-digit amount keeps every digit.
class DecimalNumber {
public:
    // A number cut at a count of decimals: the integer digits without leading zeros (empty for
    // none) and the fraction's digits.
    struct Digits {
        QString integer;
        QString fraction;
        [[nodiscard]] bool isZero() const;
    };

    // Reads an optional sign, digits with commas between groups of three, an optional decimal
    // point and decimals; half- or full-width; blanks around are ignored. Anything else is no
    // number.
    [[nodiscard]] static std::optional<DecimalNumber> read(QStringView text);

    [[nodiscard]] bool negative() const { return m_negative; }
    [[nodiscard]] bool isZero() const { return m_digits.isEmpty(); }
    [[nodiscard]] DecimalNumber magnitude() const;
    // The number times ten to the power.
    [[nodiscard]] DecimalNumber shifted(int power) const;
    // Rounded to `places` decimals, halves away from zero, with exactly that many fraction digits.
    [[nodiscard]] Digits rounded(int places) const;
    // Every digit the number has, without trailing zeros in the fraction.
    [[nodiscard]] Digits exact() const;

private:
    // The significant digits without leading or trailing zeros (empty for zero); the value is
    // those digits times ten to m_exponent.
    QString m_digits;
    int m_exponent = 0;
    bool m_negative = false;
};

}
