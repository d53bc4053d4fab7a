#include "tests/app/VorlixRun.h"
#include "tests/support/CupsSandbox.h"
#include "tests/support/MissingTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// Print jobs against a CUPS daemon of the test's own: what reaches the queue, and every way a
// job can fail said as a failure.
class PrintJob : public VorlixRun {
protected:
    // The invoice face with `count` records, as bills.mnd.
    void writeBills(int count)
    {
        writeInvoice();
        QString data = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\n<TZQ_002>\n<face>bill.fae</face>\n"
            "<path>CurDir</path>\n");
        for (int i = 1; i <= count; ++i)
            data += QStringLiteral(
                "<piece><customer>得意先 %1</customer><amount>%2</amount></piece>\n")
                        .arg(i)
                        .arg(i * 10);
        write(QStringLiteral("bills.mnd"), data + QStringLiteral("</TZQ_002>\n"));
    }

    static QProcessEnvironment cupsOf(const CupsSandbox& cups)
    {
        QProcessEnvironment e;
        e.insert(QStringLiteral("CUPS_SERVER"), cups.socket());
        return e;
    }

    // Starts vorlix without waiting for it.
    std::unique_ptr<QProcess> start(const QStringList& arguments, const QProcessEnvironment& extra)
    {
        QProcessEnvironment e = environment();
        for (const QString& key : extra.keys())
            e.insert(key, extra.value(key));
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(e);
        process->setWorkingDirectory(env.root());
        process->start(program(), arguments);
        process->waitForStarted();
        return process;
    }

    // Waits (up to a minute) until the condition holds or the process ended; whether it held.
    static bool waitUntil(QProcess& process, const std::function<bool()>& condition)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && process.state() == QProcess::Running) {
            if (condition())
                return true;
            process.waitForFinished(10);
        }
        return false;
    }

    static bool jobOnServer(const CupsSandbox& cups)
    {
        QProcess lpstat;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("CUPS_SERVER"), cups.socket());
        lpstat.setProcessEnvironment(e);
        lpstat.start(QStringLiteral("lpstat"), { QStringLiteral("-o") });
        lpstat.waitForFinished(10000);
        return !lpstat.readAllStandardOutput().trimmed().isEmpty();
    }

    static QStringList partFiles(const QString& folder)
    {
        return QDir(folder).entryList(
            { QStringLiteral(".*.part") }, QDir::Files | QDir::Hidden | QDir::System);
    }
};

#define REQUIRE_CUPS(cups)                                                                         \
    do {                                                                                           \
        if (!(cups).unavailable().isEmpty())                                                       \
            VORLIX_SKIP_WITHOUT_TOOL((cups).unavailable().toStdString());                          \
    } while (false)

// The job is our own PDF on the queue named in any letter case, with paper, orientation and title;
// its number is logged.
TEST_F(PrintJob, ReachesTheQueueWithItsOptions)
{
    // The server writes each job's attributes to its spool folder at once, not half a minute on.
    CupsSandbox cups({ QStringLiteral("VorlixPDF"), QStringLiteral("GenPDF") },
        QStringLiteral("DirtyCleanInterval 0"));
    REQUIRE_CUPS(cups);
    writeInvoice();
    // No temporary file lies between the job and the queue: a temporary folder that cannot take
    // one changes nothing.
    QProcessEnvironment e = cupsOf(cups);
    e.insert(QStringLiteral("TMPDIR"), env.root() + QStringLiteral("/no-such-folder"));
    const RunResult r = run(
        { QStringLiteral("-p"), QStringLiteral("-r=genpdf"), QStringLiteral("-c=A3"),
            QStringLiteral("-o=2"), QStringLiteral("-t=月次請求"), QStringLiteral("bill.mnd") },
        e);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const QRegularExpressionMatch id
        = QRegularExpression(QStringLiteral("Source/PrintGo>JobId=(\\d+)"))
              .match(QString::fromUtf8(r.out));
    ASSERT_TRUE(id.hasMatch()) << r.out.constData();
    const QStringList pdfs = cups.waitForPdfs(1);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(pdfPages(pdfs.first()), 3);
    // The queue turns the landscape pages onto its A3 sheet.
    EXPECT_TRUE(pdfInfo(pdfs.first(), QStringLiteral("Page size")).endsWith(u"(A3)"))
        << pdfInfo(pdfs.first(), QStringLiteral("Page size")).toStdString();
    // The server keeps the job's attributes: its queue, title and options.
    const QByteArray job = readFileBytes(cups.socket().section(u'/', 0, -2)
        + QStringLiteral("/spool/c") + id.captured(1).rightJustified(5, u'0'));
    for (const char* attribute : { "GenPDF", "月次請求", "A3", "one-sided", "color" })
        EXPECT_TRUE(job.contains(attribute)) << attribute;
}

