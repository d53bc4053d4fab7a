#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace vorlix::shell {

class InitFile;

// Where the value of a default entry comes from.
enum class DefaultSource : std::uint8_t {
    Fixed,
    CurrentFolder,
    SheetFolder,
};

// One entry of a new settings file.
struct SettingDefault {
    const char16_t* section;
    const char16_t* key;
    DefaultSource source;
    const char16_t* value;
};

// Every entry a new settings file receives, in the order it is written.
extern const std::array<SettingDefault, 35> kSettingDefaults;

// Prepares the settings file at start: chooses it and, when it had to be created, writes every
// default entry.
class iniInit {
public:
    explicit iniInit(InitFile& settings);

    // File := HostPath + suffix (normally empty, which names vorlix.ini in HostPath); a new file
    // gets all defaults.
    void SetInit(const QString& suffix);

    // The standard sheet folder $XDG_DATA_HOME/vorlix/sheet/Default/ (default
    // ~/.local/share/vorlix/sheet/Default/), created when missing.
    static QString DefaultSheetFolder();

    // The address of the sample-data folder on the web.
    static QString DefaultWebFolder();

    // The default of a key as the table gives it (folders computed now); empty for a key the
    // table does not hold. Section and key names match without regard to letter case.
    static QString DefaultOf(const QString& section, const QString& key);

private:
    [[nodiscard]] static QString defaultValue(const SettingDefault& entry);

    InitFile& m_settings;
};

}
