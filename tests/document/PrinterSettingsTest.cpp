#include "document/PrinterSettings.h"
#include "document/Source.h"
#include "shell/InitFile.h"
#include "tests/document/SourceTestSupport.h"

#include <gtest/gtest.h>

namespace {

using vorlix::document::PrinterSettings;

TEST(PrinterSettingsStatic, PageRanges)
{
    struct Case {
        const char* pages;
        int from;
        int to;
    } cases[] = { { "", 1, 9999 }, { "2,5", 2, 5 }, { "5,2", 5, 9999 }, { "3", 1, 9999 },
        { ",4", 1, 9999 }, { "-2,-4", 2, 4 }, { "x,y", 1, 9999 }, { "2,", 2, 9999 },
        { "-2147483648,1", 2147483647, 9999 } };
    for (const auto& c : cases) {
        std::int32_t from = 0;
        std::int32_t to = 0;
        PrinterSettings::pageRange(QString::fromUtf8(c.pages), from, to);
        EXPECT_EQ(from, c.from) << c.pages;
        EXPECT_EQ(to, c.to) << c.pages;
    }
}

class PrinterSettingsTest : public vorlix::test::SourceFixture { };

TEST_F(PrinterSettingsTest, TheDocumentStartsFromSettingsAndCommandLine)
{
    auto& settings = *state->SettingsFile;
    settings.SetString("general", "DPI", "600");
    settings.SetString("NULL", "PaperLeftLag", "12");
    settings.SetString("NULL", "PaperTopLag", "-7");
    state.options().ArgCopies = 3;
    state.options().ArgPages = QStringLiteral("2,4");
    const PrinterSettings printer = PrinterSettings::current();
    // The tests reach no printer: the paper is the printer object's A4 portrait.
    EXPECT_EQ(printer.DeviceName, u"");
    EXPECT_EQ(printer.printerSection(), u"NULL");
    EXPECT_EQ(printer.DPI, 600);
    EXPECT_EQ(printer.Copies, 3);
    EXPECT_EQ(printer.FromPage, 2);
    EXPECT_EQ(printer.ToPage, 4);
    EXPECT_EQ(printer.PaperLeftLag, 12);
    EXPECT_EQ(printer.PaperTopLag, -7);
    EXPECT_EQ(printer.Width, 2100);
    EXPECT_EQ(printer.Height, 2970);
    settings.SetString("general", "DPI", "-5");
    EXPECT_EQ(PrinterSettings::current().DPI, 400);
}

TEST_F(PrinterSettingsTest, TheDocumentsEndWritesPaperAndCorrections)
{
    {
        vorlix::document::Source source;
        source.printer().PaperSize = 11;
        source.printer().Orientation = 2;
        source.printer().PaperLeftLag = 5;
        source.printer().PaperTopLag = 6;
    }
    auto& settings = *state->SettingsFile;
    EXPECT_EQ(settings.GetString("general", "PaperSize", "-"), "11");
    EXPECT_EQ(settings.GetString("general", "Orientation", "-"), "2");
    EXPECT_EQ(settings.GetString("NULL", "PaperLeftLag", "-"), "5");
    EXPECT_EQ(settings.GetString("NULL", "PaperTopLag", "-"), "6");
}

// "-c=" and "-o=" hold for their own run: the settings keep the paper chosen before them, and
// only a confirmed printer dialog makes the run's paper the kept one.
TEST_F(PrinterSettingsTest, PaperSwitchesHoldForTheirRunOnly)
{
    auto& settings = *state->SettingsFile;
    settings.SetString("general", "PaperSize", "13");
    settings.SetString("general", "Orientation", "1");
    state.options().ArgPaper = QStringLiteral("A3");
    state.options().ArgOrient = 2;
    {
        vorlix::document::Source source;
        EXPECT_TRUE(source.printer().fRunPaper);
        EXPECT_TRUE(source.printer().fRunOrientation);
        source.printer().PaperSize = 8;
        source.printer().Orientation = 2;
        source.printer().PaperLeftLag = 4;
    }
    EXPECT_EQ(settings.GetString("general", "PaperSize", "-"), "13");
    EXPECT_EQ(settings.GetString("general", "Orientation", "-"), "1");
    EXPECT_EQ(settings.GetString("NULL", "PaperLeftLag", "-"), "4");

    // Only the orientation switch: the paper is the user's and is kept as usual.
    state.options().ArgPaper.clear();
    {
        vorlix::document::Source source;
        EXPECT_FALSE(source.printer().fRunPaper);
        source.printer().PaperSize = 12;
        source.printer().Orientation = 2;
    }
    EXPECT_EQ(settings.GetString("general", "PaperSize", "-"), "12");
    EXPECT_EQ(settings.GetString("general", "Orientation", "-"), "1");
}

}
