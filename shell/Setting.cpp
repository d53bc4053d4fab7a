#include "shell/Setting.h"

#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/iniInit.h"

namespace vorlix::shell {

namespace {

    bool flagOf(const QString& value, bool defaultValue)
    {
        const QString v = value.trimmed().toLower();
        if (v == u"true")
            return true;
        if (v == u"false")
            return false;
        return ToLong(v, defaultValue ? -1 : 0) != 0;
    }

}

QString setting(const QString& section, const QString& key)
{
    return setting(section, key, iniInit::DefaultOf(section, key));
}

QString setting(const QString& section, const QString& key, const QString& defaultValue)
{
    const auto& settings = moduleState().SettingsFile;
    return settings ? settings->GetString(section, key, defaultValue) : defaultValue;
}

std::int32_t settingLong(const QString& section, const QString& key, Accept accept)
{
    const QString defaultValue = iniInit::DefaultOf(section, key);
    const std::int32_t fallback = ToLong(defaultValue, 0);
    const std::int32_t value = ToLong(setting(section, key, defaultValue), fallback);
    return (accept == Accept::Positive && value <= 0) ? fallback : value;
}

double settingDouble(const QString& section, const QString& key, Accept accept)
{
    const QString defaultValue = iniInit::DefaultOf(section, key);
    const double fallback = ToDouble(defaultValue, 0.0);
    const double value = ToDouble(setting(section, key, defaultValue), fallback);
    return (accept == Accept::Positive && !(value > 0.0)) ? fallback : value;
}

std::int32_t printerSettingLong(const QString& printerSection, const QString& key)
{
    const QString defaultValue = iniInit::DefaultOf(kNoPrinterSection, key);
    return ToLong(setting(printerSection, key, defaultValue), ToLong(defaultValue, 0));
}

bool settingFlag(const QString& section, const QString& key)
{
    const QString defaultValue = iniInit::DefaultOf(section, key);
    return flagOf(setting(section, key, defaultValue), flagOf(defaultValue, false));
}

QString flagText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

void storeSetting(const QString& section, const QString& key, const QString& value)
{
    if (const auto& settings = moduleState().SettingsFile)
        settings->SetString(section, key, value);
}

}
