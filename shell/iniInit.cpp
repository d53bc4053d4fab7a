#include "shell/iniInit.h"

#include "shell/InitFile.h"
#include "shell/Log.h"

#include <QDir>

namespace vorlix::shell {

namespace {

    // Never a real external host: the user points this at a sample server of their choice.
    constexpr char16_t kWebFolder[] = u"http://localhost/support/smple_data/";

}

const std::array<SettingDefault, 35> kSettingDefaults { {
    { u"general", u"Debug", DefaultSource::Fixed, u"False" },
    { u"general", u"CurDir", DefaultSource::CurrentFolder, u"" },
    { u"general", u"DefaultPrinter", DefaultSource::Fixed, u"Default" },
    { u"general", u"DefaultPathName", DefaultSource::Fixed, u"Default" },
    { u"general", u"FDPNSW", DefaultSource::Fixed, u"DPN" },
    { u"general", u"DPI", DefaultSource::Fixed, u"400" },
    { u"general", u"PaperSize", DefaultSource::Fixed, u"9" },
    { u"general", u"Orientation", DefaultSource::Fixed, u"1" },
    { u"sheet", u"Default", DefaultSource::SheetFolder, u"" },
    { u"sheet", u"www", DefaultSource::Fixed, kWebFolder },
    { u"details", u"CorverPage", DefaultSource::Fixed, u"CoverPage.fae" },
    { u"details", u"FaxNo", DefaultSource::Fixed, u"0123-4567-8901" },
    { u"details", u"Subject", DefaultSource::Fixed, u"タイトル" },
    { u"details", u"Addressee", DefaultSource::Fixed, u"受取人" },
    { u"details", u"Office", DefaultSource::Fixed, u"受取人会社" },
    { u"details", u"Sender", DefaultSource::Fixed, u"発信者" },
    { u"details", u"Comment", DefaultSource::Fixed, u"コメント" },
    { u"reg", u"chkreg", DefaultSource::Fixed, u"True" },
    { u"reg", u"fae", DefaultSource::Fixed, u"True" },
    { u"reg", u"mnd", DefaultSource::Fixed, u"True" },
    { u"reg", u"vopt", DefaultSource::Fixed, u"True" },
    { u"reg", u"mime", DefaultSource::Fixed, u"True" },
    { u"server", u"http", DefaultSource::Fixed, u"80" },
    { u"server", u"ftp", DefaultSource::Fixed, u"21" },
    { u"server", u"deadline", DefaultSource::Fixed, u"600" },
    { u"menu", u"left", DefaultSource::Fixed, u"200" },
    { u"menu", u"top", DefaultSource::Fixed, u"500" },
    { u"menu", u"height", DefaultSource::Fixed, u"6500" },
    { u"menu", u"width", DefaultSource::Fixed, u"7000" },
    { u"menu", u"fontname", DefaultSource::Fixed, u"Terminal" },
    { u"menu", u"fontsize", DefaultSource::Fixed, u"10" },
    { u"view", u"kPsa", DefaultSource::Fixed, u"1" },
    { u"view", u"bLps", DefaultSource::Fixed, u"0.4" },
    { u"NULL", u"PaperLeftLag", DefaultSource::Fixed, u"0" },
    { u"NULL", u"PaperTopLag", DefaultSource::Fixed, u"0" },
} };

iniInit::iniInit(InitFile& settings)
    : m_settings(settings)
{
}

QString iniInit::DefaultSheetFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    if (!dataHome.endsWith(u'/'))
        dataHome += u'/';
    const QString folder = dataHome + QStringLiteral("vorlix/sheet/Default/");
    QDir().mkpath(folder);
    return folder;
}

QString iniInit::DefaultWebFolder()
{
    return QString::fromUtf16(kWebFolder);
}

QString iniInit::defaultValue(const SettingDefault& entry)
{
    switch (entry.source) {
    case DefaultSource::CurrentFolder:
        return QDir::currentPath();
    case DefaultSource::SheetFolder:
        return DefaultSheetFolder();
    case DefaultSource::Fixed:
        break;
    }
    return QString::fromUtf16(entry.value);
}

QString iniInit::DefaultOf(const QString& section, const QString& key)
{
    for (const SettingDefault& entry : kSettingDefaults) {
        if (QStringView(entry.section).compare(section, Qt::CaseInsensitive) == 0
            && QStringView(entry.key).compare(key, Qt::CaseInsensitive) == 0)
            return defaultValue(entry);
    }
    return {};
}

void iniInit::SetInit(const QString& suffix)
{
    m_settings.setFile(m_settings.HostPath() + suffix);
    if (!m_settings.fNewFile())
        return;
    WriteLog(QStringLiteral("Vorlix/iniINIT>new ini file"));
    // One replacement of the file for all the defaults: a write each would wait for the disk
    // as many times. A run started at the same moment may already have stored a value of its
    // own: that stays.
    QList<ProfileWrite> defaults;
    for (const SettingDefault& entry : kSettingDefaults)
        defaults.append({ QString::fromUtf16(entry.section), QString::fromUtf16(entry.key),
            defaultValue(entry), true });
    m_settings.SetStrings(defaults);
    m_settings.setSection(defaults.last().section);
}

}
