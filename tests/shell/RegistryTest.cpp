#include "shell/Registry.h"
#include "shell/InitFile.h"
#include "shell/RegistryStore.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    QString data(const QString& path, const QString& name = {}) const
    {
        const auto store = RegistryStore::load(registry.storeFile());
        if (!store)
            return QStringLiteral("<unreadable>");
        return store->value(Registry::fullPath(RegistryRoot::ClassesRoot, path), name)
            .value_or(QStringLiteral("<missing>"));
    }

    TempEnvironment env;
    ScopedModuleState state;
    Registry registry { env.root() + QStringLiteral("/vorlix.reg") };
};

TEST_F(RegistryTest, TheStoreLiesBesideTheSettingsFile)
{
    EXPECT_TRUE(Registry::defaultStoreFile().isEmpty());
    Registry none;
    EXPECT_FALSE(none.setShellLink(".fae", "vorlix"));
    EXPECT_FALSE(none.ChkKey(RegistryRoot::ClassesRoot, ".fae"));
    state.startSettings();
    EXPECT_EQ(
        Registry::defaultStoreFile(), env.configHome() + QStringLiteral("/vorlix/vorlix.reg"));
}

// Registrations that overlap (several first starts at once) each keep their keys.
TEST_F(RegistryTest, OverlappingWritersLoseNoKey)
{
    constexpr int Writers = 16;
    std::vector<std::thread> writers;
    for (int i = 0; i < Writers; ++i)
        writers.emplace_back([this, i] {
            Registry own(registry.storeFile());
            for (int round = 0; round < 4; ++round)
                EXPECT_TRUE(own.setShellLink(
                    QStringLiteral(".x%1-%2").arg(i).arg(round), QStringLiteral("class%1").arg(i)));
        });
    for (std::thread& writer : writers)
        writer.join();
    for (int i = 0; i < Writers; ++i)
        for (int round = 0; round < 4; ++round)
            EXPECT_EQ(data(QStringLiteral(".x%1-%2").arg(i).arg(round)),
                QStringLiteral("class%1").arg(i));
}

TEST_F(RegistryTest, ShellLinkNeedsADotAndANameAfterIt)
{
    EXPECT_FALSE(registry.setShellLink("fae", "vorlix"));
    EXPECT_FALSE(registry.setShellLink(".", "vorlix"));
    EXPECT_FALSE(QFileInfo::exists(registry.storeFile()));
    EXPECT_TRUE(registry.setShellLink(".fae", "vorlix"));
    EXPECT_EQ(data(".fae"), "vorlix");
}

TEST_F(RegistryTest, ActionsIconsAndMimeTypesWriteTheirKeys)
{
    EXPECT_TRUE(registry.setAppAction("vorlix", "print", "/opt/vorlix -p %1", false));
    EXPECT_EQ(data("vorlix\\Shell\\print\\command"), "/opt/vorlix -p %1");
    EXPECT_EQ(data("vorlix\\Shell"), "<missing>");
    EXPECT_TRUE(registry.setAppAction("vorlix", "open", "/opt/vorlix -v %1", true));
    EXPECT_EQ(data("vorlix\\Shell"), "open");
    EXPECT_TRUE(registry.setAppIcon("vorlix", "/opt/vorlix ", 5));
    EXPECT_EQ(data("vorlix\\DefaultIcon"), "/opt/vorlix ,5");
    EXPECT_TRUE(registry.setMimeType(".mnd", "text/x-vorlix"));
    EXPECT_EQ(data("MIME\\Database\\Content Type\\text/x-vorlix", "Extension"), ".mnd");
    EXPECT_TRUE(registry.delMImeType("text/x-vorlix"));
    EXPECT_FALSE(registry.ChkKey(Registry::Root(), "MIME\\Database\\Content Type\\text/x-vorlix"));
    EXPECT_TRUE(registry.ChkKey(Registry::Root(), "MIME\\Database\\Content Type"));
    EXPECT_FALSE(registry.delMImeType("text/x-vorlix"));
}

