#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The number rules that statement arguments, the merge, the settings and the utilities share:
// rounding to even, overflow checks and the tolerant string-to-number reading of forms' texts.
namespace vorlix::shell {

// Rounds to the nearest integer value, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
[[nodiscard]] double roundHalfEven(double value);

// Rounds to even and converts; throws RunError 6 (overflow) when the result does not fit or the
// value is not a number.
[[nodiscard]] std::int32_t toInt32(double value);
[[nodiscard]] std::int16_t toInt16(double value);

// The numeric test: surrounding blanks, an optional sign, digits with an optional decimal point
// and an optional exponent (E or D), or &H / &O prefixed hexadecimal and octal integers.
// Returns the value, or nothing when the text does not read as a number.
[[nodiscard]] std::optional<double> parseNumber(QStringView text);

// Short plain integers ([sign] up to nine digits, nothing else), the most common numbers by far,
// read without the general conversion; anything else gives nothing.
[[nodiscard]] std::optional<std::int32_t> parsePlainInteger(QStringView text);

// String to 32-bit integer as a statement argument converts: RunError 13 when the text is no
// number, RunError 6 when it does not fit.
[[nodiscard]] std::int32_t cLng(const QString& text);
// String to 16-bit integer, same errors.
[[nodiscard]] std::int16_t cInt(const QString& text);
// String to double: RunError 13 when the text is no number.
[[nodiscard]] double cDbl(const QString& text);

// The general decimal text of a number: at most 15 significant digits, no trailing zeros, no
// leading blank, exponent form beyond that range (0.5, 10, 1E+16, 1E-05; 0.1 + 0.2 gives 0.3).
[[nodiscard]] QString generalNumberText(double value);

}
