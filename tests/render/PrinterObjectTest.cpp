#include "render/PrinterObject.h"
#include "render/FileSink.h"
#include "shell/Common.h"
#include "tests/support/TempEnvironment.h"

#include <QPageSize>
#include <gtest/gtest.h>

namespace {

using vorlix::render::PrinterObject;

TEST(PrinterObject, PaperCodesAndPageSizesMapBothWays)
{
    EXPECT_EQ(PrinterObject::codeOf(QPageSize(QPageSize::A4)), 9);
    EXPECT_EQ(PrinterObject::codeOf(QPageSize(QPageSize::A3)), 8);
    EXPECT_EQ(PrinterObject::codeOf(QPageSize(QPageSize::Letter)), 1);
    EXPECT_EQ(PrinterObject::codeOf(QPageSize(QSizeF(123, 45), QPageSize::Millimeter)), 256);
    EXPECT_EQ(PrinterObject::pageSizeOf(9).id(), QPageSize::A4);
    EXPECT_EQ(PrinterObject::pageSizeOf(11).id(), QPageSize::A5);
    // Code 35 is wider than high and stays so.
    const QSizeF b6 = PrinterObject::pageSizeOf(35).size(QPageSize::Millimeter);
    EXPECT_GT(b6.width(), b6.height());
}

TEST(PrinterObject, WithoutPrintersNothingIsSelected)
{
    // The test programs reach no CUPS server, so no printer exists.
    PrinterObject printer;
    EXPECT_FALSE(printer.exists());
    EXPECT_TRUE(printer.SelectPrinter(QStringLiteral("DEFAULT")).isEmpty());
    EXPECT_TRUE(printer.SelectPrinter(QStringLiteral("NoSuchQueue")).isEmpty());
    EXPECT_EQ(printer.createJob(400), nullptr);
}

TEST(PrinterObject, PaperAndOrientationGiveTheCurrentPageSize)
{
    PrinterObject printer;
    printer.setPaperSize(9);
    printer.setOrientation(2);
    EXPECT_NEAR(printer.pageWidthTwips(), 2970 * 5.67, 1e-6);
    EXPECT_NEAR(printer.pageHeightTwips(), 2100 * 5.67, 1e-6);
    // No printer: nothing is unprintable.
    EXPECT_NEAR(printer.printableWidthTwips(), printer.pageWidthTwips(), 1e-6);
    printer.setPaperSize(0);
    EXPECT_EQ(printer.PaperSize(), 9);
    printer.setOrientation(7);
    EXPECT_EQ(printer.Orientation(), 1);
}

TEST(PrinterObject, CodesOutsideTheTableAskTheInstalledPrinter)
{
    auto& printer = PrinterObject::current();
    const auto saved = printer.PaperSize();
    PrinterObject::install();
    printer.setPaperSize(256);
    // A user size that the table does not know falls back to the printer's A4 page.
    EXPECT_EQ(vorlix::shell::PaperExtent(1, 256, 1), 2100);
    printer.setPaperSize(11);
    EXPECT_EQ(vorlix::shell::PaperExtent(1, 999, 1), 1480);
    EXPECT_EQ(vorlix::shell::PaperExtent(2, 999, 2), 1480);
    printer.setPaperSize(saved);
}

TEST(PrinterObject, ExportFileTakesThePrintersPlace)
{
    vorlix::test::TempEnvironment env;
    PrinterObject printer;
    printer.setExportFile(env.root() + QStringLiteral("/a.pdf"));
    EXPECT_NE(printer.createJob(400), nullptr);
    printer.setExportFile(env.root() + QStringLiteral("/a.doc"));
    EXPECT_EQ(printer.createJob(400), nullptr);
}

}
