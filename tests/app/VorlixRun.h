#pragma once

#include "shell/CodePage.h"
#include "tests/support/PdfCheck.h"
#include "tests/support/TempEnvironment.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

namespace vorlix::test {

// What a run of a built program left: exit status (-1 for a crash), the log and standard error.
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
    // The lines of standard error, without the empty one after the last line end.
    [[nodiscard]] QStringList errLines() const
    {
        QStringList lines = err.split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
};

// Runs the built programs in a temporary home, as a user would from a shell.
class VorlixRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(program())) << program().toStdString(); }

    static QString program()
    {
        return qEnvironmentVariable("VORLIX_BINARY_DIR") + QStringLiteral("/app/vorlix");
    }
    static QString renderTool()
    {
        return qEnvironmentVariable("VORLIX_BINARY_DIR") + QStringLiteral("/tools/vorlix-render");
    }

    // The test's environment with the temporary home and a UTF-8 locale.
    [[nodiscard]] QProcessEnvironment environment() const
    {
        QProcessEnvironment e = env.processEnvironment();
        e.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        return e;
    }

    // A machine as a new user's server has it: no display of any kind, no platform chosen and no
    // runtime folder.
    [[nodiscard]] QProcessEnvironment bareEnvironment() const
    {
        QProcessEnvironment e = environment();
        for (const char* name :
            { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR" })
            e.remove(QString::fromLatin1(name));
        return e;
    }

    RunResult runProgram(const QString& path, const QStringList& arguments,
        const QProcessEnvironment& environment, const QString& folder = {})
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.isEmpty() ? env.root() : folder);
        // The event loop runs while the program works, so that a server of the test can answer.
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        process.start(path, arguments);
        loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << path.toStdString() << " did not end";
        }
        RunResult r;
        r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = process.readAllStandardOutput();
        r.err = QString::fromUtf8(process.readAllStandardError());
        return r;
    }

    // Runs vorlix in the temporary home with the extra variables set.
    RunResult run(const QStringList& arguments, const QProcessEnvironment& extra = {})
    {
        QProcessEnvironment e = environment();
        for (const QString& key : extra.keys())
            e.insert(key, extra.value(key));
        return runProgram(program(), arguments, e);
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
    void writeInvoice(const QString& folder = {})
    {
        const QString prefix = folder.isEmpty() ? QString() : folder + u'/';
        write(prefix + QStringLiteral("bill.fae"),
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
        write(prefix + QStringLiteral("bill.mnd"), data + QStringLiteral("</TZQ_002>\n"));
    }

    // A data document whose merge fails late, after many pages: the pages already rendered beside
    // the merge go nowhere.
    void writeStrictBills()
    {
        write(QStringLiteral("strict.fae"),
            QStringLiteral("fs,1,\"ＭＳ 明朝\",12,0;\ncourse,0;\npiece;\ns,200,200,$customer;\n"));
        QString data
            = QStringLiteral("<?xml ?>\n<TZQ_002>\n<face>strict.fae</face>\n<path>CurDir</path>\n");
        for (int i = 1; i <= 500; ++i)
            data += i == 480 ? QStringLiteral("<piece><name>x</name></piece>\n")
                             : QStringLiteral("<piece><customer>客 %1</customer></piece>\n").arg(i);
        write(QStringLiteral("strict.mnd"), data + QStringLiteral("</TZQ_002>\n"));
    }

    // Runs a tool; a PDF handed to one is checked strictly first (poppler repairs silently).
    static QString tool(const QString& name, const QStringList& arguments)
    {
        for (const QString& argument : arguments)
            if (argument.endsWith(QStringLiteral(".pdf")) && QFileInfo::exists(argument))
                PdfCheck::expectSound(argument);
        QProcess p;
        p.start(name, arguments);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // A line of pdfinfo's report ("Pages", "Page size"), without its name.
    static QString pdfInfo(const QString& pdf, const QString& field)
    {
        for (const QString& line : tool(QStringLiteral("pdfinfo"), { pdf }).split(u'\n'))
            if (line.startsWith(field + u':'))
                return line.mid(field.size() + 1).trimmed();
        return {};
    }
    static int pdfPages(const QString& pdf)
    {
        const QString pages = pdfInfo(pdf, QStringLiteral("Pages"));
        return pages.isEmpty() ? -1 : pages.toInt();
    }

    TempEnvironment env;
};

}
