#include "tests/app/DesktopQuery.h"
#include "tests/app/VorlixRun.h"
#include "tests/support/MissingTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// `cmake --install` into a temporary prefix, as a packager or an administrator would, and the
// installed files used the way the desktop and man use them.
class Install : public VorlixRun {
protected:
    static void SetUpTestSuite()
    {
        s_prefix = std::make_unique<QTemporaryDir>();
        QProcess cmake;
        cmake.start(QStringLiteral(VORLIX_CMAKE_COMMAND),
            { QStringLiteral("--install"), qEnvironmentVariable("VORLIX_BINARY_DIR"),
                QStringLiteral("--prefix"), s_prefix->path() });
        cmake.waitForFinished(120000);
        s_status = cmake.exitStatus() == QProcess::NormalExit ? cmake.exitCode() : -1;
        s_output = QString::fromUtf8(cmake.readAllStandardOutput() + cmake.readAllStandardError());
    }
    static void TearDownTestSuite() { s_prefix.reset(); }

    void SetUp() override
    {
        VorlixRun::SetUp();
        ASSERT_EQ(s_status, 0) << s_output.toStdString();
    }

    static QString installed(const QString& name) { return s_prefix->path() + u'/' + name; }

    static QString text(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // A manual page as man shows it, on a line wide enough to keep every switch whole.
    RunResult man(const QString& page)
    {
        QProcessEnvironment e = environment();
        e.insert(QStringLiteral("MANWIDTH"), QStringLiteral("200"));
        return runProgram(QStringLiteral("man"), { QStringLiteral("-l"), page }, e);
    }

    // The switches a program's --help lists ("-p", "-m=OUT", "-y").
    QStringList switchesOf(const QString& program)
    {
        const RunResult help = runProgram(program, { QStringLiteral("--help") }, environment());
        EXPECT_EQ(help.status, 0);
        QStringList switches;
        static const QRegularExpression line(QStringLiteral("^  (-\\S+)"));
        for (const QString& row : QString::fromUtf8(help.out).split(u'\n')) {
            const auto match = line.match(row);
            if (match.hasMatch())
                switches << match.captured(1);
        }
        return switches;
    }

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline int s_status = -1;
    static inline QString s_output;
};

TEST_F(Install, BothProgramsRunFromTheirInstalledPlace)
{
    for (const char* name : { "vorlix", "drovik" }) {
        const QString path = installed(QStringLiteral("bin/") + QString::fromLatin1(name));
        ASSERT_TRUE(QFileInfo(path).isExecutable()) << name;
        const RunResult version = runProgram(path, { QStringLiteral("--version") }, environment());
        EXPECT_EQ(version.status, 0) << name;
        EXPECT_TRUE(version.out.startsWith(QByteArray(name) + " " VORLIX_VERSION "\n"))
            << version.out.constData();
    }
}

// The entry starts the program from the PATH: the installed one, wherever the prefix is.
TEST_F(Install, TheDesktopKnowsTheTypeAndItsProgram)
{
    const QString entry = installed(QStringLiteral("share/applications/vorlix.desktop"));
    const QString entryText = text(entry);
    EXPECT_TRUE(entryText.contains(QStringLiteral("\nExec=vorlix -v %f\n")))
        << entryText.toStdString();
    EXPECT_TRUE(entryText.contains(QStringLiteral("\nExec=vorlix -p %f\n")));
    EXPECT_TRUE(entryText.contains(QStringLiteral("\nIcon=vorlix\n")));
    const QString package = text(installed(QStringLiteral("share/mime/packages/vorlix.xml")));
    EXPECT_TRUE(package.contains(QStringLiteral("<glob pattern=\"*.fae\"/>")));
    EXPECT_TRUE(package.contains(QStringLiteral("<glob pattern=\"*.mnd\"/>")));
    if (!DesktopQuery::available())
        VORLIX_SKIP_WITHOUT_TOOL("xdg-utils, shared-mime-info or desktop-file-utils are missing");

    // The prefix as the system's data folder of a user who has registered nothing.
    QProcessEnvironment e = environment();
    e.insert(QStringLiteral("XDG_DATA_DIRS"), installed(QStringLiteral("share")));
    const DesktopQuery desktop(e);
    desktop.run(QStringLiteral("desktop-file-validate"), { entry });
    desktop.run(
        QStringLiteral("update-mime-database"), { installed(QStringLiteral("share/mime")) });
    desktop.run(QStringLiteral("update-desktop-database"),
        { installed(QStringLiteral("share/applications")) });
    writeInvoice();
    EXPECT_EQ(desktop.filetype(env.root() + QStringLiteral("/bill.fae")),
        QStringLiteral("text/x-vorlix"));
    EXPECT_EQ(desktop.filetype(env.root() + QStringLiteral("/bill.mnd")),
        QStringLiteral("text/x-vorlix"));
    EXPECT_EQ(desktop.defaultApplication(QStringLiteral("text/x-vorlix")),
        QStringLiteral("vorlix.desktop"));
    EXPECT_FALSE(QDir(env.dataHome()).exists(QStringLiteral("applications")));
}

// The scalable icon and a drawn PNG for each size the theme looks up, square and not blank.
TEST_F(Install, TheIconComesAsSvgAndInEverySize)
{
    const QString theme = installed(QStringLiteral("share/icons/hicolor/"));
    EXPECT_TRUE(
        text(theme + QStringLiteral("scalable/apps/vorlix.svg")).contains(QStringLiteral("<svg")));
    for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        const QImage png(theme + QStringLiteral("%1x%1/apps/vorlix.png").arg(size));
        ASSERT_FALSE(png.isNull()) << size;
        EXPECT_EQ(png.size(), QSize(size, size));
        EXPECT_TRUE(png.hasAlphaChannel());
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(png.pixel(x, y)) == 255;
        // The sheet fills much of the square; its corners stay transparent.
        EXPECT_GT(opaque, size * size / 4) << size;
        EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0) << size;
    }
}

// Each page renders without a warning and documents every switch its program's --help lists.
TEST_F(Install, TheManualPagesRenderAndDocumentEverySwitch)
{
    for (const char* name : { "vorlix", "drovik" }) {
        const QString page
            = installed(QStringLiteral("share/man/man1/%1.1").arg(QString::fromLatin1(name)));
        ASSERT_TRUE(QFileInfo::exists(page)) << name;
        const RunResult groff = runProgram(QStringLiteral("groff"),
            { QStringLiteral("-ww"), QStringLiteral("-z"), QStringLiteral("-man"),
                QStringLiteral("-Tutf8"), QStringLiteral("-K"), QStringLiteral("utf8"), page },
            environment());
        EXPECT_EQ(groff.status, 0) << name;
        EXPECT_TRUE(groff.err.isEmpty()) << groff.err.toStdString();

        const RunResult shown = man(page);
        ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
        const QString out = QString::fromUtf8(shown.out);
        EXPECT_TRUE(out.contains(QStringLiteral("NAME\n       ") + QString::fromLatin1(name)))
            << out.toStdString();
        for (const char* section : { "SYNOPSIS", "OPTIONS", "FILES", "EXIT STATUS", "EXAMPLES" })
            EXPECT_TRUE(out.contains(u'\n' + QString::fromLatin1(section) + u'\n')) << section;
        const QStringList switches
            = switchesOf(installed(QStringLiteral("bin/") + QString::fromLatin1(name)));
        EXPECT_GE(switches.size(), 3) << name;
        for (const QString& option : switches)
            EXPECT_TRUE(out.contains(QStringLiteral("\n       ") + option))
                << name << ": " << option.toStdString();
    }
}

}
