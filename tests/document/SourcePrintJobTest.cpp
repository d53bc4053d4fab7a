#include "document/Source.h"
#include "render/PrinterObject.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/PdfCheck.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlix::document;
using vorlix::test::PictureBox;

// Counts the pages of a PDF with pdfinfo.
int pdfPages(const QString& path)
{
    vorlix::test::PdfCheck::expectSound(path);
    const QString out
        = QString::fromUtf8(vorlix::test::runTool(QStringLiteral("pdfinfo"), { path }).out);
    for (const QString& line : out.split(u'\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// Print jobs go into a PDF instead of a printer.
class SourcePrintJobTest : public vorlix::test::SourceFixture {
protected:
    SourcePrintJobTest() { vorlix::render::PrinterObject::current().setExportFile(pdf); }
    void load(const QString& text, SourceFile::FileTypes type)
    {
        source().document().setText(text);
        source().document().FileType = type;
    }
    // Made on first use, after the test has set the command line.
    Source& source()
    {
        if (!m_source)
            m_source = std::make_unique<Source>();
        return *m_source;
    }

    const QString pdf = env.root() + QStringLiteral("/out.pdf");

private:
    std::unique_ptr<Source> m_source;
};

QString recordsDocument(int records)
{
    QString text = QStringLiteral("<?xml ?><TZQ_002><face>numbers.fae</face><path>CurDir</path>");
    for (int i = 1; i <= records; ++i)
        text += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    return text + QStringLiteral("</TZQ_002>");
}

TEST_F(SourcePrintJobTest, CopiesGoIntoOneJobAndRangesLimitThePages)
{
    state.options().ArgCopies = 2;
    state.options().ArgPages = QStringLiteral("2,3");
    file(QStringLiteral("numbers.fae"), QStringLiteral("piece;\r\ns,100,100,$n;\r\n"));
    load(recordsDocument(3), SourceFile::FileTypes::DataDocument);
    vorlix::test::LogCapture log;
    ASSERT_TRUE(source().DocPrint());
    EXPECT_TRUE(source().merged().fPrCpOn);
    EXPECT_EQ(source().merged().Page, 3);
    EXPECT_EQ(pdfPages(pdf), 4);
    EXPECT_EQ(log.linesStartingWith(QStringLiteral("Source/PrintGo>")),
        QStringList({ "Source/PrintGo>fPrCpOn=True", "Source/PrintGo>DeleteDC=0" }));
}

// The page numbers a PDF shows, one line of text per page.
QStringList pdfTexts(const QString& path)
{
    QStringList pages
        = QString::fromUtf8(vorlix::test::runTool(QStringLiteral("pdftotext"),
                                { QStringLiteral("-layout"), path, QStringLiteral("-") })
                                .out)
              .split(u'\f');
    for (QString& page : pages)
        page = page.simplified();
    pages.removeAll(QString());
    return pages;
}

// Continuation pages are pages like any other: the page count, the range and the copies count
// them.
TEST_F(SourcePrintJobTest, RangesAndCopiesCountContinuationPages)
{
    struct Case {
        const char* pages;
        int copies;
        QStringList printed;
    };
    const Case cases[] = {
        { "", 1, { "1 1/3", "2 2/3", "3 3/3", "4 1/1" } },
        { "2,3", 2, { "2 2/3", "3 3/3", "2 2/3", "3 3/3" } },
        { "3,4", 1, { "3 3/3", "4 1/1" } },
    };
    file(QStringLiteral("rows.fae"),
        QStringLiteral("piece;\r\ns,100,100,$\"System/sheet\";"
                       "s,300,100,$\"System/page\"+\"/\"+$\"System/pages\";\r\n"
                       "rows,item,2,50;\r\nendrows;\r\n"));
    const QString document = QStringLiteral(
        "<?xml ?><TZQ_002><face>rows.fae</face><path>CurDir</path><piece><item>a</item>"
        "<item>b</item><item>c</item><item>d</item><item>e</item></piece><piece><item>f</item></"
        "piece></TZQ_002>");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pages);
        state.options().ArgPages = QString::fromLatin1(c.pages);
        state.options().ArgCopies = c.copies;
        Source ranged;
        ranged.document().setText(document);
        ranged.document().FileType = SourceFile::FileTypes::DataDocument;
        ASSERT_TRUE(ranged.DocPrint());
        EXPECT_EQ(ranged.merged().Page, 4);
        EXPECT_EQ(pdfTexts(pdf), c.printed);
    }
}

// "Every page" has no upper bound: a document past ten thousand pages prints whole, and a range
// that reaches past the old limit still limits.
TEST_F(SourcePrintJobTest, EveryPageOfALongDocumentAndRangesBeyondTenThousand)
{
#if defined(__SANITIZE_ADDRESS__)
    // Ten thousand pages interpreted and written under AddressSanitizer take minutes.
    GTEST_SKIP() << "ten thousand PDF pages are too slow under AddressSanitizer";
#endif
    file(QStringLiteral("numbers.fae"), QStringLiteral("piece;\r\ns,100,100,$n;\r\n"));
    const QString records = recordsDocument(10001);
    load(records, SourceFile::FileTypes::DataDocument);
    ASSERT_TRUE(source().DocPrint());
    EXPECT_EQ(source().merged().Page, 10001);
    EXPECT_EQ(pdfPages(pdf), 10001);

    state.options().ArgPages = QStringLiteral("9999,10001");
    Source ranged;
    ranged.document().setText(records);
    ranged.document().FileType = SourceFile::FileTypes::DataDocument;
    ASSERT_TRUE(ranged.DocPrint());
    EXPECT_EQ(pdfPages(pdf), 3);
}

TEST_F(SourcePrintJobTest, InterpreterErrorStopsFurtherCopies)
{
    state.options().ArgCopies = 3;
    load(QStringLiteral("h,1,x,1;s,100,100,\"after\";out;"), SourceFile::FileTypes::FaceProgram);
    EXPECT_EQ(source().DocPrint().status, JobOutcome::Status::InterpreterProblem);
    EXPECT_FALSE(source().merged().fPrCpOn);
    // The page with its diagnostics is still written, once.
    EXPECT_EQ(pdfPages(pdf), 1);
}

// The run's outcome names what happened, the first problem with the file it concerns, and the
// pages the output took.
TEST_F(SourcePrintJobTest, TheOutcomeTellsWhatTheRunCameTo)
{
    using Status = JobOutcome::Status;
    struct Case {
        const char* name;
        const char* face;
        bool unwritableOutput;
        bool cancel;
        Status status;
        std::int32_t pages;
        bool failedStatement;
        bool outputFailed;
    };
    const Case cases[] = {
        { "printed", "s,1,1,\"a\";out;s,1,1,\"b\";", false, false, Status::Printed, 2, false,
            false },
        { "interpreter error", "h,1,x,1;s,100,100,\"after\";", false, false,
            Status::InterpreterProblem, 1, true, false },
        { "output refused", "s,1,1,\"a\";", true, false, Status::OutputFailed, 0, false, true },
        { "cancelled", "s,1,1,\"a\";", false, true, Status::Cancelled, 0, false, false },
    };
    const QString face = env.root() + QStringLiteral("/face.fae");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.options().RunMode
            = c.cancel ? vorlix::shell::RunModes::Window : vorlix::shell::RunModes::Print;
        const QString target
            = c.unwritableOutput ? env.root() + QStringLiteral("/gone/out.pdf") : pdf;
        vorlix::render::PrinterObject::current().setExportFile(target);
        Source run;
        run.document().setFileName(face);
        run.document().setText(QString::fromUtf8(c.face));
        run.document().FileType = SourceFile::FileTypes::FaceProgram;
        run.printJob().setPrintDialog([&](PrinterSettings&, std::int32_t) { return !c.cancel; });
        const JobOutcome outcome = run.DocPrint();
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(static_cast<bool>(outcome), c.status == Status::Printed);
        EXPECT_EQ(outcome.pages, c.pages);
        EXPECT_EQ(outcome.jobId, 0);
        EXPECT_EQ(outcome.report.fError, c.failedStatement);
        EXPECT_EQ(outcome.outputFailed, c.outputFailed);
        if (c.failedStatement) {
            EXPECT_EQ(outcome.file, face);
        }
        if (c.outputFailed) {
            EXPECT_EQ(outcome.file, target);
            EXPECT_EQ(outcome.outputProblem(QStringLiteral("out.pdf")),
                QStringLiteral("out.pdf: 書き込めませんでした (No such file or directory)"));
        } else {
            EXPECT_EQ(outcome.outputProblem(QStringLiteral("out.pdf")), QString());
        }
    }
}

