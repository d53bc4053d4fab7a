#include "tests/app/VorlixRun.h"
#include "tests/support/HttpTestServer.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace {

using namespace vorlix::test;

// What a new user meets first, on a server without a display: the usage, the version, a window
// mode that cannot run, and standard error that carries only the program's own lines.
class VorlixStart : public VorlixRun {
protected:
    [[nodiscard]] QString settingsFile() const
    {
        return env.configHome() + QStringLiteral("/vorlix/vorlix.ini");
    }
};

TEST_F(VorlixStart, HelpAndVersionNeedNoDisplayAndWriteNoSettings)
{
    const RunResult help = runProgram(program(), { QStringLiteral("--help") }, bareEnvironment());
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    const QStringList lines = QString::fromUtf8(help.out).split(u'\n');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Usage: vorlix "))) << help.out.constData();
    // Every switch of the README's table, one line each.
    for (const char* name : { "(none)", "-v", "-p", "-m=OUT", "-e=OUT", "-d=SHEETS", "-f=FACE",
             "-t=TITLE", "-r=PRINTER", "-c=PAPER", "-n=COPIES", "-o=ORIENTATION", "-s=FIRST,LAST",
             "--help", "--version" }) {
        const QString prefix = QStringLiteral("  ") + QString::fromUtf8(name) + u' ';
        EXPECT_EQ(
            lines.filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix))).size(), 1)
            << name;
    }
    EXPECT_TRUE(help.out.contains("15X11"));
    // Nothing of the program started: no log.
    EXPECT_FALSE(help.out.contains("Vorlix/Main>"));

    const RunResult version
        = runProgram(program(), { QStringLiteral("--version") }, bareEnvironment());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(version.out),
        QStringLiteral("vorlix " VORLIX_VERSION "\nQt ") + QString::fromLatin1(qVersion()) + u'\n');
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
}

// Without a display a window mode says what to do instead and ends with status 2, before Qt could
// abort; an X11 platform chosen without its display counts as none.
TEST_F(VorlixStart, WindowModesWithoutADisplaySayWhatToDo)
{
    writeInvoice();
    QProcessEnvironment xcb = bareEnvironment();
    xcb.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const struct {
        QStringList arguments;
        QProcessEnvironment environment;
    } cases[] = {
        { { QStringLiteral("bill.mnd") }, bareEnvironment() },
        { { QStringLiteral("-v"), QStringLiteral("bill.mnd") }, bareEnvironment() },
        { {}, bareEnvironment() },
        { { QStringLiteral("bill.mnd") }, xcb },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const RunResult r = runProgram(program(), c.arguments, c.environment);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.errLines(),
            QStringList {
                QStringLiteral("vorlix: no display for the window; use -p, -m=OUT or -e=OUT") });
    }
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
    // The unattended modes run as they are.
    const RunResult exported
        = runProgram(program(), { QStringLiteral("-e=bill.pdf"), QStringLiteral("bill.mnd") }, xcb);
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
}

// The tutorial's first command runs vorlix-render on a machine like this one: its standard
// error holds its own lines only, whether the pages were written or could not be.
TEST_F(VorlixStart, RenderToolSpeaksOnlyForItself)
{
    write(QStringLiteral("step.fae"), QStringLiteral("s,100,100,\"納品書\";\n"));
    const struct {
        const char* output;
        int status;
    } runs[] = { { "step.pdf", 0 }, { "missing/step.pdf", 1 }, { "step.doc", 2 } };
    for (const auto& c : runs) {
        SCOPED_TRACE(c.output);
        const RunResult r = runProgram(renderTool(),
            { QStringLiteral("step.fae"), env.root() + u'/' + QString::fromUtf8(c.output) },
            bareEnvironment());
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        ASSERT_FALSE(r.errLines().isEmpty());
        for (const QString& line : r.errLines())
            EXPECT_TRUE(line.startsWith(QStringLiteral("vorlix-render: "))
                || line.startsWith(QStringLiteral("usage: "))
                || line.startsWith(QStringLiteral("  OUTPUT: ")))
                << line.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(env.root() + QStringLiteral("/step.pdf")));
}

// On a machine without a runtime folder Qt has warnings of its own; they never reach standard
// error, which holds only "vorlix: " lines, also when a face comes over HTTP and the progress
// window of the fetch runs on the offscreen platform.
TEST_F(VorlixStart, StandardErrorCarriesOnlyOurLines)
{
    writeInvoice();
    const RunResult exported = runProgram(program(),
        { QStringLiteral("-e=bill.pdf"), QStringLiteral("bill.mnd") }, bareEnvironment());
    EXPECT_EQ(exported.status, 0);
    EXPECT_TRUE(exported.err.isEmpty()) << exported.err.toStdString();

    const RunResult failed = runProgram(program(),
        { QStringLiteral("-e=x.pdf"), QStringLiteral("missing.mnd") }, bareEnvironment());
    EXPECT_EQ(failed.status, 2);
    ASSERT_FALSE(failed.errLines().isEmpty());
    for (const QString& line : failed.errLines())
        EXPECT_TRUE(line.startsWith(QStringLiteral("vorlix: "))) << line.toStdString();

    const QByteArray face = "s,100,100,\"web face\";\r\n";
    HttpTestServer server(HttpTestServer::sendAndClose("HTTP/1.0 200 OK\r\nContent-Length: "
        + QByteArray::number(face.size()) + "\r\n\r\n" + face));
    QDir().mkpath(env.configHome() + QStringLiteral("/vorlix"));
    writeFileBytes(settingsFile(),
        QStringLiteral("[sheet]\r\nWeb=http://%1/forms/\r\n").arg(server.host()).toUtf8());
    write(QStringLiteral("web.mnd"),
        QStringLiteral(
            "<?xml ?>\n<TZQ_002>\n<face>web.fae</face>\n<path>Web</path>\n</TZQ_002>\n"));
    const RunResult web = runProgram(
        program(), { QStringLiteral("-e=web.pdf"), QStringLiteral("web.mnd") }, bareEnvironment());
    EXPECT_EQ(web.status, 0) << web.err.toStdString();
    EXPECT_TRUE(web.err.isEmpty()) << web.err.toStdString();
    EXPECT_TRUE(server.request.startsWith("GET /forms/web.fae ")) << server.request.constData();
    EXPECT_TRUE(tool(QStringLiteral("pdftotext"), { env.root() + QStringLiteral("/web.pdf"), "-" })
                    .contains(QStringLiteral("web face")));
}

}