// A job the server refuses, cuts short or loses is an error in CUPS's words, exit status 1, and
// nothing prints; so is a queue name that only begins like one.
TEST_F(PrintJob, RefusedOrLostJobsAreErrors)
{
    enum class During { Nothing, StopServer, Terminate };
    const struct {
        const char* name;
        const char* configuration;
        int records;
        const char* printer;
        std::function<void(const CupsSandbox&)> before;
        During during;
        QString said;
    } cases[] = {
        { "rejecting queue", "", 3, "Refuser",
            [](const CupsSandbox& c) { c.client(QStringLiteral("cupsreject"), { "Refuser" }); },
            During::Nothing, QStringLiteral("vorlix: Refuser: ") },
        { "size limit", "MaxRequestSize 200k", 6000, "VorlixPDF", {}, During::Nothing,
            QStringLiteral("vorlix: VorlixPDF: ") },
        { "server stopped mid-job", "", 6000, "VorlixPDF", {}, During::StopServer,
            QStringLiteral("vorlix: VorlixPDF: ") },
        { "terminated mid-job", "", 6000, "VorlixPDF", {}, During::Terminate, QString() },
        { "name longer than a queue's", "", 3, "Accounting_Department_Printer_Floor4", {},
            During::Nothing,
            QStringLiteral(
                "vorlix: Accounting_Department_Printer_Floor4: プリンタが見つかりません") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CupsSandbox cups({ QStringLiteral("VorlixPDF"), QStringLiteral("Refuser"),
                             QStringLiteral("Accounting_Department_Printer_Floor3") },
            QString::fromUtf8(c.configuration));
        REQUIRE_CUPS(cups);
        writeBills(c.records);
        if (c.before)
            c.before(cups);
        const auto vorlix
            = start({ QStringLiteral("-p"), QStringLiteral("-r=") + QString::fromUtf8(c.printer),
                        QStringLiteral("bills.mnd") },
                cupsOf(cups));
        if (c.during != During::Nothing) {
            ASSERT_TRUE(waitUntil(*vorlix, [&] { return jobOnServer(cups); }));
            if (c.during == During::StopServer)
                cups.stop();
            else
                ::kill(static_cast<pid_t>(vorlix->processId()), SIGTERM);
        }
        ASSERT_TRUE(vorlix->waitForFinished(120000));
        const QString err = QString::fromUtf8(vorlix->readAllStandardError());
        if (c.during == During::Terminate) {
            EXPECT_EQ(vorlix->exitStatus(), QProcess::CrashExit);
            EXPECT_EQ(vorlix->exitCode(), SIGTERM);
            // The job was cancelled, not left waiting for the rest of its document.
            EXPECT_FALSE(jobOnServer(cups));
        } else {
            EXPECT_EQ(vorlix->exitCode(), 1) << err.toStdString();
            EXPECT_TRUE(err.startsWith(c.said)) << err.toStdString();
            EXPECT_GT(err.size(), c.said.size());
        }
        if (c.during != During::StopServer) {
            EXPECT_TRUE(cups.waitForPdfs(1, 3000).isEmpty());
        }
    }
}

// A server that takes the connection and never answers holds nothing up for long: an export does
// not ask it at all, a print job fails after the time-out it states.
TEST_F(PrintJob, ASilentServerBoundsTheWait)
{
    QTcpServer silent;
    // The system takes connections into the listening queue; nobody ever answers them.
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    writeInvoice();
    QProcessEnvironment e;
    e.insert(
        QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()));
    e.insert(QStringLiteral("VORLIX_CUPS_TIMEOUT"), QStringLiteral("2"));
    const struct {
        QStringList arguments;
        int status;
        QString said;
        qint64 withinMs;
    } cases[] = {
        { { QStringLiteral("-e=out.pdf"), QStringLiteral("bill.mnd") }, 0, QString(), 1900 },
        { { QStringLiteral("-p"), QStringLiteral("bill.mnd") }, 1,
            QStringLiteral("vorlix: CUPS (127.0.0.1:%1) が 2 秒応答しません")
                .arg(silent.serverPort()),
            15000 },
        { { QStringLiteral("-p"), QStringLiteral("-r=Anything"), QStringLiteral("bill.mnd") }, 1,
            QStringLiteral("vorlix: CUPS (127.0.0.1:%1) が 2 秒応答しません")
                .arg(silent.serverPort()),
            15000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QElapsedTimer clock;
        clock.start();
        const RunResult r = run(c.arguments, e);
        EXPECT_LT(clock.elapsed(), c.withinMs);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        EXPECT_EQ(r.errLines().value(0), c.said) << r.err.toStdString();
    }
}

// A signal in the middle of an export removes the partial file and ends the program by that
// signal; the next run removes a partial file whose process is gone, and no other.
TEST_F(PrintJob, SignalsMidExportLeaveNoPartialFile)
{
    writeBills(6000);
    for (const int signal : { SIGTERM, SIGINT, SIGHUP, SIGXFSZ }) {
        SCOPED_TRACE(signal);
        const auto vorlix
            = start({ QStringLiteral("-e=big.pdf"), QStringLiteral("bills.mnd") }, {});
        ASSERT_TRUE(waitUntil(*vorlix, [&] { return !partFiles(env.root()).isEmpty(); }));
        ::kill(static_cast<pid_t>(vorlix->processId()), signal);
        ASSERT_TRUE(vorlix->waitForFinished(60000));
        EXPECT_EQ(vorlix->exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(vorlix->exitCode(), signal);
        EXPECT_EQ(partFiles(env.root()), QStringList());
        EXPECT_FALSE(QFile::exists(env.root() + QStringLiteral("/big.pdf")));
    }
    QProcess ended;
    ended.start(QStringLiteral("true"));
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    ended.waitForFinished();
    const QString stale = QStringLiteral(".small.pdf.%1.part").arg(endedPid);
    const QString live
        = QStringLiteral(".small.pdf.%1.part").arg(QCoreApplication::applicationPid());
    writeFileBytes(env.root() + u'/' + stale, "partial");
    writeFileBytes(env.root() + u'/' + live, "partial");
    ASSERT_EQ(run({ QStringLiteral("-e=small.pdf"), QStringLiteral("bill.mnd") }).status, 0);
    EXPECT_EQ(partFiles(env.root()), QStringList { live });
}

// An export has no printer: the default printer's position corrections never move its pages.
TEST_F(PrintJob, ExportsTakeNoPrinterCorrections)
{
    CupsSandbox cups({ QStringLiteral("VorlixPDF") });
    REQUIRE_CUPS(cups);
    writeInvoice();
    const auto boxes = [](const QString& pdf) {
        return tool(
            QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") })
            .section(QStringLiteral("<page"), 1);
    };
    ASSERT_EQ(run({ QStringLiteral("-e=plain.pdf"), QStringLiteral("bill.mnd") }).status, 0);
    writeFileBytes(env.configHome() + QStringLiteral("/vorlix/vorlix.ini"),
        "[VorlixPDF]\r\nPaperLeftLag=300\r\nPaperTopLag=300\r\n");
    const RunResult r
        = run({ QStringLiteral("-e=moved.pdf"), QStringLiteral("bill.mnd") }, cupsOf(cups));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString plain = boxes(env.root() + QStringLiteral("/plain.pdf"));
    EXPECT_FALSE(plain.isEmpty());
    EXPECT_EQ(boxes(env.root() + QStringLiteral("/moved.pdf")), plain);
}

// A value switch given a value it cannot take is a usage error that says what it expected.
TEST_F(PrintJob, ValueSwitchesSayWhatTheyExpect)
{
    writeInvoice();
    const struct {
        const char* value;
        const char* expected; // empty: the value is good
    } cases[] = {
        { "-n=0", "the number of copies, a whole number from 1 to 9999" },
        { "-n=10000", "the number of copies, a whole number from 1 to 9999" },
        { "-n=two", "the number of copies, a whole number from 1 to 9999" },
        { "-c=A9", "a paper: A3 A4 A4S A5 B4 B5 LETTER 10X14 11X17 15X11 USER, or a paper code" },
        { "-o=7", "1 (portrait) or 2 (landscape)" },
        { "-s=abc", "the first and the last page, as in -s=2,3" },
        { "-s=2", "the first and the last page, as in -s=2,3" },
        { "-n=9", "" },
        { "-c=a4s", "" },
        { "-s=2,", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        QFile::remove(env.root() + QStringLiteral("/out.pdf"));
        const RunResult r = run({ QStringLiteral("-e=out.pdf"), QString::fromUtf8(c.value),
            QStringLiteral("bill.mnd") });
        if (*c.expected == 0) {
            EXPECT_EQ(r.status, 0) << r.err.toStdString();
            continue;
        }
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.errLines(),
            QStringList { QStringLiteral("vorlix: %1: expected %2 (vorlix --help)")
                              .arg(QString::fromUtf8(c.value), QString::fromUtf8(c.expected)) });
        EXPECT_FALSE(QFile::exists(env.root() + QStringLiteral("/out.pdf")));
    }
}

}
