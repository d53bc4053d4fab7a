#include "window/PrintDet.h"
#include "render/PrinterObject.h"
#include "shell/InitFile.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

using namespace vorlix;
using namespace vorlix::test;
using window::PrintDet;

namespace {

// The print-details dialog on a machine without printers (the tests' CUPS has none).
class PrintDetTest : public ::testing::Test {
protected:
    PrintDetTest()
    {
        settings = &state.startSettings();
        auto& printer = render::PrinterObject::current();
        printer.setPaperSize(9);
        printer.setOrientation(1);
    }

    PrintDet& open(std::int16_t paper, std::int16_t orientation)
    {
        dialog = std::make_unique<PrintDet>();
        dialog->setPaperSize(paper);
        dialog->setOrientation(orientation);
        dialog->show();
        return *dialog;
    }
    QComboBox& combo(int i) const
    {
        return *dialog->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i));
    }
    QLineEdit& text2(int i) const
    {
        return *dialog->findChild<QLineEdit*>(QStringLiteral("Text2_%1").arg(i));
    }
    QRadioButton& option1(int i) const
    {
        return *dialog->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i));
    }
    void ok() const { dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click(); }

    TempEnvironment env;
    ScopedModuleState state;
    shell::InitFile* settings = nullptr;
    std::unique_ptr<PrintDet> dialog;
};

TEST_F(PrintDetTest, ThePaperListHoldsTheTableInItsOrderWithItsCodes)
{
    open(9, 1);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("印刷の詳細"));
    const QStringList names { "LETTER", "A3", "A4", "A4S", "A5", "B4", "B5", "10X14", "11X17",
        "15X11", "USER" };
    const int codes[] = { 1, 8, 9, 10, 11, 12, 13, 16, 17, 39, 256 };
    ASSERT_EQ(combo(1).count(), names.size());
    for (int i = 0; i < combo(1).count(); ++i) {
        EXPECT_EQ(combo(1).itemText(i), names[i]);
        EXPECT_EQ(combo(1).itemData(i).toInt(), codes[i]);
    }
    EXPECT_EQ(combo(1).currentText(), QStringLiteral("A4"));
    combo(1).setCurrentIndex(1);
    ok();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->PaperSize(), 8);
    EXPECT_EQ(render::PrinterObject::current().PaperSize(), 8);
}

// A paper the list does not name is added by its size and chosen, so that OK returns it.
TEST_F(PrintDetTest, APaperOutsideTheListIsAddedByItsSizeAndChosen)
{
    const struct {
        std::int16_t code;
        std::int32_t printerOrientation;
        const char* caption;
    } cases[] = {
        { 5, 1, "216x356mm" }, // legal: inch sizes round to whole millimetres
        { 70, 1, "210x297mm" }, // a code without a size of its own: the printer's A4
        { 5, 2, "216x356mm" }, // a paper is named upright, however the printer holds it
    };
    for (const auto& c : cases) {
        render::PrinterObject::current().setOrientation(c.printerOrientation);
        open(c.code, 1);
        ASSERT_EQ(combo(1).count(), 12);
        EXPECT_EQ(combo(1).itemText(11), QString::fromLatin1(c.caption));
        EXPECT_EQ(combo(1).itemData(11).toInt(), c.code);
        EXPECT_EQ(combo(1).currentIndex(), 11);
        ok();
        EXPECT_EQ(dialog->PaperSize(), c.code);
    }
    EXPECT_EQ(PrintDet::paperCaption(11906.0, 16838.0), QStringLiteral("210x297mm"));
}

TEST_F(PrintDetTest, OrientationTwoIsLandscapeAndAnythingElsePortrait)
{
    for (std::int16_t orientation : { 0, 1, 2, 3 }) {
        open(9, orientation);
        const bool landscape = orientation == 2;
        EXPECT_EQ(option1(0).isChecked(), !landscape);
        EXPECT_EQ(option1(1).isChecked(), landscape);
        ok();
        EXPECT_EQ(dialog->Orientation(), landscape ? 2 : 1) << orientation;
    }
    open(9, 1);
    option1(1).click();
    ok();
    EXPECT_EQ(dialog->Orientation(), 2);
    EXPECT_EQ(render::PrinterObject::current().Orientation(), 2);
}

// OK keeps the corrections as typed and stores them for the printer chosen (here: no printer,
// whose corrections live in section NULL).
TEST_F(PrintDetTest, TypedCorrectionsAreKeptAndStored)
{
    settings->SetString("NULL", "PaperLeftLag", "7");
    settings->SetString("NULL", "PaperTopLag", "-3");
    open(9, 1);
    EXPECT_EQ(text2(0).text(), QStringLiteral("7"));
    EXPECT_EQ(text2(1).text(), QStringLiteral("-3"));
    text2(0).setText(QStringLiteral("25"));
    text2(1).setText(QStringLiteral("-12"));
    ok();
    EXPECT_EQ(dialog->PaperLeftLag(), 25);
    EXPECT_EQ(dialog->PaperTopLag(), -12);
    EXPECT_EQ(dialog->DeviceName(), QString());
    EXPECT_EQ(settings->GetString("NULL", "PaperLeftLag", "0"), QStringLiteral("25"));
    EXPECT_EQ(settings->GetString("NULL", "PaperTopLag", "0"), QStringLiteral("-12"));

    open(9, 1);
    text2(0).setText(QStringLiteral("abc"));
    text2(1).setText(QString());
    ok();
    EXPECT_EQ(dialog->PaperLeftLag(), 0);
    EXPECT_EQ(dialog->PaperTopLag(), 0);
}

// Without printers the list says so and OK still returns paper and orientation.
TEST_F(PrintDetTest, WithoutPrintersTheListSaysSoAndOkWorks)
{
    open(11, 2);
    EXPECT_EQ(combo(0).count(), 0);
    EXPECT_FALSE(combo(0).isEnabled());
    EXPECT_EQ(combo(0).placeholderText(), QStringLiteral("プリンタがありません"));
    ok();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->PaperSize(), 11);
    EXPECT_EQ(dialog->Orientation(), 2);
}

TEST_F(PrintDetTest, ClosingWithoutOkChangesNothing)
{
    settings->SetString("NULL", "PaperLeftLag", "4");
    LogCapture log;
    open(5, 2);
    EXPECT_EQ(render::PrinterObject::current().PaperSize(), 5);
    text2(0).setText(QStringLiteral("99"));
    dialog->reject();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(render::PrinterObject::current().PaperSize(), 9);
    EXPECT_EQ(render::PrinterObject::current().Orientation(), 1);
    EXPECT_EQ(settings->GetString("NULL", "PaperLeftLag", "0"), QStringLiteral("4"));
    dialog.reset();
    EXPECT_EQ(log.linesStartingWith(QStringLiteral("PrintDet/")),
        (QStringList { "PrintDet/Initialize>", "PrintDet/Terminate>" }));
}

}
