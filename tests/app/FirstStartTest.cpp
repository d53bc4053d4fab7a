#include "shell/ProfileFile.h"
#include "tests/app/DesktopQuery.h"
#include "tests/app/VorlixRun.h"
#include "tests/support/MissingTool.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// The first start in a clean home associates faces and data documents with vorlix on the
// desktop, once: later starts leave the desktop alone until chkreg is set to true by hand.
class FirstStart : public VorlixRun {
protected:
    void SetUp() override
    {
        VorlixRun::SetUp();
        writeInvoice();
    }

    // An unattended export: a start that needs no display and ends by itself.
    void start()
    {
        const RunResult r = run({ QStringLiteral("-e=out.pdf"), QStringLiteral("bill.mnd") });
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }

    [[nodiscard]] vorlix::shell::ProfileFile settings() const
    {
        return vorlix::shell::ProfileFile(env.configHome() + QStringLiteral("/vorlix/vorlix.ini"));
    }
    [[nodiscard]] QString chkreg() const
    {
        return settings().readString(QStringLiteral("reg"), QStringLiteral("chkreg")).value_or("?");
    }
    void choose(const char* key, const char* value) const
    {
        ASSERT_TRUE(settings().writeString(
            QStringLiteral("reg"), QString::fromLatin1(key), QString::fromLatin1(value)));
    }

    [[nodiscard]] QString entry() const
    {
        return env.dataHome() + QStringLiteral("/applications/vorlix.desktop");
    }
    [[nodiscard]] QString package() const
    {
        return env.dataHome() + QStringLiteral("/mime/packages/vorlix.xml");
    }
    [[nodiscard]] QString icon() const
    {
        return env.dataHome() + QStringLiteral("/icons/hicolor/scalable/apps/vorlix.svg");
    }
};

TEST_F(FirstStart, RegistersTheTypeAndTheEntryAndClearsChkreg)
{
    ASSERT_FALSE(QFileInfo::exists(entry()));
    start();
    EXPECT_EQ(chkreg(), QStringLiteral("False"));
    EXPECT_TRUE(QFileInfo::exists(package()));
    EXPECT_TRUE(QFileInfo::exists(icon()));
    QFile file(entry());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // The entry starts this very program, with the preview only, and prints with -p.
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=") + program() + QStringLiteral(" -v %f\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=") + program() + QStringLiteral(" -p %f\n")))
        << text.toStdString();

    if (!DesktopQuery::available())
        VORLIX_SKIP_WITHOUT_TOOL("xdg-utils, shared-mime-info or desktop-file-utils are missing");
    const DesktopQuery desktop(environment());
    desktop.run(QStringLiteral("desktop-file-validate"), { entry() });
    EXPECT_EQ(desktop.filetype(env.root() + QStringLiteral("/bill.fae")),
        QStringLiteral("text/x-vorlix"));
    EXPECT_EQ(desktop.filetype(env.root() + QStringLiteral("/bill.mnd")),
        QStringLiteral("text/x-vorlix"));
    EXPECT_EQ(desktop.defaultApplication(QStringLiteral("text/x-vorlix")),
        QStringLiteral("vorlix.desktop"));
}

TEST_F(FirstStart, LaterStartsRegisterOnlyWhenChkregIsSetAgain)
{
    start();
    ASSERT_TRUE(QFile::remove(entry()));
    start();
    EXPECT_FALSE(QFileInfo::exists(entry()));

    choose("chkreg", "True");
    start();
    EXPECT_TRUE(QFileInfo::exists(entry()));
    EXPECT_EQ(chkreg(), QStringLiteral("False"));
}

}
