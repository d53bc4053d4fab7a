#include "document/PagePipeline.h"
#include "document/PagedDocument.h"
#include "document/Source.h"
#include "lang/DControl.h"
#include "render/PageCollector.h"
#include "render/PageRecord.h"
#include "render/PrinterObject.h"
#include "shell/DeferredOutput.h"
#include "tests/document/SourceTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/PagedDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <semaphore>
#include <thread>

namespace {

using namespace vorlix::document;
using vorlix::lang::DControl;
using vorlix::render::PageCollector;

using vorlix::test::pagedDocument;

// Puts the process's thread count back after a test that chose one.
struct ThreadCountGuard {
    ~ThreadCountGuard() { PagePipeline::setThreadCount(0); }
};

// One job through the pipeline onto a page collector, as the print job drives it.
struct PipelineRun {
    PageCollector job;
    DControl control;
    QStringList log;

    // The document as text or kept packed by its owner.
    template <typename Document>
    PipelineRun(const Document& document, int threads, std::int32_t from = 1,
        std::int32_t to = PrinterSettings::LastPage)
    {
        vorlix::test::LogCapture capture;
        control.SetDoc(document);
        const PagePipeline pipeline(PagePipeline::Binding {}, threads);
        pipeline.bind(control, job);
        pipeline.PagePrint(control, job, from, to);
        // Handles stand for objects as the platform numbers them: only their order is the job's.
        for (QString line : capture.lines())
            log << line.replace(QRegularExpression(QStringLiteral("=\\d+")), QStringLiteral("=#"));
    }