TEST_F(RegistryTest, AnOpenKeyReadsAndWritesItsValues)
{
    EXPECT_FALSE(registry.KeyOpen(Registry::Root(), ".fae"));
    EXPECT_FALSE(registry.setValue("Content Type", "text/x-vorlix"));
    EXPECT_EQ(registry.Value("Content Type"), "");
    ASSERT_TRUE(registry.setShellLink(".fae", "vorlix"));
    ASSERT_TRUE(registry.KeyOpen(Registry::Root(), ".FAE"));
    EXPECT_TRUE(registry.setValue("Content Type", "text/x-vorlix"));
    EXPECT_TRUE(registry.setValue("padded", QStringLiteral("  abc") + QChar(0) + "junk"));
    EXPECT_EQ(registry.Value("content type"), "text/x-vorlix");
    EXPECT_EQ(registry.Value("padded"), "abc");
    EXPECT_EQ(registry.Value("none"), "");
    // A key removed behind the open handle takes no more values.
    Registry other(registry.storeFile());
    EXPECT_TRUE(other.delKey(Registry::Root(), ".fae"));
    EXPECT_FALSE(registry.setValue("Content Type", "x"));
    registry.KeyClose();
    EXPECT_EQ(registry.Value("Content Type"), "");
}

// Every subkey goes, however many there are, and then the key itself.
TEST_F(RegistryTest, DeletingAKeyRemovesAllItsSubkeys)
{
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(registry.setAppAction("vorlix", QStringLiteral("verb%1").arg(i), "cmd", false));
    ASSERT_TRUE(registry.setShellLink(".vorlixbackup", "other"));
    EXPECT_TRUE(registry.delKey(Registry::Root(), "vorlix"));
    EXPECT_FALSE(registry.ChkKey(Registry::Root(), "vorlix"));
    const auto store = RegistryStore::load(registry.storeFile());
    ASSERT_TRUE(store);
    ASSERT_EQ(store->keys().size(), 1);
    EXPECT_EQ(store->keys()[0].path, "HKEY_CLASSES_ROOT\\.vorlixbackup");
    EXPECT_FALSE(registry.delKey(Registry::Root(), "vorlix"));
    EXPECT_FALSE(registry.delKey(Registry::Root(), ""));
}

TEST_F(RegistryTest, RootsAreSeparateAndAlwaysThere)
{
    EXPECT_TRUE(registry.ChkKey(Registry::Machine(), ""));
    ASSERT_TRUE(registry.setShellLink(".fae", "vorlix"));
    EXPECT_FALSE(registry.ChkKey(Registry::Current(), ".fae"));
    EXPECT_EQ(Registry::fullPath(Registry::Users(), "a\\b"), "HKEY_USERS\\a\\b");
    EXPECT_EQ(Registry::fullPath(Registry::Config(), "\\a\\\\"), "HKEY_CURRENT_CONFIG\\a");
    EXPECT_EQ(static_cast<std::uint32_t>(Registry::Root()), 0x80000000u);
    EXPECT_EQ(static_cast<std::uint32_t>(Registry::Config()), 0x80000005u);
}

TEST_F(RegistryTest, ShellFoldersComeFromTheStoreOrTheUsersOwnFolders)
{
    EXPECT_EQ(registry.ShellFolders("Desktop"), env.root() + QStringLiteral("/Desktop"));
    EXPECT_EQ(registry.ShellFolders("AppData"), env.configHome());
    EXPECT_EQ(registry.ShellFolders("Nothing Like It"), "");
    RegistryStore store;
    const QString key = Registry::fullPath(Registry::Current(),
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    store.create(key);
    store.setValue(key, "Desktop", "/srv/desk");
    ASSERT_TRUE(store.save(registry.storeFile()));
    EXPECT_EQ(registry.ShellFolders("desktop"), "/srv/desk");
}

// A store that cannot be written keeps its old content and says so.
TEST_F(RegistryTest, AnUnwritableStoreFailsWithoutDamage)
{
    ASSERT_TRUE(registry.setShellLink(".fae", "vorlix"));
    const QByteArray before = readFileBytes(registry.storeFile());
    Registry folder(env.root() + QStringLiteral("/missing-folder/vorlix.reg"));
    EXPECT_FALSE(folder.setShellLink(".mnd", "vorlix"));
    EXPECT_FALSE(folder.delKey(Registry::Root(), ".fae"));
    ASSERT_TRUE(QDir().mkpath(env.root() + QStringLiteral("/dir.reg")));
    Registry directory(env.root() + QStringLiteral("/dir.reg"));
    EXPECT_FALSE(directory.setAppIcon("vorlix", "x", 1));
    EXPECT_EQ(readFileBytes(registry.storeFile()), before);
}

}
