#include "shell/DesktopIntegration.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

class DesktopIntegrationTest : public ::testing::Test {
protected:
    QString text(const QString& path) const { return QString::fromUtf8(readFileBytes(path)); }

    // The glob patterns of the written package, read as XML.
    QStringList globs() const
    {
        QXmlStreamReader xml(readFileBytes(desktop.mimePackagePath()));
        QStringList patterns;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"glob")
                patterns << xml.attributes().value(QStringLiteral("pattern")).toString();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        return patterns;
    }

    TempEnvironment env;
    DesktopIntegration desktop { env.dataHome(), QStringLiteral("/opt/vorlix/bin/vorlix") };
};

TEST_F(DesktopIntegrationTest, ExecArgumentsFollowTheDesktopEntryQuotingRules)
{
    const struct {
        const char* path;
        const char* argument;
    } cases[] = {
        { "/usr/bin/vorlix", "/usr/bin/vorlix" },
        { "/home/u/my apps/vorlix", "\"/home/u/my apps/vorlix\"" },
        { "/a\"b/vorlix", "\"/a\\\\\"b/vorlix\"" },
        { "/a$b/`x`", "\"/a\\\\$b/\\\\`x\\\\`\"" },
        { "/a\\b", "\"/a\\\\\\\\b\"" },
        { "/100%/vorlix", "/100%%/vorlix" },
        { "/tmp/(x)", "\"/tmp/(x)\"" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DesktopIntegration::execArgument(QString::fromUtf8(c.path)),
            QString::fromUtf8(c.argument))
            << c.path;
}

TEST_F(DesktopIntegrationTest, EverythingChosenWritesPackageEntryAndIcon)
{
    ASSERT_TRUE(desktop.apply({}));
    EXPECT_EQ(globs(), (QStringList { "*.fae", "*.mnd" }));
    EXPECT_TRUE(text(desktop.mimePackagePath()).contains("type=\"text/x-vorlix\""));
    const QString entry = text(desktop.desktopEntryPath());
    EXPECT_TRUE(entry.contains("\nExec=/opt/vorlix/bin/vorlix -v %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\n[Desktop Action print]\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nExec=/opt/vorlix/bin/vorlix -p %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nMimeType=text/x-vorlix;\n"));
    EXPECT_TRUE(entry.contains("\nIcon=vorlix\n"));
    EXPECT_TRUE(text(desktop.iconPath()).contains("<svg"));
    EXPECT_EQ(desktop.iconPath(), env.dataHome() + "/icons/hicolor/scalable/apps/vorlix.svg");

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        VORLIX_SKIP_WITHOUT_TOOL("desktop-file-validate is not installed");
    QProcess check;
    check.start(validator, { desktop.desktopEntryPath() });
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    EXPECT_TRUE(check.readAllStandardOutput().trimmed().isEmpty());
}

TEST_F(DesktopIntegrationTest, EachChoiceShapesWhatIsWritten)
{
    DesktopIntegration::Choice choice;
    choice.vopt = false;
    choice.fae = false;
    ASSERT_TRUE(desktop.apply(choice));
    EXPECT_EQ(globs(), (QStringList { "*.mnd" }));
    EXPECT_TRUE(text(desktop.desktopEntryPath()).contains("\nExec=/opt/vorlix/bin/vorlix %f\n"));

    choice.mime = false;
    ASSERT_TRUE(desktop.apply(choice));
    EXPECT_FALSE(QFileInfo::exists(desktop.mimePackagePath()));
    EXPECT_TRUE(QFileInfo::exists(desktop.desktopEntryPath()));

    // Neither extension: the entry and its icon go as well.
    choice.mime = true;
    choice.mnd = false;
    ASSERT_TRUE(desktop.apply(choice));
    EXPECT_FALSE(QFileInfo::exists(desktop.mimePackagePath()));
    EXPECT_FALSE(QFileInfo::exists(desktop.desktopEntryPath()));
    EXPECT_FALSE(QFileInfo::exists(desktop.iconPath()));
    // Removing what is not there is no failure.
    EXPECT_TRUE(desktop.apply(choice));
}

// A data folder that cannot be written leaves no piece of a file behind.
TEST_F(DesktopIntegrationTest, AnUnwritableDataFolderFailsCleanly)
{
    const QString blocked = env.root() + "/blocked";
    ASSERT_TRUE(writeFileBytes(blocked, "a file where the folder should be"));
    DesktopIntegration nowhere(blocked, "/usr/bin/vorlix");
    EXPECT_FALSE(nowhere.apply({}));
    EXPECT_EQ(readFileBytes(blocked), "a file where the folder should be");
    EXPECT_FALSE(DesktopIntegration(QString(), "/usr/bin/vorlix").apply({}));

    // Only the applications folder is blocked: the package is still written whole.
    ASSERT_TRUE(writeFileBytes(env.dataHome() + "/applications", "blocked"));
    EXPECT_FALSE(desktop.apply({}));
    EXPECT_EQ(globs(), (QStringList { "*.fae", "*.mnd" }));
    const QStringList leftovers = QDir(env.dataHome() + "/mime/packages").entryList(QDir::Files);
    EXPECT_EQ(leftovers, (QStringList { "vorlix.xml" }));
}

}
