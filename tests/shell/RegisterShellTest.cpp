#include "shell/RegisterShell.h"
#include "shell/DesktopIntegration.h"
#include "shell/InitFile.h"
#include "shell/Registry.h"
#include "shell/RegistryStore.h"
#include "tests/support/MissingTool.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class RegisterShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = &state.startSettings();
        program = settings->ApprPath() + "vorlix";
    }

    void choose(const char* key, const char* value) { settings->SetString("reg", key, value); }

    // The registry's keys as "path|value name=data" lines, in store order.
    QStringList entries() const
    {
        QStringList lines;
        const auto store = RegistryStore::load(Registry::defaultStoreFile());
        for (const auto& key : store->keys()) {
            for (const auto& value : key.values)
                lines << key.path.mid(QStringLiteral("HKEY_CLASSES_ROOT\\").size()) + u'|'
                        + value.name + u'=' + value.data;
        }
        return lines;
    }

    // Asks xdg-mime as a desktop without a session of its own would, in the temporary home.
    QString xdgMime(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment e = env.processEnvironment();
        for (const char* name : { "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION",
                 "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "DISPLAY", "WAYLAND_DISPLAY" })
            e.remove(name);
        process.setProcessEnvironment(e);
        process.start("xdg-mime", QStringList { "query" } + arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QString touch(const QString& name) const
    {
        const QString path = env.root() + u'/' + name;
        writeFileBytes(path, "h,100,100,500;\r\n");
        return path;
    }

    static bool haveXdgTools()
    {
        for (const char* tool : { "xdg-mime", "update-mime-database", "update-desktop-database" }) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return false;
        }
        return true;
    }

    TempEnvironment env;
    ScopedModuleState state;
    InitFile* settings = nullptr;
    QString program;
};

// With every choice on, the keys are those of the association table and the desktop knows the
// type and its program.
TEST_F(RegisterShellTest, AllChoicesWriteTheWholeAssociation)
{
    RegisterShell();
    EXPECT_EQ(entries(),
        (QStringList { ".fae|=vorlix", ".fae|Content Type=text/x-vorlix", ".mnd|=vorlix",
            ".mnd|Content Type=text/x-vorlix",
            "MIME\\Database\\Content Type\\text/x-vorlix|Extension=.mnd", "vorlix\\Shell|=open",
            "vorlix\\Shell\\open\\command|=" + program + " -v %1",
            "vorlix\\Shell\\print\\command|=" + program + " -p %1",
            "vorlix\\DefaultIcon|=" + program + " ,5" }));
    if (!haveXdgTools())
        VORLIX_SKIP_WITHOUT_TOOL("xdg-utils, shared-mime-info or desktop-file-utils are missing");
    EXPECT_EQ(xdgMime({ "filetype", touch("bill.fae") }), "text/x-vorlix");
    EXPECT_EQ(xdgMime({ "filetype", touch("bill.mnd") }), "text/x-vorlix");
    EXPECT_EQ(xdgMime({ "default", "text/x-vorlix" }), "vorlix.desktop");
}

TEST_F(RegisterShellTest, UntickedFaeIsRemovedWithItsSubkeys)
{
    RegisterShell();
    Registry registry;
    ASSERT_TRUE(registry.setAppAction(".fae", "extra", "x", false));
    choose("fae", "False");
    choose("vopt", "False");
    RegisterShell();
    EXPECT_FALSE(registry.ChkKey(Registry::Root(), ".fae"));
    EXPECT_FALSE(registry.ChkKey(Registry::Root(), ".fae\\Shell\\extra\\command"));
    const QStringList keys = entries();
    EXPECT_TRUE(keys.contains(".mnd|=vorlix"));
    EXPECT_TRUE(keys.contains("vorlix\\Shell\\open\\command|=" + program + " %1"));
    if (!haveXdgTools())
        VORLIX_SKIP_WITHOUT_TOOL("xdg-utils, shared-mime-info or desktop-file-utils are missing");
    EXPECT_NE(xdgMime({ "filetype", touch("bill.fae") }), "text/x-vorlix");
    EXPECT_EQ(xdgMime({ "filetype", touch("bill.mnd") }), "text/x-vorlix");
}

// Neither extension: the class and the desktop entry go; the MIME key follows its own choice.
TEST_F(RegisterShellTest, NeitherExtensionRemovesTheClassAndTheEntry)
{
    RegisterShell();
    choose("fae", "False");
    choose("mnd", "False");
    RegisterShell();
    Registry registry;
    EXPECT_FALSE(registry.ChkKey(Registry::Root(), "vorlix"));
    EXPECT_EQ(
        entries(), (QStringList { "MIME\\Database\\Content Type\\text/x-vorlix|Extension=.mnd" }));
    EXPECT_FALSE(QFileInfo::exists(DesktopIntegration().desktopEntryPath()));
    if (!haveXdgTools())
        VORLIX_SKIP_WITHOUT_TOOL("xdg-utils, shared-mime-info or desktop-file-utils are missing");
    EXPECT_EQ(xdgMime({ "default", "text/x-vorlix" }), "");

    choose("mime", "False");
    RegisterShell();
    EXPECT_TRUE(entries().isEmpty());
}

// Without the cache tools the files are written all the same, and nothing fails.
TEST_F(RegisterShellTest, MissingCacheToolsAreSkipped)
{
    env.set("PATH", QByteArray(env.root().toLocal8Bit() + "/empty-path"));
    RegisterShell();
    EXPECT_TRUE(QFileInfo::exists(DesktopIntegration().mimePackagePath()));
    EXPECT_TRUE(QFileInfo::exists(DesktopIntegration().desktopEntryPath()));
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "/mime/mime.cache"));
    EXPECT_FALSE(QFileInfo::exists(env.dataHome() + "/applications/mimeinfo.cache"));
}

}
