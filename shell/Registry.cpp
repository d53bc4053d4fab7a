#include "shell/Registry.h"

#include "shell/Common.h"
#include "shell/FileLock.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/RegistryStore.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <array>

namespace vorlix::shell {

namespace {

    const QString kShellFolders
        = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    const QString kContentTypes = QStringLiteral("MIME\\Database\\Content Type");

    struct RootName {
        RegistryRoot root;
        const char16_t* name;
    };
    constexpr std::array<RootName, 5> kRootNames { {
        { RegistryRoot::ClassesRoot, u"HKEY_CLASSES_ROOT" },
        { RegistryRoot::CurrentUser, u"HKEY_CURRENT_USER" },
        { RegistryRoot::LocalMachine, u"HKEY_LOCAL_MACHINE" },
        { RegistryRoot::Users, u"HKEY_USERS" },
        { RegistryRoot::CurrentConfig, u"HKEY_CURRENT_CONFIG" },
    } };

    // The user's own folders that stand in for the shell folders of the same name.
    struct FolderName {
        const char16_t* name;
        QStandardPaths::StandardLocation location;
    };
    constexpr std::array<FolderName, 7> kUserFolders { {
        { u"Desktop", QStandardPaths::DesktopLocation },
        { u"Personal", QStandardPaths::DocumentsLocation },
        { u"My Pictures", QStandardPaths::PicturesLocation },
        { u"My Music", QStandardPaths::MusicLocation },
        { u"My Video", QStandardPaths::MoviesLocation },
        { u"AppData", QStandardPaths::GenericConfigLocation },
        { u"Local AppData", QStandardPaths::GenericDataLocation },
    } };

}

Registry::Registry(QString storeFile)
    : m_storeFile(std::move(storeFile))
{
}

QString Registry::defaultStoreFile()
{
    const auto& settings = moduleState().SettingsFile;
    if (!settings)
        return {};
    return QFileInfo(settings->File()).absolutePath() + QStringLiteral("/vorlix.reg");
}

QString Registry::fullPath(RegistryRoot root, const QString& path)
{
    QString rootName;
    for (const auto& entry : kRootNames) {
        if (entry.root == root)
            rootName = QString::fromUtf16(entry.name);
    }
    return RegistryStore::normalPath(rootName + u'\\' + path);
}

bool Registry::KeyOpen(RegistryRoot root, const QString& path)
{
    m_openKey.reset();
    if (!ChkKey(root, path))
        return false;
    m_openKey = fullPath(root, path);
    return true;
}

bool Registry::setValue(const QString& name, const QString& text)
{
    if (!m_openKey || m_storeFile.isEmpty())
        return false;
    const FileLock lock(m_storeFile);
    auto store = RegistryStore::load(m_storeFile);
    // The key may have gone since it was opened; a root holds no values of its own.
    if (!store || !store->setValue(*m_openKey, name, text))
        return false;
    return store->save(m_storeFile);
}

QString Registry::Value(const QString& name) const
{
    if (!m_openKey || m_storeFile.isEmpty())
        return {};
    const auto store = RegistryStore::load(m_storeFile);
    if (!store)
        return {};
    return TrimAtNul(store->value(*m_openKey, name).value_or(QString()));
}

void Registry::KeyClose()
{
    m_openKey.reset();
}

QString Registry::ShellFolders(const QString& folder) const
{
    const auto store = m_storeFile.isEmpty() ? std::nullopt : RegistryStore::load(m_storeFile);
    if (store) {
        const auto value = store->value(fullPath(RegistryRoot::CurrentUser, kShellFolders), folder);
        if (value)
            return TrimAtNul(*value);
    }
    for (const auto& entry : kUserFolders) {
        if (folder.compare(QString::fromUtf16(entry.name), Qt::CaseInsensitive) == 0)
            return QStandardPaths::writableLocation(entry.location);
    }
    return {};
}

bool Registry::createAndSet(
    RegistryRoot root, const QString& path, const QString& name, const QString& data)
{
    if (m_storeFile.isEmpty())
        return false;
    const FileLock lock(m_storeFile);
    auto store = RegistryStore::load(m_storeFile);
    if (!store)
        return false;
    const QString full = fullPath(root, path);
    store->create(full);
    store->setValue(full, name, data);
    return store->save(m_storeFile);
}

bool Registry::setShellLink(const QString& extension, const QString& className)
{
    if (!extension.startsWith(u'.') || extension.size() < 2)
        return false;
    return createAndSet(RegistryRoot::ClassesRoot, extension, QString(), className);
}

bool Registry::setAppAction(
    const QString& className, const QString& verb, const QString& command, bool makeDefault)
{
    const QString shell = className + QStringLiteral("\\Shell");
    if (!createAndSet(RegistryRoot::ClassesRoot, shell + u'\\' + verb + QStringLiteral("\\command"),
            QString(), command))
        return false;
    if (makeDefault)
        createAndSet(RegistryRoot::ClassesRoot, shell, QString(), verb);
    return true;
}

bool Registry::setAppIcon(const QString& className, const QString& file, int index)
{
    return createAndSet(RegistryRoot::ClassesRoot, className + QStringLiteral("\\DefaultIcon"),
        QString(), file + u',' + QString::number(index));
}

bool Registry::setMimeType(const QString& extension, const QString& type)
{
    return createAndSet(RegistryRoot::ClassesRoot, kContentTypes + u'\\' + type,
        QStringLiteral("Extension"), extension);
}

bool Registry::delMImeType(const QString& type)
{
    if (!ChkKey(RegistryRoot::ClassesRoot, kContentTypes))
        return false;
    return delKey(RegistryRoot::ClassesRoot, kContentTypes + u'\\' + type);
}

bool Registry::delKey(RegistryRoot root, const QString& path)
{
    if (m_storeFile.isEmpty() || RegistryStore::normalPath(path).isEmpty())
        return false;
    const FileLock lock(m_storeFile);
    auto store = RegistryStore::load(m_storeFile);
    if (!store || !store->remove(fullPath(root, path)))
        return false;
    return store->save(m_storeFile);
}

bool Registry::ChkKey(RegistryRoot root, const QString& path) const
{
    if (m_storeFile.isEmpty())
        return false;
    // The roots themselves always exist.
    if (RegistryStore::normalPath(path).isEmpty())
        return true;
    const auto store = RegistryStore::load(m_storeFile);
    return store && store->contains(fullPath(root, path));
}

}
