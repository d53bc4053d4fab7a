#include "window/PrintDlg.h"
#include "render/PrinterObject.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/ScopedModuleState.h"

#include <QAbstractButton>
#include <QPrintDialog>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using window::PrintDlg;

namespace {

class PrintDlgTest : public ::testing::Test {
protected:
    PrintDlgTest()
    {
        auto& printer = render::PrinterObject::current();
        printer.setPaperSize(9);
        printer.setOrientation(1);
        printer.setColorMode(true);
        printer.setDuplex(0);
    }
    ~PrintDlgTest() override { render::PrinterObject::current().setPaperSize(9); }

    ScopedModuleState state;
};

template <typename T> T* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

TEST_F(PrintDlgTest, DefaultsWithoutAnyPrinter)
{
    LogCapture log;
    {
        PrintDlg dialog;
        EXPECT_EQ(dialog.Flags(), 0);
        EXPECT_EQ(dialog.FromPage(), 1);
        EXPECT_EQ(dialog.ToPage(), 9999);
        EXPECT_EQ(dialog.Min(), 1);
        EXPECT_EQ(dialog.Max(), 9999);
        EXPECT_EQ(dialog.Copies(), 1);
        EXPECT_EQ(dialog.PaperSize(), 9);
        EXPECT_EQ(dialog.Orientation(), 1);
        EXPECT_EQ(dialog.DeviceName(), QString());
        EXPECT_EQ(dialog.Width(), 11907);
        EXPECT_EQ(dialog.Height(), 16840);
    }
    EXPECT_EQ(log.lines(), (QStringList { "PrintDlg/Initialize>", "PrintDlg/Terminate>" }));
}

// Paper, orientation, colour and duplex go to the printer object as they are set.
TEST_F(PrintDlgTest, DeviceModeSettingsReachThePrinterObject)
{
    PrintDlg dialog;
    auto& printer = render::PrinterObject::current();
    dialog.setPaperSize(8);
    dialog.setOrientation(2);
    dialog.setColorMode(PrintDlg::DMCOLOR_MONOCHROME);
    dialog.setDuplex(PrintDlg::DMDUP_HORIZONTAL);
    EXPECT_EQ(printer.PaperSize(), 8);
    EXPECT_EQ(printer.Orientation(), 2);
    EXPECT_FALSE(printer.colorMode());
    EXPECT_EQ(printer.duplex(), 2);
    // The paper's own width and height, whatever the orientation.
    EXPECT_EQ(dialog.Width(), 16840);
    EXPECT_EQ(dialog.Height(), 23814);
}

TEST_F(PrintDlgTest, CancelKeepsEverythingAndStillLogs)
{
    PrintDlg dialog;
    dialog.setFromPage(2);
    dialog.setCopies(3);
    LogCapture log;
    ModalAnswer answer([](QWidget& shown) {
        child<QSpinBox>(shown, "copies")->setValue(7);
        qobject_cast<QDialog*>(&shown)->reject();
    });
    EXPECT_FALSE(dialog.ShowPrinter(nullptr));
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(dialog.FromPage(), 2);
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(log.lines(), (QStringList { "PrintDlg/ShowPrinter>" }));
}

// The dialog shows the range, copies and paper it was given and returns what the user chose.
TEST_F(PrintDlgTest, ConfirmedChoicesComeBack)
{
    PrintDlg dialog;
    dialog.setFlags(1048836);
    dialog.setFromPage(2);
    dialog.setToPage(3);
    dialog.setMax(5);
    dialog.setCopies(2);
    QString shownRange;
    ModalAnswer answer([&](QWidget& shown) {
        auto* from = child<QSpinBox>(shown, "from");
        auto* to = child<QSpinBox>(shown, "to");
        shownRange = QStringLiteral("%1-%2 of %3, %4 copies, range %5")
                         .arg(from->value())
                         .arg(to->value())
                         .arg(to->maximum())
                         .arg(child<QSpinBox>(shown, "copies")->value())
                         .arg(child<QAbstractButton>(shown, "printRange")->isChecked());
        EXPECT_FALSE(child<QWidget>(shown, "pagesLineEdit")->isVisibleTo(&shown));
        to->setValue(4);
        child<QSpinBox>(shown, "copies")->setValue(3);
        qobject_cast<QDialog*>(&shown)->accept();
    });
    ASSERT_TRUE(dialog.ShowPrinter(nullptr));
    EXPECT_EQ(shownRange, QStringLiteral("2-3 of 5, 2 copies, range 1"));
    EXPECT_EQ(dialog.FromPage(), 2);
    EXPECT_EQ(dialog.ToPage(), 4);
    EXPECT_EQ(dialog.Copies(), 3);
    EXPECT_EQ(dialog.PaperSize(), 9);
    EXPECT_EQ(dialog.Orientation(), 1);
}

// "All pages" chosen means the whole allowed range; A4S stays A4S (the same sheet as A4).
TEST_F(PrintDlgTest, AllPagesIsTheWholeRange)
{
    PrintDlg dialog;
    dialog.setPaperSize(10);
    dialog.setMax(7);
    dialog.setToPage(7);
    ModalAnswer answer([](QWidget& shown) {
        EXPECT_TRUE(child<QAbstractButton>(shown, "printAll")->isChecked());
        qobject_cast<QDialog*>(&shown)->accept();
    });
    ASSERT_TRUE(dialog.ShowPrinter(nullptr));
    EXPECT_EQ(dialog.FromPage(), 1);
    EXPECT_EQ(dialog.ToPage(), 7);
    EXPECT_EQ(dialog.PaperSize(), 10);
}

}
