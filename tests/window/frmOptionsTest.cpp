#include "window/frmOptions.h"
#include "shell/DesktopIntegration.h"
#include "shell/InitFile.h"
#include "shell/ProfileFile.h"
#include "shell/Registry.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

using namespace vorlix;
using namespace vorlix::test;
using window::frmOptions;

namespace {

const QStringList kPrinters { "Office Laser", "Label Writer", "Back Room" };

class frmOptionsTest : public ::testing::Test {
protected:
    frmOptionsTest() { settings = &state.startSettings(); }

    frmOptions& open()
    {
        dialog = std::make_unique<frmOptions>(nullptr, kPrinters);
        return *dialog;
    }
    template <typename T> T& child(const QString& name) const
    {
        T* found = dialog->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return *found;
    }
    QComboBox& combo(int i) const { return child<QComboBox>(QStringLiteral("Combo%1").arg(i)); }
    QCheckBox& check(int i) const { return child<QCheckBox>(QStringLiteral("Check1_%1").arg(i)); }
    QString stored(const char* section, const char* key) const
    {
        return shell::ProfileFile(settings->File()).readString(section, key).value_or("<missing>");
    }
    void add(const QString& name, const QString& folder) const
    {
        child<QLineEdit>("Text1").setText(name);
        child<QLineEdit>("Text2").setText(folder);
        child<QPushButton>("Command1").click();
    }

    TempEnvironment env;
    ScopedModuleState state;
    shell::InitFile* settings = nullptr;
    std::unique_ptr<frmOptions> dialog;
};

TEST_F(frmOptionsTest, LoadingSelectsTheStoredChoices)
{
    settings->SetString("general", "DefaultPrinter", "Back Room");
    settings->SetString("sheet", "Forms", "/srv/forms/");
    settings->SetString("general", "DefaultPathName", "Forms");
    settings->SetString("general", "FDPNSW", "CD");
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("vorlixの設定"));
    EXPECT_EQ(combo(1).count(), 4);
    EXPECT_EQ(combo(1).itemText(0), QStringLiteral("Default"));
    EXPECT_EQ(combo(1).currentText(), QStringLiteral("Back Room"));
    EXPECT_EQ(combo(2).itemText(0), QStringLiteral("CurDir"));
    EXPECT_EQ(combo(2).itemText(1), QStringLiteral("Default"));
    EXPECT_EQ(combo(2).currentText(), QStringLiteral("Forms"));
    EXPECT_TRUE(child<QRadioButton>("Option1_0").isChecked());
    EXPECT_EQ(child<QLineEdit>("txHTTP0").text(), QStringLiteral("80"));
    EXPECT_EQ(child<QLineEdit>("txHTTP1").text(), QStringLiteral("21"));
    const QListWidget& list = child<QListWidget>("List1");
    // The sheet section holds Default and www from the start.
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(2)->text(), QStringLiteral("Forms -> /srv/forms/"));
    EXPECT_EQ(combo(2).itemText(3), QStringLiteral("Forms"));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(check(i).isChecked());
    EXPECT_EQ(dialog->currentPage(), frmOptions::Standard);

    // Names that match no entry exactly leave the first entry chosen.
    settings->SetString("general", "DefaultPrinter", "back room");
    settings->SetString("general", "DefaultPathName", "Gone");
    open();
    EXPECT_EQ(combo(1).currentText(), QStringLiteral("Default"));
    EXPECT_EQ(combo(2).currentText(), QStringLiteral("CurDir"));
}

TEST_F(frmOptionsTest, ResolutionAndFontSizeAreSelectedOrAdded)
{
    settings->SetString("general", "DPI", "333");
    settings->SetString("menu", "fontsize", "12");
    open();
    EXPECT_EQ(combo(3).currentText(), QStringLiteral("333"));
    EXPECT_EQ(combo(3).findText(QStringLiteral("333")), combo(3).count() - 1);
    const int sizes = combo(4).count();
    EXPECT_EQ(combo(4).currentText(), QStringLiteral("12"));
    EXPECT_EQ(combo(4).count(), sizes);
    frmOptions::selectOrAdd(combo(4), QStringLiteral("12"));
    EXPECT_EQ(combo(4).count(), sizes);
    // What is typed is written as typed.
    combo(4).setEditText(QStringLiteral("abc"));
    dialog->accept();
    EXPECT_EQ(stored("menu", "fontsize"), QStringLiteral("abc"));
    EXPECT_EQ(stored("general", "DPI"), QStringLiteral("333"));
}

TEST_F(frmOptionsTest, PortsThatAreNoPortFallBack)
{
    const struct {
        const char* http;
        const char* ftp;
        const char* storedHttp;
        const char* storedFtp;
    } cases[] = {
        { "abc", "x", "80", "21" },
        { "", "0", "80", "21" },
        { "8080", "2121", "8080", "2121" },
        { "99999", "-21", "80", "21" },
    };
    for (const auto& c : cases) {
        open();
        child<QLineEdit>("txHTTP0").setText(c.http);
        child<QLineEdit>("txHTTP1").setText(c.ftp);
        child<QPushButton>("cmdOK").click();
        EXPECT_EQ(stored("server", "http"), c.storedHttp) << c.http;
        EXPECT_EQ(stored("server", "ftp"), c.storedFtp) << c.ftp;
    }
}

