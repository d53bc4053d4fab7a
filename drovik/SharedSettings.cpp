#include "drovik/SharedSettings.h"

#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/Setting.h"
#include "shell/iniInit.h"

namespace vorlix::drovik {

namespace {

    const QString kFileName = QStringLiteral("vorlix.ini");
    const QString kSheet = QStringLiteral("sheet");

}

std::unique_ptr<shell::InitFile> SharedSettings::open()
{
    auto settings = std::make_unique<shell::InitFile>(QStringLiteral("drovik"));
    settings->setFile(settings->HostPath() + kFileName);
    SetInit(*settings, kFileName);
    return settings;
}

void SharedSettings::SetInit(shell::InitFile& settings, const QString& suffix)
{
    settings.setFile(settings.HostPath() + suffix);
    if (!settings.fNewFile())
        return;
    shell::WriteLog(QStringLiteral("Vorlix/iniINIT>new ini file"));
    // All defaults in one change of the file, under its lock; a value a Vorlix run started at the
    // same moment stored already stays.
    QList<shell::ProfileWrite> defaults;
    for (const shell::SettingDefault& entry : shell::kSettingDefaults) {
        const QString section = QString::fromUtf16(entry.section);
        if (section == u"reg")
            continue;
        const QString key = QString::fromUtf16(entry.key);
        defaults.append({ section, key, shell::iniInit::DefaultOf(section, key), true });
    }
    settings.SetStrings(defaults);
    settings.setSection(defaults.last().section);
}

QString SharedSettings::webFolder()
{
    return shell::setting(kSheet, QStringLiteral("www"));
}

QString SharedSettings::sheetFolder()
{
    return shell::setting(kSheet, QStringLiteral("Default"));
}

}