TEST_F(SourcePrintJobTest, NothingIsPrintedWithoutAMergeOrAPrinter)
{
    EXPECT_FALSE(source().printJob().PrintGo());
    EXPECT_FALSE(QFile::exists(pdf));
    load(QStringLiteral("s,1,1,\"a\";"), SourceFile::FileTypes::FaceProgram);
    vorlix::render::PrinterObject::current().setExportFile(QString());
    EXPECT_EQ(source().DocPrint().status, JobOutcome::Status::NoPrinter);
}

// In the window the printer dialog chooses; a cancel prints nothing, and a new paper shows page 1
// again in the preview before the job prints on it.
TEST_F(SourcePrintJobTest, ThePrinterDialogChoosesPaperRangeAndCopies)
{
    state.options().RunMode = vorlix::shell::RunModes::Window;
    PictureBox box;
    source().SetObject(nullptr, &box);
    file(QStringLiteral("numbers.fae"), QStringLiteral("piece;\r\ns,100,100,$n;\r\n"));
    load(recordsDocument(3), SourceFile::FileTypes::DataDocument);
    std::vector<std::int32_t> offered;
    bool confirm = false;
    source().printJob().setPrintDialog([&](PrinterSettings& printer, std::int32_t pages) {
        offered.push_back(pages);
        printer.Orientation = 2;
        printer.FromPage = 3;
        printer.ToPage = 3;
        printer.Copies = 2;
        return confirm;
    });
    EXPECT_FALSE(source().DocPrint());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(box.pictures, 0);
    // A cancelled dialog chose nothing: a paper switch still holds for this run only.
    source().printer().fRunOrientation = true;
    EXPECT_FALSE(source().DocPrint());
    EXPECT_TRUE(source().printer().fRunOrientation);
    confirm = true;
    source().printer().Orientation = 1;
    EXPECT_TRUE(source().DocPrint());
    EXPECT_FALSE(source().printer().fRunOrientation);
    EXPECT_EQ(offered, (std::vector<std::int32_t> { 3, 3, 3 }));
    EXPECT_EQ(box.pictures, 1);
    EXPECT_NEAR(box.boxWidth, 2970 * 5.67, 0.01);
    EXPECT_EQ(pdfPages(pdf), 2);
}

// A printer chosen in the dialog that is gone when the job starts prints nothing and says so;
// the paper chosen with a printer that is there goes to the printer object.
TEST_F(SourcePrintJobTest, APrinterGoneSinceTheDialogPrintsNothing)
{
    state.options().RunMode = vorlix::shell::RunModes::Window;
    vorlix::render::PrinterObject::current().setExportFile(QString());
    load(QStringLiteral("s,1,1,\"a\";"), SourceFile::FileTypes::FaceProgram);
    QString chosen = QStringLiteral("Removed Laser");
    source().printJob().setPrintDialog([&](PrinterSettings& printer, std::int32_t) {
        printer.DeviceName = chosen;
        return true;
    });
    vorlix::test::MessageRecorder messages;
    EXPECT_EQ(source().DocPrint().status, JobOutcome::Status::NoPrinter);
    chosen.clear();
    EXPECT_FALSE(source().DocPrint());
    ASSERT_EQ(messages.prompts.size(), 2u);
    EXPECT_EQ(messages.prompts[0].text, QStringLiteral("Removed Laser: プリンタが見つかりません"));
    EXPECT_EQ(messages.prompts[1].text, QStringLiteral("プリンタがありません"));
}

}
