#include "shell/CodePage.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace vorlix::test;

// Runs the built program in a temporary home, as a user would from a shell.
struct RunResult {
    int status = -1;
    QByteArray out;
    QString err;
    [[nodiscard]] QStringList logLines() const
    {
        QStringList lines = QString::fromUtf8(out).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
};

class VorlixRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(program())) << program().toStdString(); }

    static QString program()
    {
        return qEnvironmentVariable("VORLIX_BINARY_DIR") + QStringLiteral("/app/vorlix");
    }

    RunResult run(const QStringList& arguments, const QProcessEnvironment& extra = {})
    {
        QProcess process;
        QProcessEnvironment e = env.processEnvironment();
        e.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const QString& key : extra.keys())
            e.insert(key, extra.value(key));
        process.setProcessEnvironment(e);
        process.setWorkingDirectory(env.root());
        process.start(program(), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        RunResult r;
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = process.readAllStandardOutput();
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }

    // Writes a sample text file in CP932 with CR LF line ends into the temporary home.
    QString write(const QString& name, const QString& text)
    {
        QString crlf = text;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        const QString path = env.root() + u'/' + name;
        writeFileBytes(path, vorlix::shell::toCp932(crlf));
        return path;
    }

    // An invoice-like face and a data document of three records that uses it.
    void writeInvoice()
    {
        write(QStringLiteral("bill.fae"),
            QStringLiteral("fs,1,\"ＭＳ "
                           "明朝\",12,0;\nps,1,1,0,0;\nh,100,100,1800;\npiece;\ns,200,200,$"
                           "customer;\ns,200,300,$amount;\n"));
        QString data
            = QStringLiteral("<?xml version=\"1.0\" encoding=\"Shift_JIS\" "
                             "?>\n<TZQ_002>\n<face>bill.fae</face>\n<path>CurDir</path>\n");
        const char* customers[] = { "株式会社アルファ", "ベータ商事", "ガンマ工業" };
        for (int i = 0; i < 3; ++i)
            data += QStringLiteral("<piece><customer>%1</customer><amount>%2</amount></piece>\n")
                        .arg(QString::fromUtf8(customers[i]))
                        .arg((i + 1) * 1000);
        write(QStringLiteral("bill.mnd"), data + QStringLiteral("</TZQ_002>\n"));
    }

    static QString tool(const QString& name, const QStringList& arguments)
    {
        QProcess p;
        p.start(name, arguments);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static int pdfPages(const QString& pdf)
    {
        for (const QString& line : tool(QStringLiteral("pdfinfo"), { pdf }).split(u'\n'))
            if (line.startsWith(QStringLiteral("Pages:")))
                return line.mid(6).trimmed().toInt();
        return -1;
    }

    TempEnvironment env;
};

TEST_F(VorlixRun, StartUpLogWithoutSettingsFile)
{
    const RunResult r = run({ QStringLiteral("-p"), QStringLiteral("a.fae") });
    const QStringList lines = r.logLines();
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
    // A range beyond the document prints it all; no or negative copies mean one.
    const RunResult beyond = run({ QStringLiteral("-e=all.pdf"), QStringLiteral("-s=7,9"),
        QStringLiteral("-n=-2"), QStringLiteral("bill.mnd") });
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

TEST_F(VorlixRun, WindowWithoutADisplaySaysSoInsteadOfAborting)
{
    writeInvoice();
    env.set("DISPLAY", std::nullopt);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    env.set("QT_QPA_PLATFORM", std::nullopt);
    for (const QStringList& arguments : { QStringList { QStringLiteral("bill.mnd") },
             QStringList { QStringLiteral("-v"), QStringLiteral("bill.mnd") }, QStringList {} }) {
        const RunResult r = run(arguments);
        EXPECT_EQ(r.status, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("vorlix: no display"))) << r.err.toStdString();
    }
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
        GTEST_SKIP() << "cupsd cannot run here: " << start.readAllStandardError().toStdString();
    ASSERT_EQ(start.exitCode(), 0) << start.readAllStandardError().toStdString();
    writeInvoice();
    QProcessEnvironment cups;
    cups.insert(QStringLiteral("CUPS_SERVER"), dir + QStringLiteral("/cups.sock"));
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
}

}
