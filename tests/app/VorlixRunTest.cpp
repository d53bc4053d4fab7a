#include "tests/app/VorlixRun.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/MissingTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace vorlix::test;

TEST_F(VorlixRun, StartUpLogWithoutSettingsFile)
{
    const RunResult r = run({ QStringLiteral("-p"), QStringLiteral("a.fae") });
    // The first start registers the file type after the debug flag; the desktop's cache tools
    // it ran log their status in between, and only when they are installed.
    QStringList lines = r.logLines();
    lines.removeIf([](const QString& line) { return line.startsWith(u"Vorlix/RegisterShell>"); });
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines.mid(0, 6),
        QStringList({ "Vorlix/Main>!!START!!", "InitFAPI/Initialze>", "Vorlix/iniINIT>new ini file",
            "Vorlix/Main>DebugFlag=False", "Vorlix/Main>Mode=1", "  InputFile=a.fae" }));
    EXPECT_EQ(lines.last(), u"Vorlix/Main>!!END!!");
    EXPECT_TRUE(r.out.endsWith("\r\n"));
    // a.fae does not exist.
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("vorlix: "))) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(env.configHome() + QStringLiteral("/vorlix/vorlix.ini")));
}

TEST_F(VorlixRun, MergeWritesThePagedDocument)
{
    writeInvoice();
    const RunResult r = run({ QStringLiteral("-m=merged.txt"), QStringLiteral("bill.mnd") });
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray merged = readFileBytes(env.root() + QStringLiteral("/merged.txt"));
    EXPECT_TRUE(merged.startsWith("head,3,")) << merged.constData();
    EXPECT_TRUE(merged.endsWith(" \r\n\r\n") || merged.endsWith("\r\n"));
    const QString text = QString::fromUtf8(merged);
    EXPECT_TRUE(text.contains(QStringLiteral("株式会社アルファ")));
    EXPECT_TRUE(text.contains(QStringLiteral("#out1\r\n")));
    EXPECT_EQ(r.logLines().last(), u"Vorlix/Main>!!END!!");
}

