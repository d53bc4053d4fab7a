#include "RenderTestSupport.h"

#include "render/FileSink.h"
#include "render/OwnPrintJob.h"
#include "tests/support/PdfCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlix;
using namespace vorlix::render;
using vorlix::test::RenderLogCapture;

namespace {

// Output of a poppler tool run on a file; fails the test when the tool cannot run.
QString popplerOutput(const QString& tool, const QStringList& arguments)
{
    for (const QString& argument : arguments)
        if (argument.endsWith(QStringLiteral(".pdf")))
            vorlix::test::PdfCheck::expectSound(argument);
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " did not run (poppler-utils is needed): "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Draws a small two-page document with real fonts onto a print target.
void printTwoPages(PageOutput& target, int dpi)
{
    EMF emf;
    emf.setDocumentName(QStringLiteral("請求書"));
    emf.SetObject(target, 0, dpi, 1.0, 2100, 2970, 0, 0);
    emf.Start();
    QString gothic = QStringLiteral("ＭＳ ゴシック");
    emf.setFontType(2, gothic, 12, 1, 0);
    emf.XY(200, 200);
    QString title = QStringLiteral("合計金額 Total");
    emf.LPK(title, 0);
    emf.FontNo(1);
    emf.XY(200, 400);
    QString body = QStringLiteral("お支払い期限は月末です。");
    emf.PrintLn(body, 0);
    std::int32_t red = 12;
    emf.Box(1000, 1000, 500, 300, red);
    emf.NewPage();
    emf.Start();
    emf.XY(200, 200);
    QString second = QStringLiteral("二ページ目 Page2");
    emf.LPK(second, 0);
    emf.NewPage();
    emf.EndDoc();
}

TEST(FileSink, PdfHoldsJapaneseTextWithEmbeddedFonts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    {
        FileSink pdf(FileSink::Format::Pdf, path);
        printTwoPages(pdf, 400);
        EXPECT_TRUE(pdf.finish());
        EXPECT_EQ(pdf.pagesWritten(), 2);
        EXPECT_EQ(pdf.files(), QStringList { path });
    }
    const QString text = popplerOutput("pdftotext", { path, "-" });
    EXPECT_TRUE(text.contains("合計金額 Total")) << text.toStdString();
    EXPECT_TRUE(text.contains("お支払い期限は月末です。")) << text.toStdString();
    EXPECT_TRUE(text.contains("二ページ目 Page2")) << text.toStdString();
    EXPECT_LT(text.indexOf("合計金額"), text.indexOf("二ページ目"));

    const QStringList fonts
        = popplerOutput("pdffonts", { path }).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(fonts.size(), 2);
    for (const QString& font : fonts) {
        // Embedded as subsets: a six-letter tag before the name.
        EXPECT_TRUE(font.mid(6).startsWith("+IPA")) << font.toStdString();
        EXPECT_EQ(font.simplified().section(u' ', 4, 4), "yes") << font.toStdString();
    }
    const QString info = popplerOutput("pdfinfo", { path });
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n")));
    EXPECT_TRUE(info.contains("(A4)")) << info.toStdString();
    EXPECT_TRUE(info.contains("請求書"));
}

TEST(FileSink, PdfPagesMatchThePngPages)
{
    QTemporaryDir dir;
    const QString pdfPath = dir.filePath("page.pdf");
    {
        FileSink pdf(FileSink::Format::Pdf, pdfPath);
        printTwoPages(pdf, 100);
        ASSERT_TRUE(pdf.finish());
    }
    popplerOutput(
        "pdftoppm", { "-r", "100", "-f", "1", "-l", "1", "-png", pdfPath, dir.filePath("ppm") });
    const QImage fromPdf(dir.filePath("ppm-1.png"));
    ASSERT_FALSE(fromPdf.isNull());
    // The red box: 100 to 150 mm across, 100 to 130 mm down.
    const QPoint inside(qRound(125 / 25.4 * 100), qRound(115 / 25.4 * 100));
    EXPECT_EQ(fromPdf.pixel(inside), qRgb(255, 0, 0));
    EXPECT_EQ(fromPdf.pixel(inside + QPoint(0, 100)), qRgb(255, 255, 255));
}

TEST(FileSink, PngWritesOneImagePerPageAtTheJobResolution)
{
    QTemporaryDir dir;
    FileSink png(FileSink::Format::Png, dir.filePath("sheet.png"));
    printTwoPages(png, 100);
    ASSERT_TRUE(png.finish());
    ASSERT_EQ(
        png.files(), (QStringList { dir.filePath("sheet-1.png"), dir.filePath("sheet-2.png") }));
    const QImage first(png.files().at(0));
    ASSERT_FALSE(first.isNull());
    // 21000 / 14.4 x 0.567 and 29700 / 14.4 x 0.567 pixels.
    EXPECT_EQ(first.size(), QSize(827, 1169));
    EXPECT_NEAR(first.dotsPerMeterX(), 3937, 1);
    EXPECT_EQ(first.pixel(qRound(125 / 25.4 * 100), qRound(115 / 25.4 * 100)), qRgb(255, 0, 0));
    const QImage second(png.files().at(1));
    EXPECT_EQ(
        second.pixel(qRound(125 / 25.4 * 100), qRound(115 / 25.4 * 100)), qRgb(255, 255, 255));
}

TEST(FileSink, SvgAndNamePatterns)
{
    QTemporaryDir dir;
    FileSink svg(FileSink::Format::Svg, dir.filePath("p%1-of-doc.svg"));
    printTwoPages(svg, 100);
    ASSERT_TRUE(svg.finish());
    ASSERT_EQ(svg.files(),
        (QStringList { dir.filePath("p1-of-doc.svg"), dir.filePath("p2-of-doc.svg") }));
    QFile file(svg.files().first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(content.contains("<svg"));
    EXPECT_TRUE(content.contains("合計金額"));
}

TEST(FileSink, FormatsByExtension)
{
    EXPECT_EQ(FileSink::formatOf("a/b.PDF"), FileSink::Format::Pdf);
    EXPECT_EQ(FileSink::formatOf("b.png"), FileSink::Format::Png);
    EXPECT_EQ(FileSink::formatOf("b.svg"), FileSink::Format::Svg);
    EXPECT_EQ(FileSink::formatOf("b.tif"), std::nullopt);
    EXPECT_EQ(FileSink::formatOf("pdf"), std::nullopt);
}

TEST(FileSink, UnwritableOutputIsReportedAndLogged)
{
    RenderLogCapture log;
    QTemporaryDir dir;
    FileSink png(FileSink::Format::Png, dir.filePath("missing/folder/out.png"));
    EMF emf(std::make_shared<FakeTextMetrics>());
    emf.SetObject(png, 0, 50, 1.0, 2100, 2970, 0, 0);
    emf.Start();
    emf.EndDoc();
    EXPECT_TRUE(png.failed());
    EXPECT_FALSE(png.finish());
    EXPECT_TRUE(log.lines().contains("EMF/DispEMF>PlayEMF=0"));
}

// Output is written under temporary names and takes the target's names only at a finish that
// found nothing wrong: a discarded job or one that ends without finishing leaves the file at the
// target as it was, and leaves nothing else behind.
TEST(FileSink, TheTargetIsReplacedOnlyByACompleteOutput)
{
    QTemporaryDir dir;
    const auto older = [&dir](const QString& name) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("older");
    };
    const auto content = [&dir](const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto entries = [&dir] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
    for (const auto format : { FileSink::Format::Pdf, FileSink::Format::Png }) {
        const QString name = format == FileSink::Format::Pdf ? QStringLiteral("out.pdf")
                                                             : QStringLiteral("out-1.png");
        const QString target = format == FileSink::Format::Pdf ? QStringLiteral("out.pdf")
                                                               : QStringLiteral("out.png");
        older(name);
        {
            FileSink discarded(format, dir.filePath(target));
            printTwoPages(discarded, 50);
            EXPECT_EQ(content(name), "older");
            EXPECT_EQ(entries().size(), format == FileSink::Format::Pdf ? 2 : 3);
            discarded.discard();
            EXPECT_TRUE(discarded.files().isEmpty());
        }
        EXPECT_EQ(entries(), QStringList { name });
        {
            FileSink unfinished(format, dir.filePath(target));
            printTwoPages(unfinished, 50);
        }
        EXPECT_EQ(content(name), "older");
        EXPECT_EQ(entries(), QStringList { name });
        FileSink finished(format, dir.filePath(target));
        printTwoPages(finished, 50);
        EXPECT_TRUE(finished.finish());
        EXPECT_NE(content(name), "older");
        EXPECT_EQ(entries().size(), format == FileSink::Format::Pdf ? 1 : 2);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
}

// A file that replaces another takes its permissions, and its owner and group where the process
// may (root may give it any); a new name gets the usual ones.
TEST(FileSink, AReplacedFileKeepsItsPermissionsAndOwner)
{
    const struct {
        const char* name;
        FileSink::Format format;
        FileSink::PdfEngine engine;
        const char* target;
        const char* written;
    } outputs[] = {
        { "pdf", FileSink::Format::Pdf, FileSink::PdfEngine::Own, "out.pdf", "out.pdf" },
        { "qt pdf", FileSink::Format::Pdf, FileSink::PdfEngine::Qt, "out.pdf", "out.pdf" },
        { "png", FileSink::Format::Png, FileSink::PdfEngine::Own, "out.png", "out-1.png" },
        { "svg", FileSink::Format::Svg, FileSink::PdfEngine::Own, "out.svg", "out-1.svg" },
    };
    const bool root = ::geteuid() == 0;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    // No mode: no file there before.
    const std::optional<mode_t> modes[] = { 0600, 0640, 0444, std::nullopt };
    for (const auto& output : outputs) {
        for (const auto& mode : modes) {
            SCOPED_TRACE(std::string(output.name) + " " + std::to_string(mode.value_or(0)));
            QTemporaryDir dir;
            const QByteArray written = QFile::encodeName(dir.filePath(output.written));
            if (mode) {
                QFile old(dir.filePath(output.written));
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write("older");
                old.close();
                ASSERT_EQ(::chmod(written.constData(), *mode), 0);
                if (root) {
                    ASSERT_EQ(::chown(written.constData(), 65534, 65534), 0);
                }
            }
            FileSink sink(output.format, dir.filePath(output.target), output.engine);
            printTwoPages(sink, 50);
            ASSERT_TRUE(sink.finish());
            struct stat status { };
            ASSERT_EQ(::stat(written.constData(), &status), 0);
            EXPECT_GT(status.st_size, 5);
            EXPECT_EQ(status.st_mode & 0777, mode.value_or(0666 & ~mask));
            const bool otherOwner = root && mode;
            EXPECT_EQ(status.st_uid, otherOwner ? 65534 : ::geteuid());
            EXPECT_EQ(status.st_gid, otherOwner ? 65534 : ::getegid());
        }
    }
}

// A surface nobody bound prints each job it ends as an output of its own, committed at the end.
TEST(OwnPrintJob, EveryJobAnUnboundSurfaceEndsIsCommittedOrSaysWhyNot)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QString folder; // where the outputs go; empty: no output at all
        int files; // committed files after two jobs
        const char* problem; // what failed() reports, empty when nothing
    };
    const Case cases[] = {
        { "two jobs, two files", dir.filePath("ok"), 2, "" },
        { "no printer", QString(), 0, "プリンタがありません" },
        { "output cannot be written", dir.filePath("missing/folder"), 0, "*" },
    };
    QDir().mkpath(dir.filePath("ok"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int made = 0;
        OwnPrintJob* own = nullptr;
        EMF emf;
        emf.setPrinterFactory([&]() -> std::unique_ptr<PageOutput> {
            auto job = std::make_unique<OwnPrintJob>([&]() -> std::unique_ptr<PrintOutput> {
                if (c.folder.isEmpty())
                    return nullptr;
                return std::make_unique<FileSink>(
                    FileSink::Format::Pdf, c.folder + QStringLiteral("/job-%1.pdf").arg(++made));
            });
            own = job.get();
            return job;
        });
        for (int job = 0; job < 2; ++job) {
            emf.Start();
            emf.XY(200, 200);
            QString text = QStringLiteral("控え %1").arg(job);
            emf.LPK(text, 0);
            emf.NewPage();
            emf.EndDoc();
        }
        ASSERT_NE(own, nullptr);
        if (*c.problem == '*')
            EXPECT_FALSE(own->problem().isEmpty());
        else
            EXPECT_EQ(own->problem(), QString::fromUtf8(c.problem));
        const QStringList files
            = c.folder.isEmpty() ? QStringList() : QDir(c.folder).entryList({ "*.pdf" });
        EXPECT_EQ(files.size(), c.files) << files.join(' ').toStdString();
        for (const QString& file : files)
            EXPECT_TRUE(popplerOutput("pdftotext", { QDir(c.folder).filePath(file), "-" })
                            .contains(QStringLiteral("控え")));
    }
}

}
