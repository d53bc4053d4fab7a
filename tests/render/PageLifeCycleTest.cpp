#include "RenderTestSupport.h"

#include "render/PageLifeCycle.h"
#include "render/PreviewSink.h"
#include "render/TextMetrics.h"

#include <QCoreApplication>

using namespace vorlix;
using namespace vorlix::render;

namespace {

using Job = PageLifeCycle::JobState;
using Page = PageLifeCycle::PageState;

class PageLifeCycleTest : public ::testing::Test {
protected:
    PageCollector printer;
    PreviewSink preview;
    PageLifeCycle pages { std::make_shared<FakeTextMetrics>() };

    void openPage() { pages.open(254, { 0, 0, 21000, 29700 }, { 2100, 2970 }); }
};

TEST_F(PageLifeCycleTest, StartOpensAJobOnlyWhereOneIsMissing)
{
    // Steps: b binds the printer, v binds the preview, o opens a job, c closes it.
    struct Case {
        const char* steps;
        Job job;
        bool needsJob;
    };
    const Case cases[] = {
        { "", Job::Unbound, true },
        { "b", Job::Bound, true },
        { "bo", Job::Open, false },
        // Each copy after an end is a job of its own on a printer; a preview has no jobs.
        { "boc", Job::Closed, true },
        { "voc", Job::Closed, false },
        // Ending a job that was never opened leaves it unopened.
        { "bc", Job::Bound, true },
        { "c", Job::Unbound, true },
        { "bob", Job::Bound, true },
        { "bocob", Job::Bound, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        PageLifeCycle cycle(std::make_shared<FakeTextMetrics>());
        for (const char* step = c.steps; *step; ++step) {
            if (*step == 'b' || *step == 'v')
                cycle.bind(*step == 'b' ? PageTarget(printer) : PageTarget(preview), 400);
            else if (*step == 'o')
                cycle.jobOpened();
            else
                cycle.jobClosed();
        }
        EXPECT_EQ(cycle.job(), c.job);
        EXPECT_EQ(cycle.needsJob(), c.needsJob);
    }
}

TEST_F(PageLifeCycleTest, PageStatesFromOpeningToDiscarding)
{
    pages.bind(printer, 254);
    EXPECT_EQ(pages.page(), Page::NoPage);
    EXPECT_FALSE(pages.pending());
    EXPECT_FALSE(pages.deviceRecording());

    openPage();
    // The device records at once; the page counts as recording once it is set up.
    EXPECT_TRUE(pages.deviceRecording());
    EXPECT_EQ(pages.page(), Page::NoPage);
    pages.markRecording();
    EXPECT_EQ(pages.page(), Page::Recording);
    EXPECT_TRUE(pages.pending());
    pages.device().moveTo(1, 2);

    pages.close();
    EXPECT_EQ(pages.page(), Page::Closed);
    EXPECT_TRUE(pages.pending());
    EXPECT_FALSE(pages.deviceRecording());
    ASSERT_NE(pages.closedPage(), nullptr);
    EXPECT_EQ(test::dumpLines(*pages.closedPage()), QStringList { "moveTo 1 2" });

    pages.markShown();
    EXPECT_FALSE(pages.pending());
    pages.discard();
    EXPECT_EQ(pages.page(), Page::NoPage);
    EXPECT_EQ(pages.closedPage(), nullptr);
    EXPECT_EQ(pages.deviceNumber(), 0);
    EXPECT_EQ(pages.pageNumber(), 0);
}

TEST_F(PageLifeCycleTest, ShownPageCountsAsNotOutputAfterRebinding)
{
    pages.bind(preview, 96);
    openPage();
    pages.markRecording();
    pages.close();
    pages.markShown();
    pages.bind(printer, 400);
    EXPECT_EQ(pages.page(), Page::Closed);
    EXPECT_TRUE(pages.pending());
}

TEST_F(PageLifeCycleTest, DevicesAndPagesGetNumbersOfTheirOwn)
{
    pages.bind(printer, 254);
    openPage();
    const auto firstDevice = pages.deviceNumber();
    EXPECT_GT(firstDevice, 0);
    EXPECT_EQ(pages.pageNumber(), 0);
    pages.markRecording();
    pages.close();
    EXPECT_GT(pages.pageNumber(), firstDevice);
    openPage();
    EXPECT_GT(pages.deviceNumber(), pages.pageNumber());
}

// Metrics that answer with the resolution asked for and the font's height.
class ResolutionMetrics final : public TextMetrics {
public:
    [[nodiscard]] QSize extent(const LogFont& font, const QString&, int dpi) const override
    {
        return { dpi, font.lfHeight };
    }
    [[nodiscard]] QSize pointExtent(
        const QString&, double, bool, bool, const QString&, int dpi) const override
    {
        return { dpi, 0 };
    }
};

TEST(PageLifeCycleDevice, MeasuresOnThePageOrTheReferenceDeviceInTheSelectedFont)
{
    PreviewSink preview;
    PageLifeCycle pages(std::make_shared<ResolutionMetrics>());
    LogFont font;
    font.lfHeight = 40;
    pages.device().selectFont(font);
    pages.bind(preview, 96);
    EXPECT_EQ(pages.device().textExtent("AB"), QSize(96, 40));
    // A fresh page starts with the device's initial font and measures at its own resolution.
    pages.open(254, { 0, 0, 21000, 29700 }, { 2100, 2970 });
    EXPECT_EQ(pages.device().textExtent("AB"), QSize(254, 16));
    pages.device().selectFont(font);
    pages.markRecording();
    pages.close();
    EXPECT_EQ(pages.device().textExtent("AB"), QSize(96, 16));
}

TEST_F(PageLifeCycleTest, OwnPrinterAndDocumentName)
{
    PageCollector* made = nullptr;
    pages.setPrinterFactory(test::collectingPrinter(made));
    PageOutput& own = pages.makeOwnPrinter();
    EXPECT_EQ(&own, made);
    EXPECT_EQ(pages.documentName(), QCoreApplication::applicationName());
    pages.setDocumentName(QStringLiteral("見積書"));
    EXPECT_EQ(pages.documentName(), QStringLiteral("見積書"));
}

}
