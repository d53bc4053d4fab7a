#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::document {

// The code a "%" of a face takes from its number token; a space when it is no 16-bit number.
[[nodiscard]] std::int16_t characterCodeOf(const QString& number);
// The character of a code as the program's code page numbers it: single bytes below 256,
// double-byte characters as their 16-bit code (negative when the lead byte is 0x80 or above).
[[nodiscard]] QString characterOfCode(std::int16_t code);

}
