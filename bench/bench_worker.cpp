// The interpreting side of a print job alone: a paged document (the output of `vorlix -m=`) runs
// through the page pipeline into a job that drops every page, so the figures are the workers'
// (tokenizer, dispatch, text layout and measurement, page records) and nothing of a writer's.
//
//   bench_worker PAGED [--threads 1,2] [--runs N] [--dpi N]
//
// Make PAGED from a data document, for example the invoices of bench_export:
//   bench_export --keep DIR --sizes 1000 --no-fields --runs 1
//   cd DIR && XDG_CONFIG_HOME=DIR/config XDG_DATA_HOME=DIR/data HOME=DIR/home
//       vorlix -m=paged.txt invoice-1000.mnd   (one command line)
#include "document/PagePipeline.h"
#include "lang/DControl.h"
#include "render/PageOutput.h"
#include "render/PageRecord.h"
#include "shell/DeferredOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <vector>

using namespace vorlix;

namespace {

struct Options {
    QString paged;
    std::vector<int> threads { 1, 2 };
    int runs = 3;
    int dpi = 400;
};

// A job that counts the pages and the calls on them, and keeps nothing.
class CountingSink final : public render::PageOutput {
public:
    bool begin(const QString&) override { return true; }
    bool write(const render::PageRecord& page, const QRect&) override
    {
        ++pages;
        calls += page.calls().size();
        return true;
    }

    long long pages = 0;
    std::size_t calls = 0;
};

qint64 cpuNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double loadAverage()
{
    double load[1] = {};
    return getloadavg(load, 1) < 1 ? -1.0 : load[0];
}

struct RunFigures {
    double wall = 0.0;
    double cpu = 0.0;
    long long pages = 0;
    std::size_t calls = 0;
};

RunFigures runOnce(const QString& paged, int threads, int dpi)
{
    // The job's own interpreter logs its life; the figures should not include a terminal's.
    shell::DeferredOutput quiet;
    const shell::DeferredOutput::Scope scope(quiet);
    lang::DControl control;
    control.SetDoc(paged);
    document::PagePipeline::Binding binding;
    binding.dpi = dpi;
    binding.documentName = QStringLiteral("bench");
    const document::PagePipeline pipeline(binding, threads);
    CountingSink sink;
    pipeline.bind(control, sink);
    const qint64 cpuStart = cpuNanoseconds();
    QElapsedTimer wall;
    wall.start();
    pipeline.PagePrint(control, sink, 1, control.Page());
    RunFigures figures;
    figures.wall = wall.nsecsElapsed() / 1e9;
    figures.cpu = (cpuNanoseconds() - cpuStart) / 1e9;
    figures.pages = sink.pages;
    figures.calls = sink.calls;
    return figures;
}

bool parse(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const QString value = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (arg == u"--threads" && !value.isEmpty()) {
            options.threads.clear();
            for (const QString& n : value.split(u','))
                options.threads.push_back(std::clamp(n.toInt(), 1, 64));
            ++i;
        } else if (arg == u"--runs" && !value.isEmpty()) {
            options.runs = std::max(1, value.toInt());
            ++i;
        } else if (arg == u"--dpi" && !value.isEmpty()) {
            options.dpi = std::max(1, value.toInt());
            ++i;
        } else if (!arg.startsWith(u"--") && options.paged.isEmpty()) {
            options.paged = arg;
        } else {
            return false;
        }
    }
    return !options.paged.isEmpty();
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Options options;
    if (!parse(QGuiApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: bench_worker PAGED [--threads 1,2] [--runs N] [--dpi N]\n");
        return 2;
    }
    QFile file(options.paged);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(options.paged));
        return 1;
    }
    const QString paged = QString::fromUtf8(file.readAll());
    std::printf("%-8s %5s %8s %9s %9s %8s %10s %10s %8s  %s\n", "threads", "runs", "pages",
        "median s", "best s", "cpu s", "pages/s", "calls", "peak MB", "load before/after");
    for (const int threads : options.threads) {
        std::vector<double> walls;
        std::vector<double> cpus;
        RunFigures last;
        const double loadBefore = loadAverage();
        for (int run = 0; run < options.runs; ++run) {
            last = runOnce(paged, threads, options.dpi);
            walls.push_back(last.wall);
            cpus.push_back(last.cpu);
        }
        std::sort(walls.begin(), walls.end());
        std::sort(cpus.begin(), cpus.end());
        const double median = walls[walls.size() / 2];
        std::printf("%-8d %5d %8lld %9.3f %9.3f %8.3f %10.0f %10zu %8.1f  %.2f/%.2f\n", threads,
            options.runs, last.pages, median, walls.front(), cpus[cpus.size() / 2],
            static_cast<double>(last.pages) / median, last.calls, peakKilobytes() / 1024.0,
            loadBefore, loadAverage());
        std::fflush(stdout);
    }
    return 0;
}
