// Start-up, measured apart: what a one-line face costs before and around its only page. Each run
// is a fresh process (what is loaded once per process is the point), in a private settings and
// data folder; the phases come in the order the program meets them, and the medians of the runs
// are printed. Last, the whole `vorlix -e=out.pdf one.fae` is timed the same way.
//
//   bench_startup [--runs N] [--vorlix PATH]
#include "lang/DControl.h"
#include "render/PageOutput.h"
#include "render/PageRecord.h"
#include "render/PrinterObject.h"
#include "render/QtFontCache.h"
#include "render/QtTextMetrics.h"
#include "shell/DeferredOutput.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/iniInit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vorlix;

namespace {

const char* const OneLineFace = "f,1;s,100,100,\"請求書 No.1\";";

class DroppingSink final : public render::PageOutput {
public:
    bool begin(const QString&) override { return true; }
    bool write(const render::PageRecord&, const QRect&) override { return true; }
};

// The phases of one process, printed as "name milliseconds" lines for the parent.
class Phases {
public:
    Phases() { m_clock.start(); }
    void mark(const char* name)
    {
        const qint64 now = m_clock.nsecsElapsed();
        std::printf("%s %.3f\n", name, (now - m_last) / 1e6);
        m_last = now;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

void renderOnePage(lang::DControl& control, render::PageOutput& sink)
{
    control.SetObject(sink, 0, 400, 1.0, 2100, 2970, 0, 0);
    control.GoDoc(
        QStringLiteral("start;") + QString::fromUtf8(OneLineFace) + QStringLiteral(";;out;"));
}

// One process: every phase once, in the program's order.
int phasesChild(int argc, char** argv)
{
    Phases phases;
    QGuiApplication app(argc, argv);
    phases.mark("application");
    {
        auto& state = shell::moduleState();
        state.SettingsFile = std::make_unique<shell::InitFile>();
        shell::iniInit(*state.SettingsFile).SetInit(QString());
    }
    phases.mark("settings(new-file)");
    {
        auto& state = shell::moduleState();
        state.SettingsFile = std::make_unique<shell::InitFile>();
        shell::iniInit(*state.SettingsFile).SetInit(QString());
    }
    phases.mark("settings(existing)");
    (void)render::PrinterObject::current().DeviceName();
    phases.mark("default-printer");
    (void)QFontDatabase::families();
    phases.mark("font-database");
    {
        const render::QtTextMetrics metrics;
        (void)metrics.pointExtent(
            QStringLiteral("ＭＳ 明朝"), 10, false, false, QStringLiteral("A"), 400);
    }
    phases.mark("first-font");
    shell::DeferredOutput quiet;
    const shell::DeferredOutput::Scope scope(quiet);
    DroppingSink sink;
    lang::DControl control;
    renderOnePage(control, sink);
    phases.mark("first-page");
    renderOnePage(control, sink);
    phases.mark("second-page");
    return 0;
}

struct Environment {
    QTemporaryDir root;
    std::string path() const { return root.path().toStdString(); }
};

// A private home, settings and data folder with the one-line face in it.
void prepare(const Environment& environment)
{
    const std::string dir = environment.path();
    for (const char* sub : { "/home", "/config", "/data", "/runtime" })
        mkdir((dir + sub).c_str(), 0700);
    const std::string face = dir + "/one.fae";
    if (FILE* file = std::fopen(face.c_str(), "wb")) {
        std::fputs(OneLineFace, file);
        std::fclose(file);
    }
}

// Runs argv in the environment; the child's output comes back as text.
std::string runChild(
    const Environment& environment, const std::vector<std::string>& arguments, double& seconds)
{
    const std::string dir = environment.path();
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], 1);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 2);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        setenv("HOME", (dir + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir + "/runtime").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return output;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double loadAverage()
{
    double load[1] = {};
    return getloadavg(load, 1) < 1 ? -1.0 : load[0];
}

}

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--phases-child") == 0)
        return phasesChild(argc, argv);
    int runs = 7;
    std::string vorlix = VORLIX_BINARY;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--vorlix") == 0)
            vorlix = argv[i + 1];
    }
    char selfPath[4096] = {};
    if (!realpath(argv[0], selfPath))
        return 1;
    const std::string self = selfPath;
    const double loadBefore = loadAverage();
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> phases;
    std::vector<double> inProcess;
    std::vector<double> firstExports;
    std::vector<double> exports;
    for (int run = 0; run < runs; ++run) {
        double seconds = 0.0;
        Environment phasesEnvironment;
        prepare(phasesEnvironment);
        const std::string output = runChild(phasesEnvironment, { self, "--phases-child" }, seconds);
        inProcess.push_back(seconds);
        char name[64];
        double ms = 0.0;
        for (const char* line = output.c_str(); std::sscanf(line, "%63s %lf", name, &ms) == 2;) {
            if (!phases.count(name))
                order.emplace_back(name);
            phases[name].push_back(ms);
            line = std::strchr(line, '\n');
            if (!line)
                break;
            ++line;
        }
        // The first start registers the file types; every later one finds its settings.
        Environment environment;
        prepare(environment);
        (void)runChild(environment, { vorlix, "-e=out.pdf", "one.fae" }, seconds);
        firstExports.push_back(seconds);
        (void)runChild(environment, { vorlix, "-e=out.pdf", "one.fae" }, seconds);
        exports.push_back(seconds);
    }
    std::printf("start-up of a one-line face, medians of %d fresh processes (ms)\n", runs);
    for (const std::string& name : order)
        std::printf("  %-22s %8.2f\n", name.c_str(), median(phases[name]));
    std::printf("  %-22s %8.2f\n", "process-total", median(inProcess) * 1000.0);
    std::printf("vorlix -e=out.pdf one.fae, first start: %.2f ms wall (best %.2f)\n",
        median(firstExports) * 1000.0,
        *std::min_element(firstExports.begin(), firstExports.end()) * 1000.0);
    std::printf("vorlix -e=out.pdf one.fae, later starts: %.2f ms wall (best %.2f)\n",
        median(exports) * 1000.0, *std::min_element(exports.begin(), exports.end()) * 1000.0);
    std::printf("load before/after: %.2f/%.2f\n", loadBefore, loadAverage());
    return 0;
}
