#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>

// The shared stateless routines of module Common that need neither a printer nor a window: the
// paper vocabulary, tolerant number conversion with defaults and the file-name helpers.
namespace vorlix::shell {

// A paper size of the fixed table, in tenths of a millimetre, portrait, width before height.
struct PaperSize {
    std::int32_t code;
    std::int32_t width;
    std::int32_t height;
};

// The printer paper codes 1 to 41 with their sizes (inch sizes times 254, rounded to even).
extern const std::array<PaperSize, 41> kPaperSizes;

// A paper name accepted by PaperSizeCode (compared upper-cased).
struct PaperName {
    const char16_t* name;
    std::int32_t code;
};

extern const std::array<PaperName, 11> kPaperNames;

// The paper code of a name ("A4", "letter", ...) or of a number given as text (its first four
// characters); 9 (A4) for anything else and for codes of 0 or less.
[[nodiscard]] std::int32_t PaperSizeCode(const QString& paper);

// The extent of a paper along an axis (1 horizontal, else vertical) in an orientation (1 portrait,
// else landscape), in tenths of a millimetre. Codes outside the table ask the current printer.
[[nodiscard]] std::int32_t PaperExtent(int axis, std::int32_t code, int orientation);

// Tolerant conversions: a value that passes the numeric test (a number, or text that reads as
// one) is converted, integers rounded to even; anything else, and any value out of range, gives
// the default. They never throw.
[[nodiscard]] std::int16_t ToInteger(const QVariant& value, std::int16_t defaultValue);
[[nodiscard]] std::int32_t ToLong(const QVariant& value, std::int32_t defaultValue);
[[nodiscard]] float ToSingle(const QVariant& value, float defaultValue);
[[nodiscard]] double ToDouble(const QVariant& value, double defaultValue);

// The text before the first NUL with blanks trimmed: what a buffer filled by the platform holds.
[[nodiscard]] QString TrimAtNul(const QString& buffer);

// Everything after the last "." (folder separators do not stop the search); empty for names of
// fewer than 3 characters and names without ".".
[[nodiscard]] QString FileExtension(const QString& name);

// A file name as this system reads it: every "\" of a name written on Windows becomes "/".
[[nodiscard]] QString localPath(const QString& name);

// The file's name without folder, drive and extensions ("C:\forms\bill.copy.fae" gives "bill");
// "/", "\" and ":" all end the folder part. Surrounding double quotes are removed.
[[nodiscard]] QString BaseName(const QString& name);

}
