// vorlix-render INPUT OUTPUT [--dpi N]
//
// Runs a paged document or a plain statement text (a face file) through the interpreter and
// writes the pages: OUTPUT ending in ".pdf" gives one PDF, ".png" or ".svg" one file per page
// (out-1.png, out-2.png, ...), ".txt" the page-record dumps. Warnings and failures of statements
// are drawn on the pages as always and also reported on standard error; the pages are still
// written, and the exit status is 1, as vorlix gives it.
#include "lang/DControl.h"
#include "render/FileSink.h"
#include "render/PageCollector.h"
#include "shell/CodePage.h"
#include "shell/ModuleState.h"
#include "shell/QtMessageRoute.h"
#include "shell/RunError.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace vorlix;

void usage()
{
    std::fprintf(stderr,
        "usage: vorlix-render INPUT OUTPUT [--dpi N]\n"
        "  OUTPUT: out.pdf, out.png or out.svg (one file per page), or out.txt (page dumps)\n");
}

struct Options {
    QString input;
    QString output;
    int dpi = 400;
};

bool parseArguments(const QStringList& args, Options& options)
{
    QStringList positional;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dpi") && i + 1 < args.size()) {
            bool ok = false;
            options.dpi = args[++i].toInt(&ok);
            if (!ok || options.dpi < 10 || options.dpi > 2400)
                return false;
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return false;
    options.input = positional[0];
    options.output = positional[1];
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

// How a run went: the pages could not be made, they were made but statements failed or warned, or
// all is well.
enum class RunOutcome { Unreadable, Problems, Clean };

// Runs the document into the sink like a print job: every page, then the closing "end" after a
// warning or failure.
RunOutcome runDocument(const QString& text, render::PageOutput& sink, int dpi)
{
    lang::DControl control;
    control.SetObject(sink, 0, dpi, 1.0, 2100, 2970, 0, 0);
    try {
        control.SetDoc(text);
    } catch (const shell::RunError& e) {
        std::fprintf(stderr, "vorlix-render: bad paged document header: %d %s\n", e.number(),
            e.description().toLocal8Bit().constData());
        return RunOutcome::Unreadable;
    }
    control.PagePrint(1, control.Page());
    if (!control.report.clean()) {
        std::fprintf(stderr, "vorlix-render: the document has %s (see the pages)\n",
            control.report.fError ? "failed statements" : "warnings");
        control.GoDoc(QStringLiteral(";;;end;"));
        return RunOutcome::Problems;
    }
    return RunOutcome::Clean;
}

}

int main(int argc, char** argv)
{
    using namespace vorlix;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt's own warnings ("XDG_RUNTIME_DIR not set", a painter that could not begin) would stand
    // between the tool's lines on every run on a server; the tool says what failed itself.
    shell::routeQtMessages(shell::buildQtMessageRoute(), QStringLiteral("vorlix-render"));
    QGuiApplication app(argc, argv);
    Options options;
    if (!parseArguments(app.arguments(), options)) {
        usage();
        return 2;
    }
    QFile input(options.input);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vorlix-render: cannot read %s\n", qPrintable(options.input));
        return 1;
    }
    const QString text = shell::decodeText(input.readAll()).text;
    const QString suffix = QFileInfo(options.output).suffix().toLower();

    if (const auto format = render::FileSink::formatOf(options.output)) {
        render::FileSink sink(*format, options.output);
        const RunOutcome outcome = runDocument(text, sink, options.dpi);
        if (outcome == RunOutcome::Unreadable)
            return 1;
        if (!sink.finish() || sink.failed()) {
            std::fprintf(stderr, "vorlix-render: cannot write %s\n", qPrintable(options.output));
            return 1;
        }
        std::fprintf(stderr, "vorlix-render: %d page(s) into %s\n", sink.pagesWritten(),
            qPrintable(sink.files().join(QStringLiteral(", "))));
        return outcome == RunOutcome::Clean ? 0 : 1;
    }
    if (suffix != QLatin1String("txt")) {
        std::fprintf(stderr, "vorlix-render: unknown output type \"%s\"\n", qPrintable(suffix));
        usage();
        return 2;
    }
    render::PageCollector collector;
    const RunOutcome outcome = runDocument(text, collector, options.dpi);
    if (outcome == RunOutcome::Unreadable)
        return 1;
    QString dump;
    int page = 0;
    for (const auto& record : collector.pages())
        dump += QStringLiteral("== page %1\n").arg(++page) + record.dump();
    if (!writeFile(options.output, dump.toUtf8())) {
        std::fprintf(stderr, "vorlix-render: cannot write %s\n", qPrintable(options.output));
        return 1;
    }
    std::fprintf(stderr, "vorlix-render: %d page(s)\n", page);
    return outcome == RunOutcome::Clean ? 0 : 1;
}