TEST_F(frmOptionsTest, OkWritesTheChoicesOfTheStandardPage)
{
    open();
    combo(1).setCurrentIndex(3);
    combo(2).setCurrentIndex(0);
    child<QRadioButton>("Option1_0").click();
    child<QPushButton>("cmdOK").click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(stored("general", "DefaultPrinter"), QStringLiteral("Back Room"));
    EXPECT_EQ(stored("general", "DefaultPathName"), QStringLiteral("CurDir"));
    EXPECT_EQ(stored("general", "FDPNSW"), QStringLiteral("CD"));
    open();
    child<QRadioButton>("Option1_1").click();
    dialog->accept();
    EXPECT_EQ(stored("general", "FDPNSW"), QStringLiteral("DPN"));
}

// OK without a click on the association page leaves the association alone; a click taken back
// by a second click still counts, and the association is written again.
TEST_F(frmOptionsTest, OnlyAClickedCheckBoxWritesTheAssociation)
{
    const shell::DesktopIntegration desktop;
    settings->SetString("reg", "mime", "1");
    open();
    dialog->accept();
    EXPECT_EQ(stored("reg", "mime"), QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(shell::Registry::defaultStoreFile()));
    EXPECT_FALSE(QFileInfo::exists(desktop.desktopEntryPath()));

    open();
    check(3).click();
    check(3).click();
    dialog->accept();
    EXPECT_EQ(stored("reg", "mime"), QStringLiteral("True"));
    EXPECT_EQ(stored("reg", "fae"), QStringLiteral("True"));
    EXPECT_TRUE(QFileInfo::exists(desktop.desktopEntryPath()));
    EXPECT_TRUE(shell::Registry().ChkKey(shell::Registry::Root(), ".fae"));

    // Unticking both extensions removes the desktop entry again.
    open();
    check(0).click();
    check(1).click();
    dialog->accept();
    EXPECT_EQ(stored("reg", "fae"), QStringLiteral("False"));
    EXPECT_EQ(stored("reg", "mnd"), QStringLiteral("False"));
    EXPECT_FALSE(QFileInfo::exists(desktop.desktopEntryPath()));
    EXPECT_FALSE(shell::Registry().ChkKey(shell::Registry::Root(), "vorlix"));

    // A click and then Cancel writes nothing.
    open();
    check(0).click();
    dialog->reject();
    EXPECT_EQ(stored("reg", "fae"), QStringLiteral("False"));
}

// "追加" writes at once; Cancel keeps what was added; names the settings file would misread are
// refused.
TEST_F(frmOptionsTest, AddingASheetFolderWritesItAtOnce)
{
    open();
    add(QStringLiteral("Forms"), QStringLiteral("/srv/forms/"));
    EXPECT_EQ(stored("sheet", "Forms"), QStringLiteral("/srv/forms/"));
    const QListWidget& list = child<QListWidget>("List1");
    EXPECT_EQ(list.item(list.count() - 1)->text(), QStringLiteral("Forms -> /srv/forms/"));
    EXPECT_TRUE(child<QLineEdit>("Text1").text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("Text2").text().isEmpty());
    EXPECT_GE(combo(2).findText(QStringLiteral("Forms")), 0);
    const int lines = list.count();
    add(QStringLiteral("forms"), QStringLiteral("/srv/new/"));
    EXPECT_EQ(stored("sheet", "Forms"), QStringLiteral("/srv/new/"));
    EXPECT_EQ(list.count(), lines);
    for (const char* bad : { "", "a=b", ";note", "[x]" }) {
        add(QString::fromLatin1(bad), QStringLiteral("/tmp/"));
        EXPECT_EQ(child<QLineEdit>("Text2").text(), QStringLiteral("/tmp/")) << bad;
    }
    EXPECT_EQ(list.count(), lines);
    EXPECT_EQ(stored("sheet", "a"), QStringLiteral("<missing>"));
    dialog->reject();
    EXPECT_EQ(stored("sheet", "Forms"), QStringLiteral("/srv/new/"));
}

TEST_F(frmOptionsTest, MenuItemsShowOnePageAtATime)
{
    open();
    const struct {
        const char* item;
        int page;
    } items[] = { { "mnuPath", 1 }, { "mnuLink", 2 }, { "mnuStad", 0 } };
    for (const auto& item : items) {
        child<QAction>(item.item).trigger();
        EXPECT_EQ(dialog->currentPage(), item.page) << item.item;
    }
    dialog->show();
    child<QAction>("mnuLink").trigger();
    EXPECT_TRUE(check(0).isVisible());
    EXPECT_FALSE(combo(1).isVisible());
}

}
