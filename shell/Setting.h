#pragma once

#include <QString>
#include <cstdint>

// Reading and writing the one settings object of the module state with the defaults of the table
// a new settings file receives, so that no caller types a default again. GetString writes a
// missing key's default back; without a settings object (tools, tests) the default is the answer
// and writes go nowhere.
namespace vorlix::shell {

// The section under which the print offsets of a printer without a name are kept; its entries
// are the defaults of every printer's section.
inline const QString kNoPrinterSection = QStringLiteral("NULL");

// A key with the table's default.
[[nodiscard]] QString setting(const QString& section, const QString& key);
// A key with a default of the caller's (keys whose section the table cannot name).
[[nodiscard]] QString setting(
    const QString& section, const QString& key, const QString& defaultValue);
// Which numbers a key may hold; any other value counts as the table's default.
enum class Accept { Any, Positive };

// A key read as a whole number or a number; a value that is none gives the table's default.
[[nodiscard]] std::int32_t settingLong(
    const QString& section, const QString& key, Accept accept = Accept::Any);
[[nodiscard]] double settingDouble(
    const QString& section, const QString& key, Accept accept = Accept::Any);
// A whole number of a printer's own section, whose defaults are those of the section of the
// printer without a name.
[[nodiscard]] std::int32_t printerSettingLong(const QString& printerSection, const QString& key);
// A key read as a boolean: "True" or "False" in any letter case, or a number (non-zero true).
[[nodiscard]] bool settingFlag(const QString& section, const QString& key);
// The text the settings hold for a boolean.
[[nodiscard]] QString flagText(bool value);
// Writes a key.
void storeSetting(const QString& section, const QString& key, const QString& value);

}
