#include "RenderTestSupport.h"

#include <QCoreApplication>
#include <QRegularExpression>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::RenderLogCapture;
using vorlix::test::SurfaceTest;

namespace {

using EMFPages = SurfaceTest;

// Log lines with the handle numbers replaced by N, which vary from run to run.
QStringList withoutHandles(const QStringList& lines)
{
    QStringList out;
    static const QRegularExpression number(QStringLiteral("(hDC=|Handle=)[1-9][0-9]*"));
    for (QString line : lines)
        out << line.replace(number, QStringLiteral("\\1N"));
    return out;
}

// Without a name of its own a job is named after the application.
QString jobStart()
{
    return QStringLiteral("startDoc ") + QCoreApplication::applicationName();
}

TEST_F(EMFPages, PrintedDocumentPlaysEveryPageOnceAndLogsTheJob)
{
    RenderLogCapture log;
    bindPrinter(400);
    emf.setDocumentName(QStringLiteral("見積書"));
    emf.Start();
    emf.HDxy(0, 0, 100);
    emf.NewPage();
    emf.Start();
    emf.NewPage();
    emf.EndDoc();

    EXPECT_EQ(sink.events(), (QStringList { "startDoc 見積書", "playPage", "playPage", "endDoc" }));
    ASSERT_EQ(sink.pages().size(), 2U);
    // 21000 / 3.6 x 0.567 comes out just below 3307.5 in doubles.
    EXPECT_EQ(sink.playRects().at(0), QRect(0, 0, 3307, 4678));
    EXPECT_TRUE(sink.pages().at(0).dump().contains("lineTo 157 0"));
    EXPECT_FALSE(sink.pages().at(1).dump().contains("lineTo"));
    EXPECT_EQ(withoutHandles(log.lines()),
        (QStringList { "2", "EMF/PrinterOpen>", "EMF/OpenEMF>hDC=N 3307x4677",
            "EMF/DispEMF>PlayEMF=1", "EMF/DeleteEMF>hDC=N Handle=N", "EMF/OpenEMF>hDC=N 3307x4677",
            "EMF/DispEMF>PlayEMF=1", "EMF/DeleteEMF>hDC=N Handle=N", "EMF/PrinterClose>" }));
}

TEST_F(EMFPages, PageRecordKeepsResolutionFrameAndSize)
{
    bindPrinter(400);
    emf.Start();
    emf.EndDoc();
    ASSERT_EQ(sink.pages().size(), 1U);
    const PageRecord& page = sink.pages().front();
    EXPECT_EQ(page.dpi(), 400);
    EXPECT_EQ(page.frame(), (DeviceRect { 0, 0, 21000, 29700 }));
    EXPECT_EQ(page.deviceSize(), QSize(3307, 4677));
}

TEST_F(EMFPages, EndDocRightAfterStartOutputsOneEmptyPage)
{
    bindPrinter();
    emf.Start();
    emf.EndDoc();
    EXPECT_EQ(sink.events(), (QStringList { jobStart(), "playPage", "endDoc" }));
    EXPECT_EQ(emf.hDC(), nullptr);
    EXPECT_EQ(emf.Picture(), nullptr);
    // The job is closed: a second end outputs nothing more.
    emf.EndDoc();
    EXPECT_EQ(sink.pages().size(), 1U);
}

TEST_F(EMFPages, NewPageWithoutARecordingPageOutputsNothing)
{
    bindPrinter();
    emf.NewPage();
    emf.EndDoc();
    EXPECT_TRUE(sink.pages().empty());
    EXPECT_EQ(sink.events(), QStringList { "endDoc" });
}

TEST_F(EMFPages, KillDocDiscardsTheRecordingPage)
{
    bindPrinter();
    emf.Start();
    emf.HDxy(0, 0, 100);
    emf.KillDoc();
    EXPECT_EQ(emf.hDC(), nullptr);
    EXPECT_EQ(emf.Picture(), nullptr);
    emf.EndDoc();
    EXPECT_TRUE(sink.pages().empty());
}

TEST_F(EMFPages, SecondStartDiscardsTheFirstPagesDrawing)
{
    bindPrinter();
    emf.Start();
    emf.HDxy(0, 0, 100);
    emf.Start();
    emf.VDxy(0, 0, 50);
    emf.EndDoc();
    ASSERT_EQ(sink.pages().size(), 1U);
    EXPECT_FALSE(sink.pages().front().dump().contains("lineTo 100 0"));
    EXPECT_TRUE(sink.pages().front().dump().contains("lineTo 0 50"));
}

TEST_F(EMFPages, EachCopyAfterAnEndIsAJobOfItsOwn)
{
    bindPrinter();
    for (int copy = 0; copy < 2; ++copy) {
        emf.Start();
        emf.NewPage();
        emf.EndDoc();
    }
    EXPECT_EQ(sink.events(),
        (QStringList { jobStart(), "playPage", "endDoc", jobStart(), "playPage", "endDoc" }));
}

TEST_F(EMFPages, PreviewKeepsTheLastPageOnScreen)
{
    bindPreview();
    emf.Start();
    emf.HDxy(0, 0, 100);
    emf.NewPage();
    const std::shared_ptr<const PageRecord> first = preview.picture();
    ASSERT_NE(first, nullptr);
    emf.Start();
    emf.VDxy(0, 0, 100);
    EXPECT_EQ(preview.picture(), first);
    EXPECT_TRUE(first->dump().contains("lineTo 38 0"));
    emf.NewPage();
    emf.EndDoc();
    EXPECT_NE(preview.picture(), first);
    EXPECT_TRUE(preview.picture()->dump().contains("lineTo 0 38"));
}

TEST_F(EMFPages, PictureClosesTheRecordingPage)
{
    bindPreview();
    EXPECT_EQ(emf.Picture(), nullptr);
    emf.Start();
    emf.HDxy(0, 0, 100);
    const auto picture = emf.Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(emf.hDC(), nullptr);
    EXPECT_EQ(emf.Picture(), picture);
    EXPECT_TRUE(picture->dump().contains("lineTo 38 0"));
    // Closed but not shown yet: the end of the document shows it.
    emf.EndDoc();
    EXPECT_EQ(preview.picture(), picture);
}

TEST_F(EMFPages, ClosingAPageRemovesItsClip)
{
    bindPrinter();
    emf.Start();
    ASSERT_TRUE(emf.Clip(0, 0, 10, 10));
    emf.NewPage();
    EXPECT_TRUE(sink.pages().front().dump().endsWith("setClip 0 0 10 10\nclearClip\n"));
}

TEST_F(EMFPages, UnboundSurfaceOpensTheSystemPrinterAtA4And400Dpi)
{
    PageCollector* made = nullptr;
    emf.setPrinterFactory(vorlix::test::collectingPrinter(made));
    emf.Start();
    ASSERT_NE(made, nullptr);
    emf.EndDoc();
    ASSERT_EQ(made->pages().size(), 1U);
    EXPECT_EQ(made->pages().front().dpi(), 400);
    EXPECT_EQ(made->pages().front().deviceSize(), QSize(3307, 4677));
    EXPECT_EQ(made->events().first(), jobStart());
}

TEST_F(EMFPages, EndingTheSurfaceDiscardsItsPageAndLogsLast)
{
    RenderLogCapture log;
    {
        EMF surface(std::make_shared<FakeTextMetrics>());
        surface.SetObject(sink, 0, 254, 1.0, 2100, 2970, 0, 0);
        surface.Start();
    }
    const QStringList lines = withoutHandles(log.lines());
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.first(), "EMF/Initialize>");
    EXPECT_EQ(lines.mid(lines.size() - 2),
        (QStringList { "EMF/DeleteEMF>hDC=N Handle=N", "EMF/Terminate>" }));
    EXPECT_TRUE(sink.pages().empty());
}

}