TEST_F(VorlixRun, ExportWritesAPdfWithOnePagePerRecord)
{
    writeInvoice();
    const RunResult r = run({ QStringLiteral("-e=請求 書.pdf"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString pdf = env.root() + QStringLiteral("/請求 書.pdf");
    EXPECT_EQ(pdfPages(pdf), 3);
    const QString text = tool(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    EXPECT_TRUE(text.contains(QStringLiteral("ベータ商事"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3000")));
}

TEST_F(VorlixRun, ExportHonoursPageRangeAndCopies)
{
    writeInvoice();
    const RunResult r = run({ QStringLiteral("-e=part.pdf"), QStringLiteral("-s=2,3"),
        QStringLiteral("-n=2"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(env.root() + QStringLiteral("/part.pdf")), 4);
    // A range beyond the document prints it all (copies outside 1 to 9999 are a usage error).
    const RunResult beyond = run(
        { QStringLiteral("-e=all.pdf"), QStringLiteral("-s=7,9"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(beyond.status, 0) << beyond.err.toStdString();
    EXPECT_EQ(pdfPages(env.root() + QStringLiteral("/all.pdf")), 3);
}

TEST_F(VorlixRun, ExportToPngWritesOneFilePerPage)
{
    writeInvoice();
    const RunResult r = run({ QStringLiteral("-e=page.png"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(QFileInfo::exists(env.root() + QStringLiteral("/page-%1.png").arg(i))) << i;
}

TEST_F(VorlixRun, FailuresGiveTheirExitStatus)
{
    writeInvoice();
    write(QStringLiteral("broken.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>bill.fae</face>\n"));
    QDir(env.root()).mkdir(QStringLiteral("folder.mnd"));
    struct Case {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        { { QStringLiteral("-e=x.pdf"), QStringLiteral("missing.mnd") }, 2, "missing.mnd" },
        { { QStringLiteral("-e=x.doc"), QStringLiteral("bill.mnd") }, 2, "x.doc" },
        { { QStringLiteral("-e=nowhere/x.pdf"), QStringLiteral("bill.mnd") }, 2, "nowhere/x.pdf" },
        { { QStringLiteral("-m=out.txt") }, 2, "" },
        { { QStringLiteral("-e=x.pdf"), QStringLiteral("folder.mnd") }, 1, "folder.mnd" },
        { { QStringLiteral("-m=out.txt"), QStringLiteral("broken.mnd") }, 1, "broken.mnd:" },
        { { QStringLiteral("-m=nowhere/out.txt"), QStringLiteral("bill.mnd") }, 1,
            "nowhere/out.txt" },
        { { QStringLiteral("-p"), QStringLiteral("bill.mnd") }, 1, "プリンタ" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const RunResult r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("vorlix: ")));
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(env.root() + QStringLiteral("/x.doc")));
}

TEST_F(VorlixRun, DataErrorNamesFileLineAndColumn)
{
    write(QStringLiteral("bad.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>bill.fae</face>\n<name>open\n</TZQ_002>\n"));
    const RunResult r = run({ QStringLiteral("-m=out.txt"), QStringLiteral("bad.mnd") });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QRegularExpression(QStringLiteral("vorlix: bad\\.mnd:\\d+:\\d+: "))))
        << r.err.toStdString();
}

TEST_F(VorlixRun, MissingFaceWritesTheFailurePageAndFails)
{
    write(QStringLiteral("lost.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>nowhere.fae</face>\n</TZQ_002>\n"));
    const RunResult r = run({ QStringLiteral("-m=out.txt"), QStringLiteral("lost.mnd") });
    EXPECT_EQ(r.status, 1);
    const QString merged
        = QString::fromUtf8(readFileBytes(env.root() + QStringLiteral("/out.txt")));
    EXPECT_TRUE(merged.contains(QStringLiteral("ァイルの読み込みが失敗しました")));
}

TEST_F(VorlixRun, InterpreterErrorStillWritesThePageAndFails)
{
    write(QStringLiteral("err.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\nh,100,x,100;\ns,100,300,\"after\";\n"));
    const RunResult r = run({ QStringLiteral("-e=err.pdf"), QStringLiteral("err.fae") });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(pdfPages(env.root() + QStringLiteral("/err.pdf")), 1);
    const QString text = tool(QStringLiteral("pdftotext"),
        { env.root() + QStringLiteral("/err.pdf"), QStringLiteral("-") });
    EXPECT_TRUE(text.contains(QStringLiteral("DControl/GoDoc/OnErr>13"))) << text.toStdString();
    // Standard error names the failure as the page does, at its line of the face.
    EXPECT_EQ(r.errLines(),
        QStringList({ QStringLiteral("vorlix: err.fae:2:1: h,100,x,100: 13:型が一致しません。") }));
}

// Every statement that failed or was stray gets one line with its place in the face, the record
// for a data document's page, the statement as merged and what went wrong: a statement of the head
// once, a page's statement once per record; the lines stop at twenty and the rest are counted.
// Statements dropped for a reference not found leave one line with their count, and one log line
// each.
TEST_F(VorlixRun, EveryProblemIsNamedByItsPlaceInTheFace)
{
    write(QStringLiteral("f.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\nh,1,x,1;\npiece;\ns,100,100,$name;\n"
                       "  v,1,$name,3;\nzz;\ns,1,$missing;\n"));
    write(QStringLiteral("two.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>f.fae</face>\n"
                       "<piece><name>A</name></piece>\n<piece><name>B</name></piece>\n"
                       "</TZQ_002>\n"));
    QString many = QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\n");
    for (int i = 0; i < 25; ++i)
        many += QStringLiteral("h,1,x,1;\n");
    write(QStringLiteral("many.fae"), many);
    // The face is found beside the data document, and named by its path.
    const QString face = env.root() + QStringLiteral("/f.fae");
    const QString dropped
        = QStringLiteral("vorlix: 2 statements dropped: %1:7:1 $missing not found").arg(face);
    const struct {
        const char* name;
        QStringList arguments;
        int status;
        QStringList lines;
    } cases[] = {
        { "records", { QStringLiteral("-e=two.pdf"), QStringLiteral("two.mnd") }, 1,
            { dropped, QStringLiteral("vorlix: %1:2:1: h,1,x,1: 13:型が一致しません。").arg(face),
                QStringLiteral("vorlix: %1:5:3: record 1: v,1,A,3: 13:型が一致しません。")
                    .arg(face),
                QStringLiteral("vorlix: %1:6:1: record 1: zz: 未定義のコマンド又はラベル")
                    .arg(face),
                QStringLiteral("vorlix: %1:5:3: record 2: v,1,B,3: 13:型が一致しません。")
                    .arg(face),
                QStringLiteral("vorlix: %1:6:1: record 2: zz: 未定義のコマンド又はラベル")
                    .arg(face) } },
        { "merged only", { QStringLiteral("-m=two.txt"), QStringLiteral("two.mnd") }, 0,
            { dropped } },
        { "twenty and the rest", { QStringLiteral("-e=many.pdf"), QStringLiteral("many.fae") }, 1,
            {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = run(c.arguments);
        EXPECT_EQ(r.status, c.status);
        if (c.lines.isEmpty()) {
            QStringList expected;
            for (int line = 2; line <= 21; ++line)
                expected << QStringLiteral("vorlix: many.fae:%1:1: h,1,x,1: 13:型が一致しません。")
                                .arg(line);
            expected << QStringLiteral("vorlix: 5 more statements with problems");
            EXPECT_EQ(r.errLines(), expected);
            continue;
        }
        EXPECT_EQ(r.errLines(), c.lines);
        EXPECT_EQ(r.logLines().filter(QStringLiteral("Vorlix/Replace>")),
            QStringList(
                { QStringLiteral("Vorlix/Replace>参照が見つからないので文を落とした:$missing 7:1"),
                    QStringLiteral(
                        "Vorlix/Replace>参照が見つからないので文を落とした:$missing 7:1") }));
    }
}

// A merge that fails writes no output: a file already at the target stays as it was, page series
// are not begun, no temporary file stays behind, and the failure is told as before.
TEST_F(VorlixRun, AFailedMergeLeavesTheTargetAsItWas)
{
    writeStrictBills();
    write(QStringLiteral("strict.pdf"), QStringLiteral("an older export"));
    for (const char* target : { "-e=strict.pdf", "-e=page.png", "-e=page.svg" }) {
        const RunResult r = run({ QString::fromLatin1(target), QStringLiteral("strict.mnd") });
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_TRUE(r.err.contains(QStringLiteral("strict.fae:"))) << r.err.toStdString();
        EXPECT_TRUE(r.logLines().contains(QStringLiteral("Source/Mergeup>Mergで致命的なエラー")));
        EXPECT_TRUE(r.logLines().filter(QStringLiteral("EMF/OpenEMF>")).isEmpty()) << target;
    }
    EXPECT_EQ(readFileBytes(env.root() + QStringLiteral("/strict.pdf")), "an older export");
    const QStringList left = QDir(env.root()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left.filter(QStringLiteral(".part")).isEmpty()) << left.join(u' ').toStdString();
    EXPECT_TRUE(left.filter(QStringLiteral("page")).isEmpty()) << left.join(u' ').toStdString();

    // The same document merged well replaces the older export in one step.
    write(QStringLiteral("strict.fae"),
        QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\npiece;\ns,200,200,$customer;\n"));
    const RunResult good = run({ QStringLiteral("-e=strict.pdf"), QStringLiteral("strict.mnd") });
    EXPECT_EQ(good.status, 0) << good.err.toStdString();
    EXPECT_EQ(pdfPages(env.root() + QStringLiteral("/strict.pdf")), 500);
}

// A limit of the program's own names itself on standard error, under the face that hit it.
TEST_F(VorlixRun, OwnLimitIsNamedOnStandardError)
{
    write(QStringLiteral("paper.fae"), QStringLiteral("gra,0,0,2000000000,100;\n"));
    write(QStringLiteral("paper.mnd"),
        QStringLiteral(
            "<?xml ?>\n<TZQ_002>\n<face>paper.fae</face>\n<path>CurDir</path>\n</TZQ_002>\n"));
    const RunResult r = run({ QStringLiteral("-e=paper.pdf"), QStringLiteral("paper.mnd") });
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral(
        "paper.fae:1:1: gra,0,0,2000000000,100: 6:方眼の線が上限の 1000000 本を超えました。")))
        << r.err.toStdString();
    EXPECT_EQ(pdfPages(env.root() + QStringLiteral("/paper.pdf")), 1);
}

// A picture file that is damaged is never passed over in silence, and standard error holds only
// the program's own lines: a PNG the loader cannot read fails its statement naming the file, with
// libpng's complaint in the debug log; a JPEG the loader reads while it reports damage (a file cut
// short, its missing part painted grey) is drawn with a warning on the page and in the log.
TEST_F(VorlixRun, DamagedPicturesAreNamedAndNeverSilent)
{
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    ASSERT_TRUE(image.save(env.root() + QStringLiteral("/good.png")));
    ASSERT_TRUE(image.save(env.root() + QStringLiteral("/good.jpg")));
    const QByteArray png = readFileBytes(env.root() + QStringLiteral("/good.png"));
    const QByteArray jpeg = readFileBytes(env.root() + QStringLiteral("/good.jpg"));
    QByteArray badCrc = png;
    const qsizetype idat = png.indexOf("IDAT");
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(png[i]); };
    const qsizetype idatLength = (qsizetype(byteAt(idat - 4)) << 24) | (byteAt(idat - 3) << 16)
        | (byteAt(idat - 2) << 8) | byteAt(idat - 1);
    const qsizetype crc = idat + 4 + idatLength;
    badCrc[crc] = static_cast<char>(badCrc[crc] ^ 0x5A);
    struct Case {
        const char* file;
        QByteArray bytes;
        int status;
        const char* err; // on standard error, after the statement's place and text
        const char* log; // a line of the debug log begins so
    };
    const Case cases[] = {
        { "cut.png", png.left(png.size() / 2), 1, "481:ピクチャが不正です。: cut.png (Read Error)",
            "Bitmap/load>libpng error: Read Error: cut.png" },
        { "crc.png", badCrc, 1, "481:ピクチャが不正です。: crc.png (IDAT: CRC error)",
            "Bitmap/load>libpng error: IDAT: CRC error" },
        { "signature.png", png.left(8), 1, "481:ピクチャが不正です。: signature.png (Read Error)",
            "Bitmap/load>libpng error" },
        { "empty.png", QByteArray(), 1, "481:ピクチャが不正です。: empty.png", nullptr },
        { "cut.jpg", jpeg.left(jpeg.size() * 2 / 3), 1, nullptr,
            "DControl/img>ピクチャが壊れています:cut.jpg: Corrupt JPEG data" },
        { "good.png", png, 0, nullptr, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = QString::fromLatin1(c.file);
        ASSERT_TRUE(writeFileBytes(env.root() + u'/' + file, c.bytes));
        write(QStringLiteral("face.fae"),
            QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;\nimg,100,100,\"%1\";\n").arg(file));
        const RunResult r = run({ QStringLiteral("-e=face.pdf"), QStringLiteral("face.fae") });
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        for (const QString& line : r.errLines())
            EXPECT_TRUE(line.startsWith(QStringLiteral("vorlix: "))) << line.toStdString();
        if (c.err) {
            EXPECT_TRUE(r.errLines().contains(
                QStringLiteral("vorlix: face.fae:2:1: img,100,100,\"%1\": ").arg(file)
                + QString::fromUtf8(c.err)))
                << r.err.toStdString();
        }
        if (c.log) {
            EXPECT_FALSE(r.logLines().filter(QString::fromUtf8(c.log)).isEmpty())
                << r.out.toStdString();
        }
        // A warning stands on the page beside the picture; a failure's page names the error.
        const QString text = tool(QStringLiteral("pdftotext"),
            { env.root() + QStringLiteral("/face.pdf"), QStringLiteral("-") });
        EXPECT_EQ(text.contains(QStringLiteral("ピクチャが壊れています")), c.status != 0 && !c.err)
            << text.toStdString();
    }
}

// Prints for real through a CUPS daemon of the test's own with a PDF queue.
TEST_F(VorlixRun, PrintsThroughCups)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "the private CUPS daemon needs root";
    const QString script
        = qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/scripts/cups-sandbox");
    // The daemon's filters run as the lp user: the folder must be reachable for them, which the
    // private temporary home is not.
    QTemporaryDir cupsDir(QDir::tempPath() + QStringLiteral("/vorlix-cups-XXXXXX"));
    ASSERT_TRUE(cupsDir.isValid());
    QFile::setPermissions(cupsDir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther);
    const QString dir = cupsDir.path();
    QProcess start;
    start.start(script, { QStringLiteral("start"), dir, QStringLiteral("VorlixTestPDF") });
    start.waitForFinished(60000);
    if (start.exitCode() == 3)
        VORLIX_SKIP_WITHOUT_TOOL(
            "cupsd cannot run here: " + start.readAllStandardError().toStdString());
    ASSERT_EQ(start.exitCode(), 0) << start.readAllStandardError().toStdString();
    writeInvoice();
    QProcessEnvironment cups;
    cups.insert(QStringLiteral("CUPS_SERVER"), dir + QStringLiteral("/cups.sock"));
    // A merge that fails submits nothing: the one PDF that arrives is the good job's.
    writeStrictBills();
    const RunResult failed = run(
        { QStringLiteral("-p"), QStringLiteral("-r=VorlixTestPDF"), QStringLiteral("strict.mnd") },
        cups);
    EXPECT_EQ(failed.status, 1) << failed.err.toStdString();
    const RunResult r = run({ QStringLiteral("-p"), QStringLiteral("-r=VorlixTestPDF"),
                                QStringLiteral("-n=2"), QStringLiteral("bill.mnd") },
        cups);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    // The job is done when the queue is empty and the PDF that cups-pdf writes stops growing.
    QString arrived;
    qint64 lastSize = -1;
    for (int i = 0; i < 600 && arrived.isEmpty(); ++i) {
        QThread::msleep(200);
        QProcess queue;
        QProcessEnvironment queueEnv = QProcessEnvironment::systemEnvironment();
        queueEnv.insert(QStringLiteral("CUPS_SERVER"), dir + QStringLiteral("/cups.sock"));
        queue.setProcessEnvironment(queueEnv);
        queue.start(QStringLiteral("lpstat"), { QStringLiteral("-o") });
        queue.waitForFinished(10000);
        const QStringList pdfs
            = QDir(dir + QStringLiteral("/out")).entryList({ QStringLiteral("*.pdf") });
        const QByteArray pending = queue.readAllStandardOutput().trimmed();
        if (!pending.isEmpty() || pdfs.isEmpty())
            continue;
        const QString path = dir + QStringLiteral("/out/") + pdfs.first();
        const qint64 size = QFileInfo(path).size();
        if (size > 0 && size == lastSize)
            arrived = path;
        lastSize = size;
    }
    QProcess::execute(script, { QStringLiteral("stop"), dir });
    ASSERT_FALSE(arrived.isEmpty()) << "no PDF arrived from the print queue";
    EXPECT_EQ(pdfPages(arrived), 6);
    EXPECT_EQ(QDir(dir + QStringLiteral("/out")).entryList({ QStringLiteral("*.pdf") }).size(), 1);
}

// "-c=" and "-o=" make the paper of their own run; the next run starts from the paper before
// them, while both stay recorded.
TEST_F(VorlixRun, PaperSwitchesHoldForTheirOwnRun)
{
    writeInvoice();
    const RunResult a3 = run({ QStringLiteral("-e=a.pdf"), QStringLiteral("-c=A3"),
        QStringLiteral("-o=2"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(a3.status, 0) << a3.err.toStdString();
    EXPECT_EQ(
        pdfInfo(env.root() + QStringLiteral("/a.pdf"), QStringLiteral("Page size")).toStdString(),
        "1191 x 842 pts (A3)");
    const RunResult next = run({ QStringLiteral("-e=b.pdf"), QStringLiteral("bill.mnd") });
    ASSERT_EQ(next.status, 0) << next.err.toStdString();
    EXPECT_EQ(
        pdfInfo(env.root() + QStringLiteral("/b.pdf"), QStringLiteral("Page size")).toStdString(),
        "595 x 842 pts (A4)");
    const QString ini
        = QString::fromUtf8(readFileBytes(env.configHome() + QStringLiteral("/vorlix/vorlix.ini")));
    EXPECT_TRUE(ini.contains(QStringLiteral("PaperType=8"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("PaperOrient=2")));
    EXPECT_TRUE(ini.contains(QStringLiteral("PaperSize=9")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Orientation=1")));
}

// What goes wrong is said plainly: a document without a face, a document in UTF-16; and the
// renderer's exit status tells failed statements as vorlix does.
// A face fetched over HTTP is drawn only when it arrived whole: one cut short by a reset or sent
// in chunks fails the run, says why and leaves no output.
TEST_F(VorlixRun, AFaceFromTheWebThatBreaksOffIsNotRendered)
{
    const QByteArray face = "h,100,100,500;\r\ns,100,200,\"cut short";
    const struct {
        const char* name;
        HttpTestServer::Reply reply;
        int status;
        const char* told;
    } cases[] = {
        { "reset", HttpTestServer::sendAndReset("HTTP/1.0 200 OK\r\n\r\n" + face), 1,
            "受信中に接続が切れました:" },
        { "chunked",
            HttpTestServer::sendAndClose("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                + QByteArray::number(face.size(), 16) + "\r\n" + face + "\r\n0\r\n\r\n"),
            1, "Transfer-Encoding: chunked の応答は受け取れません" },
        { "whole", HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\n\r\nh,100,100,500;\r\n"), 0,
            "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server(c.reply);
        const QString pdf = QString::fromUtf8(c.name) + QStringLiteral(".pdf");
        const RunResult r = run({ QStringLiteral("-e=") + pdf,
            QStringLiteral("http://") + server.host() + QStringLiteral("/f/x.fae") });
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.told))) << r.err.toStdString();
        EXPECT_EQ(QFileInfo::exists(env.root() + u'/' + pdf), c.status == 0);
    }
}

TEST_F(VorlixRun, ProblemsAreSaidPlainly)
{
    write(QStringLiteral("noface.mnd"),
        QStringLiteral("<?xml ?>\n<TZQ_002>\n<name>x</name>\n</TZQ_002>\n"));
    const RunResult noFace = run({ QStringLiteral("-e=noface.pdf"), QStringLiteral("noface.mnd") });
    EXPECT_EQ(noFace.status, 1);
    EXPECT_TRUE(noFace.err.contains(
        QStringLiteral("vorlix: noface.mnd: the data document names no face (<face> element)")))
        << noFace.err.toStdString();
    EXPECT_FALSE(noFace.err.contains(QStringLiteral("NO-LABEL"))) << noFace.err.toStdString();

    const QString utf16Text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                                             "<TZQ_002><face>bill.fae</face></TZQ_002>\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(utf16Text.utf16()), utf16Text.size() * 2);
    writeFileBytes(env.root() + QStringLiteral("/wide.mnd"), utf16);
    const RunResult wide = run({ QStringLiteral("-m=wide.txt"), QStringLiteral("wide.mnd") });
    EXPECT_EQ(wide.status, 1);
    EXPECT_TRUE(wide.err.contains(
        QStringLiteral("UTF-16 の文書は読めません。UTF-8 か Shift_JIS で保存してください")))
        << wide.err.toStdString();

    write(QStringLiteral("good.fae"), QStringLiteral("h,100,100,500;\n"));
    write(QStringLiteral("bad.fae"), QStringLiteral("h,100,x,500;\n"));
    write(QStringLiteral("odd.fae"), QStringLiteral("h,100,100,500;\nzz,1;\n"));
    const struct {
        const char* face;
        int status;
    } renders[] = { { "good.fae", 0 }, { "bad.fae", 1 }, { "odd.fae", 1 } };
    for (const auto& c : renders) {
        SCOPED_TRACE(c.face);
        const QString face = QString::fromUtf8(c.face);
        const QString pdf = env.root() + u'/' + face + QStringLiteral(".pdf");
        const RunResult r = runProgram(renderTool(), { face, pdf }, environment());
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_EQ(pdfPages(pdf), 1);
    }
}

// Run from the home folder on a document in a folder below it: the face beside the document is
// found once the sheet folders have failed, and a face in a sheet folder still comes first.
TEST_F(VorlixRun, FaceBesideTheDocumentIsFound)
{
    writeInvoice(QStringLiteral("forms"));
    const RunResult beside
        = run({ QStringLiteral("-e=out.pdf"), QStringLiteral("forms/bill.mnd") });
    ASSERT_EQ(beside.status, 0) << beside.err.toStdString();
    const QString pdf = env.root() + QStringLiteral("/out.pdf");
    EXPECT_EQ(pdfPages(pdf), 3);
    EXPECT_TRUE(tool(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") })
                    .contains(QStringLiteral("ベータ商事")));
    EXPECT_TRUE(
        QString::fromUtf8(beside.out)
            .contains(QStringLiteral("Source/Mergeup>３回目のファイルの読み込みが失敗しました")));

    // The document names the sheet "CurDir": the current folder's face wins.
    write(QStringLiteral("bill.fae"), QStringLiteral("s,100,100,\"from the sheet\";\n"));
    const RunResult sheet
        = run({ QStringLiteral("-e=sheet.pdf"), QStringLiteral("forms/bill.mnd") });
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    const QString text = tool(QStringLiteral("pdftotext"),
        { env.root() + QStringLiteral("/sheet.pdf"), QStringLiteral("-") });
    EXPECT_TRUE(text.contains(QStringLiteral("from the sheet"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("ベータ商事")));
}

}
