#include "window/WindowSettings.h"

#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/iniInit.h"

namespace vorlix::window {

namespace {

    QString defaultOf(const char16_t* section, const char16_t* key)
    {
        for (const auto& entry : shell::kSettingDefaults) {
            if (std::u16string_view(entry.section) == section
                && std::u16string_view(entry.key) == key)
                return QString::fromUtf16(entry.value);
        }
        return {};
    }

    QString read(shell::InitFile& settings, const char16_t* section, const char16_t* key)
    {
        return settings.GetString(
            QString::fromUtf16(section), QString::fromUtf16(key), defaultOf(section, key));
    }

    int readTwips(shell::InitFile& settings, const char16_t* key)
    {
        const QString fallback = defaultOf(u"menu", key);
        return shell::ToLong(read(settings, u"menu", key), shell::ToLong(fallback, 0));
    }

}

QString WindowSettings::decimal(double value)
{
    return QString::number(value, 'g', 15);
}

WindowSettings WindowSettings::read(shell::InitFile& settings)
{
    WindowSettings result;
    result.splitSaved = shell::ToDouble(window::read(settings, u"view", u"bLps"),
        shell::ToDouble(defaultOf(u"view", u"bLps"), 0.4));
    result.fontName = window::read(settings, u"menu", u"fontname");
    if (result.fontName.trimmed().isEmpty())
        result.fontName = defaultOf(u"menu", u"fontname");
    result.placement = QRect(readTwips(settings, u"left"), readTwips(settings, u"top"),
        readTwips(settings, u"width"), readTwips(settings, u"height"));
    const auto fallback
        = [](const char16_t* key) { return shell::ToLong(defaultOf(u"menu", key), 0); };
    result.placed = result.placement
        != QRect(fallback(u"left"), fallback(u"top"), fallback(u"width"), fallback(u"height"));
    return result;
}

void WindowSettings::write(shell::InitFile& settings, double zoom, double splitSaved,
    const std::optional<QRect>& placement)
{
    settings.SetString(QStringLiteral("view"), QStringLiteral("kPsa"), decimal(zoom));
    settings.SetString(QStringLiteral("view"), QStringLiteral("bLps"), decimal(splitSaved));
    if (!placement)
        return;
    settings.SetString(
        QStringLiteral("menu"), QStringLiteral("left"), QString::number(placement->left()));
    settings.SetString(
        QStringLiteral("menu"), QStringLiteral("top"), QString::number(placement->top()));
    settings.SetString(
        QStringLiteral("menu"), QStringLiteral("height"), QString::number(placement->height()));
    settings.SetString(
        QStringLiteral("menu"), QStringLiteral("width"), QString::number(placement->width()));
}

}