    [[nodiscard]] QStringList dumps() const
    {
        QStringList all;
        for (const auto& page : job.pages())
            all << page.dump();
        return all;
    }
};

QString numberedPages(int count, QStringList* pages = nullptr)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << QStringLiteral("s,100,%1,\"頁 %2\";h,100,%3,%4;r,%5,900,%6;")
                    .arg(100 + i % 40 * 50)
                    .arg(i)
                    .arg(300 + i % 7)
                    .arg(500 + i % 300)
                    .arg(300 + i % 11 * 20)
                    .arg(20 + i % 5);
    if (pages)
        *pages = list;
    return pagedDocument(QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;ps,1,2,0,0;"), list);
}

// The job sees the same calls with the same pages, and the log reads the same, whatever the
// number of workers, and the same as the interpreter's own PagePrint on one thread.
TEST(PagePipeline, PagesCallsAndLogDoNotDependOnTheThreadCount)
{
    const QString document = numberedPages(40);
    const PipelineRun one(document, 1);
    ASSERT_EQ(one.job.pages().size(), 40u);
    EXPECT_EQ(one.job.events().first(),
        QStringLiteral("startDoc ") + QCoreApplication::applicationName());
    EXPECT_EQ(one.job.events().last(), u"endDoc");
    EXPECT_EQ(one.job.events().count(QStringLiteral("playPage")), 40);
    for (const int threads : { 2, 3, 8 }) {
        const PipelineRun many(document, threads);
        EXPECT_EQ(many.dumps(), one.dumps()) << threads;
        EXPECT_EQ(many.job.events(), one.job.events()) << threads;
        EXPECT_EQ(many.job.playRects(), one.job.playRects()) << threads;
        EXPECT_EQ(many.log, one.log) << threads;
    }

    PageCollector direct;
    DControl control;
    control.SetDoc(document);
    control.SetObject(direct, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.PagePrint(1, 40);
    QStringList directDumps;
    for (const auto& page : direct.pages())
        directDumps << page.dump();
    EXPECT_EQ(directDumps, one.dumps());
    EXPECT_EQ(direct.events(), one.job.events());
}

// A document the merge keeps packed renders page for page as its text does, on any number of
// threads, its pages spread over several packed blocks.
TEST(PagePipeline, PackedDocumentRendersAsItsText)
{
    QStringList pages;
    const QString text = numberedPages(1500, &pages);
    auto packed = std::make_shared<PagedDocument>();
    const QString head = QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;ps,1,2,0,0;");
    std::vector<qsizetype> starts { 1 };
    qsizetype size = head.size();
    packed->append(head);
    for (const QString& page : pages) {
        starts.push_back(size + 1);
        packed->append(page);
        size += page.size();
    }
    packed->append(u" ");
    packed->finish(starts);
    ASSERT_EQ(packed->text(), text);
    const std::shared_ptr<const vorlix::lang::PagedText> document = packed;
    const PipelineRun fromText(text, 2, 1000, 1500);
    for (const int threads : { 1, 3 }) {
        const PipelineRun fromPacked(document, threads, 1000, 1500);
        EXPECT_EQ(fromPacked.dumps(), fromText.dumps()) << threads;
        EXPECT_EQ(fromPacked.job.events(), fromText.job.events()) << threads;
        EXPECT_EQ(fromPacked.log, fromText.log) << threads;
    }
    EXPECT_EQ(fromText.job.pages().size(), 501u);
    EXPECT_GT(text.size(), 70000);
}

// Hands the pages to a packed document the way the merge does, on a thread of its own, a page at
// a time: each page complete once the next has started.
class GrowingDocument {
public:
    GrowingDocument(const QString& head, QStringList pages)
        : m_document(std::make_shared<PagedDocument>())
        , m_writer([this, head, pages = std::move(pages)] { write(head, pages); })
    {
    }
    ~GrowingDocument() { m_writer.join(); }
    GrowingDocument(const GrowingDocument&) = delete;
    GrowingDocument& operator=(const GrowingDocument&) = delete;

    [[nodiscard]] std::shared_ptr<const vorlix::lang::PagedText> document() const
    {
        return m_document;
    }
    // Lets the merge end; until then it stops before its last page.
    void release() { m_release.release(); }

private:
    void write(const QString& head, const QStringList& pages)
    {
        vorlix::test::writeAsTheMerge(*m_document, head, pages, [&](qsizetype i) {
            if (i + 1 == pages.size())
                m_release.acquire();
        });
    }

    std::shared_ptr<PagedDocument> m_document;
    std::binary_semaphore m_release { 0 };
    std::thread m_writer;
};

// The pages of a document still being merged come out as those of the whole document, at any
// number of threads and for any range, while the merge holds back its last page until the
// workers have started: the range's end is only known once the merge has ended.
TEST(PagePipeline, AGrowingDocumentRendersAsTheWholeOne)
{
    const QString head = QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;ps,1,2,0,0;");
    QStringList pages;
    const QString text = numberedPages(60, &pages);
    struct Case {
        std::int32_t from, to;
    } cases[] = { { 1, PrinterSettings::LastPage }, { 7, 33 }, { 70, 3 }, { 58, 2 }, { 0, 99 } };
    for (const Case& c : cases) {
        const PipelineRun whole(text, 2, c.from, c.to);
        for (const int threads : { 1, 2, 3, 8 }) {
            GrowingDocument growing(head, pages);
            std::thread ending([&growing] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                growing.release();
            });
            const PipelineRun run(growing.document(), threads, c.from, c.to);
            ending.join();
            EXPECT_EQ(run.dumps(), whole.dumps()) << c.from << "," << c.to << " " << threads;
            EXPECT_EQ(run.job.events(), whole.job.events()) << threads;
            EXPECT_EQ(run.log, whole.log) << threads;
        }
    }
}

// While the gate is closed nothing reaches the job or the log, though the workers render ahead;
// a gate that refuses drops the job without a trace, one that opens lets it run as without one.
TEST(PagePipeline, NothingIsWrittenBeforeTheGateOpens)
{
    QStringList pages;
    const QString text = numberedPages(30, &pages);
    const PipelineRun plain(text, 3);
    for (const bool open : { false, true }) {
        vorlix::test::LogCapture capture;
        PageCollector job;
        DControl control;
        control.SetDoc(text);
        const PagePipeline pipeline(PagePipeline::Binding {}, 3);
        pipeline.bind(control, job);
        std::size_t eventsAtTheGate = 99;
        const qsizetype linesBefore = capture.lines().size();
        qsizetype linesAtTheGate = 99;
        const bool written = pipeline.PagePrint(control, job, 1, PrinterSettings::LastPage, [&] {
            // The workers are free to render every page meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            eventsAtTheGate = static_cast<std::size_t>(job.events().size());
            linesAtTheGate = capture.lines().size();
            return open;
        });
        EXPECT_EQ(written, open);
        EXPECT_EQ(eventsAtTheGate, 0u);
        EXPECT_EQ(linesAtTheGate, linesBefore);
        if (open) {
            EXPECT_EQ(job.events(), plain.job.events());
            EXPECT_EQ(job.pages().size(), 30u);
        } else {
            EXPECT_TRUE(job.events().isEmpty());
            EXPECT_EQ(capture.lines().size(), linesBefore);
        }
    }
}

// A job that can still be thrown away writes its pages while the merge runs; only its log lines
// wait, in the output held on the writing thread, and come out in their place once the gate
// opens. A gate that refuses after pages went out returns false, so the job's owner can discard
// them, and nothing of the log leaks.
TEST(PagePipeline, AJobThatCanBeDiscardedWritesAheadWhileOnlyItsLinesWait)
{
    const QString text = numberedPages(40);
    const PipelineRun plain(text, 3);
    for (const bool open : { false, true }) {
        PageCollector job;
        DControl control;
        vorlix::test::LogCapture capture;
        control.SetDoc(text);
        const PagePipeline pipeline(PagePipeline::Binding {}, 3);
        pipeline.bind(control, job);
        vorlix::shell::DeferredOutput held;
        std::optional<vorlix::shell::DeferredOutput::Scope> holding(std::in_place, held);
        std::size_t pagesAtTheGate = 0;
        qsizetype linesAtTheGate = -1;
        const qsizetype linesBefore = capture.lines().size();
        const bool written = pipeline.PagePrint(
            control, job, 1, PrinterSettings::LastPage,
            [&] {
                pagesAtTheGate = static_cast<std::size_t>(job.pages().size());
                linesAtTheGate = capture.lines().size();
                holding.reset();
                if (open)
                    held.replay();
                return open;
            },
            [&] { return job.pages().size() >= 12; });
        holding.reset();
        EXPECT_EQ(written, open);
        EXPECT_GE(pagesAtTheGate, 12u);
        EXPECT_LT(pagesAtTheGate, 40u);
        EXPECT_EQ(linesAtTheGate, linesBefore);
        if (open) {
            EXPECT_EQ(job.events(), plain.job.events());
            QStringList log;
            for (QString line : capture.lines())
                log << line.replace(
                    QRegularExpression(QStringLiteral("=\\d+")), QStringLiteral("=#"));
            EXPECT_EQ(log, plain.log);
        } else {
            EXPECT_EQ(capture.lines().size(), linesBefore);
        }
    }
}

TEST(PagePipeline, RangesAreClampedAsPagePrintClampsThem)
{
    QStringList pages;
    const QString document = numberedPages(6, &pages);
    const PipelineRun all(document, 3);
    struct Case {
        std::int32_t from, to;
        std::size_t first, count;
    } cases[] = { { 2, 4, 1, 3 }, { 5, 2, 4, 1 }, { 0, 99, 0, 6 }, { 7, 3, 0, 3 },
        { 4, PrinterSettings::LastPage, 3, 3 } };
    for (const Case& c : cases) {
        const PipelineRun part(document, 3, c.from, c.to);
        EXPECT_EQ(part.dumps(), all.dumps().mid(c.first, c.count)) << c.from << "," << c.to;
        EXPECT_EQ(part.job.events().first().left(8), u"startDoc");
    }
}

// A page renders the same alone, in a range, or after any other page: what a page's statements
// leave behind (here the axes and the graph paper's colour) does not reach the next page.
TEST(PagePipeline, APageDoesNotInheritWhatThePageBeforeLeft)
{
    const QStringList pages { QStringLiteral("as,1,0,0,5;glc,255;a,1,1;ad,0,0,10,10;"),
        QStringLiteral("a,1,1;ad,0,0,10,10;gra,100,100,200,200;") };
    const QString document = pagedDocument(QStringLiteral("ps,1,1,0,0;"), pages);
    const PipelineRun both(document, 1);
    const PipelineRun second(document, 1, 2, 2);
    ASSERT_EQ(both.job.pages().size(), 2u);
    ASSERT_EQ(second.job.pages().size(), 1u);
    EXPECT_EQ(second.dumps().first(), both.dumps().last());
    EXPECT_NE(both.dumps().first(), both.dumps().last());

    // The preview's interpreter shows page 2 the same after page 1 as on its own.
    PageCollector preview;
    DControl control;
    control.SetDoc(document);
    control.SetObject(preview, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.PagePrint(1, 1);
    control.PagePrint(2, 2);
    ASSERT_EQ(preview.pages().size(), 2u);
    EXPECT_EQ(preview.pages().back().dump(), second.dumps().first());
}

// The first problem of the range is the one reported, whichever worker met it first.
TEST(PagePipeline, TheFirstProblemInPageOrderIsReported)
{
    QStringList pages;
    for (int i = 1; i <= 12; ++i)
        pages << (i == 5     ? QStringLiteral("h,1,x,1;")
                : i == 9     ? QStringLiteral("r,1,1,\"y\";")
                : i % 4 == 0 ? QStringLiteral("zz%1;").arg(i)
                             : QStringLiteral("s,100,100,\"%1\";").arg(i));
    const QString document = pagedDocument(QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;"), pages);
    DControl sequential;
    PageCollector direct;
    sequential.SetDoc(document);
    sequential.SetObject(direct, 0, 400, 1.0, 2100, 2970, 0, 0);
    sequential.PagePrint(1, 12);
    ASSERT_TRUE(sequential.report.fError);
    ASSERT_TRUE(sequential.report.fWarning);
    for (const int threads : { 1, 4 }) {
        const PipelineRun run(document, threads);
        EXPECT_EQ(run.job.pages().size(), 12u);
        EXPECT_TRUE(run.control.report.fError);
        EXPECT_TRUE(run.control.report.fWarning);
        EXPECT_EQ(run.control.report.ErrNumber, sequential.report.ErrNumber);
        EXPECT_EQ(run.control.report.ErrNumber, 13);
        EXPECT_EQ(run.control.report.sErrMsg, sequential.report.sErrMsg);
        EXPECT_EQ(run.control.report.statement, sequential.report.statement);
    }
}

TEST(PagePipeline, ThreadCountComesFromTheEnvironmentOrTheProcessors)
{
    ThreadCountGuard guard;
    qputenv("VORLIX_THREADS", "3");
    EXPECT_EQ(PagePipeline::threadCount(), 3);
    PagePipeline::setThreadCount(5);
    EXPECT_EQ(PagePipeline::threadCount(), 5);
    PagePipeline::setThreadCount(0);
    for (const char* unusable : { "0", "65", "two", "" }) {
        qputenv("VORLIX_THREADS", unusable);
        EXPECT_GE(PagePipeline::threadCount(), 1) << unusable;
        EXPECT_LE(PagePipeline::threadCount(), 64) << unusable;
    }
    qunsetenv("VORLIX_THREADS");
}

// Print jobs into a PDF: the file is the same, creation date apart, however many threads drew it.
class PagePipelineExport : public vorlix::test::SourceFixture {
protected:
    PagePipelineExport() { vorlix::render::PrinterObject::current().setExportFile(pdf); }

    QByteArray exportWith(int threads, const QString& input, bool beside = false)
    {
        PagePipeline::setThreadCount(threads);
        Source source;
        source.setMergeBesideJob(beside);
        source.document().setFileName(input);
        EXPECT_TRUE(source.document().InBuff(false));
        EXPECT_TRUE(source.DocPrint()) << input.toStdString();
        QFile file(pdf);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return withoutDate(file.readAll());
    }

    static QByteArray withoutDate(QByteArray bytes)
    {
        const qsizetype at = bytes.indexOf("/CreationDate (");
        if (at >= 0)
            bytes.remove(at, bytes.indexOf(')', at) - at + 1);
        return bytes;
    }

    void copySample(const QString& name) const
    {
        const QString from
            = qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/samples/") + name;
        ASSERT_TRUE(QFile::copy(from, env.root() + u'/' + name)) << name.toStdString();
    }

    const QString pdf = env.root() + QStringLiteral("/out.pdf");
    ThreadCountGuard guard;
};

TEST_F(PagePipelineExport, EverySampleComesOutTheSameWhateverTheThreadCount)
{
    for (const char* name : { "invoice.fae", "invoice.mnd", "delivery-slip.fae",
             "delivery-slip.mnd", "nouhinsho.fae", "nouhinsho.mnd", "sample-face.fae",
             "chart-curve.fae", "chart-linear.fae", "chart-semilog.fae", "logo.png" })
        copySample(QString::fromLatin1(name));
    for (const char* input : { "invoice.mnd", "delivery-slip.mnd", "nouhinsho.mnd",
             "sample-face.fae", "chart-curve.fae", "chart-linear.fae", "chart-semilog.fae" }) {
        const QString path = env.root() + u'/' + QString::fromLatin1(input);
        const QByteArray one = exportWith(1, path);
        ASSERT_FALSE(one.isEmpty()) << input;
        EXPECT_TRUE(one.startsWith("%PDF")) << input;
        EXPECT_EQ(exportWith(3, path), one) << input;
        // The merge running beside the pages changes nothing either.
        EXPECT_EQ(exportWith(2, path, true), one) << input;
    }
}

TEST_F(PagePipelineExport, AThousandPagesComeOutTheSameWhateverTheThreadCount)
{
    file(QStringLiteral("slip.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",10,0;fs,2,\"ＭＳ ゴシック\",14,1;ps,1,2,0,0;piece;\r\n"
                       "f,2;s,150,150,\"伝票 \"+$n;f,1;s,150,300,$name;h,150,350,1800;"
                       "pl,150,400,1800,0,1800,500,0,500,0,0;s,1500,150,$n;\r\n"));
    QString data = QStringLiteral("<?xml ?><TZQ_002><face>slip.fae</face><path>CurDir</path>");
    for (int i = 1; i <= 1000; ++i)
        data += QStringLiteral("<piece><n>%1</n><name>お客様 %2 様</name></piece>")
                    .arg(i)
                    .arg(QChar(0x3042 + i % 80));
    const QString input = file(QStringLiteral("slips.mnd"), data + QStringLiteral("</TZQ_002>"));
    const QByteArray one = exportWith(1, input);
    EXPECT_EQ(one.count("/Type /Page") - one.count("/Type /Pages"), 1000);
    EXPECT_EQ(exportWith(2, input), one);
    EXPECT_EQ(exportWith(4, input), one);
    for (const int threads : { 1, 2, 3, 8 })
        EXPECT_EQ(exportWith(threads, input, true), one) << threads;
}

// The merge beside the pages logs what the merge before the pages logged, in the same order.
TEST_F(PagePipelineExport, TheLogReadsTheSameWithTheMergeBesideThePages)
{
    file(QStringLiteral("slip.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",10,0;piece;\r\ns,150,150,$n;\r\n"));
    QString data = QStringLiteral("<?xml ?><TZQ_002><face>slip.fae</face><path>CurDir</path>");
    for (int i = 1; i <= 300; ++i)
        data += QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    const QString input = file(QStringLiteral("slips.mnd"), data + QStringLiteral("</TZQ_002>"));
    QStringList logs[2];
    for (const bool beside : { false, true }) {
        vorlix::test::LogCapture capture;
        exportWith(3, input, beside);
        for (QString line : capture.lines()) {
            if (!line.startsWith(u"Vorlix/Date") && !line.contains(u"Time"))
                logs[beside] << line.replace(
                    QRegularExpression(QStringLiteral("=\\d+")), QStringLiteral("=#"));
        }
    }
    EXPECT_EQ(logs[1], logs[0]);
    EXPECT_TRUE(logs[0].contains(QStringLiteral("Source/Mergeup>fMaScOn=True")));
    EXPECT_LT(logs[0].indexOf(QStringLiteral("Source/Mergeup>fMaScOn=True")),
        logs[0].indexOf(QStringLiteral("EMF/PrinterOpen>")));
}

// A merge that fails prints nothing, beside the pages as before them: the file already at the
// target stays as it was, and the log ends the merge as it always did.
TEST_F(PagePipelineExport, AFailedMergeWritesNothing)
{
    file(QStringLiteral("strict.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",10,0;course,0;piece;\r\ns,150,150,$n;\r\n"));
    QString data = QStringLiteral("<?xml ?><TZQ_002><face>strict.fae</face><path>CurDir</path>");
    for (int i = 1; i <= 400; ++i)
        data += i == 350 ? QStringLiteral("<piece><m>x</m></piece>")
                         : QStringLiteral("<piece><n>%1</n></piece>").arg(i);
    const QString input = file(QStringLiteral("strict.mnd"), data + QStringLiteral("</TZQ_002>"));
    QStringList logs[2];
    for (const bool beside : { false, true }) {
        for (const int threads : { 1, 3 }) {
            file(QStringLiteral("out.pdf"), QStringLiteral("kept"));
            PagePipeline::setThreadCount(threads);
            vorlix::test::LogCapture capture;
            {
                Source source;
                source.setMergeBesideJob(beside);
                source.document().setFileName(input);
                ASSERT_TRUE(source.document().InBuff(false));
                const JobOutcome outcome = source.DocPrint();
                EXPECT_EQ(outcome.status, JobOutcome::Status::NotMerged);
                EXPECT_FALSE(source.merged().fMaScOn);
                EXPECT_FALSE(source.merged().fPrCpOn);
                EXPECT_FALSE(outcome.outputFailed);
                EXPECT_TRUE(source.merge().report().fError);
            }
            QFile kept(pdf);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), QByteArray("kept")) << beside << threads;
            EXPECT_EQ(QDir(env.root())
                          .entryList({ QStringLiteral("*.part") }, QDir::Files | QDir::Hidden),
                QStringList());
            logs[beside] = capture.lines();
        }
    }
    EXPECT_EQ(logs[1].filter(QStringLiteral("EMF/PrinterOpen>")), QStringList());
    EXPECT_EQ(logs[1].filter(QStringLiteral("Source/PrintGo>")), QStringList());
    EXPECT_TRUE(logs[1].contains(QStringLiteral("Source/Mergeup>Mergで致命的なエラー")));
    logs[0].removeIf([](const QString& l) { return l.contains(u"Date") || l.contains(u"Time"); });
    logs[1].removeIf([](const QString& l) { return l.contains(u"Date") || l.contains(u"Time"); });
    EXPECT_EQ(logs[1], logs[0]);
}

}
