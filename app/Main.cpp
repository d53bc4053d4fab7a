#include "app/Main.h"

#include "app/BesideStartUp.h"
#include "app/CommandLine.h"
#include "app/SignalWatch.h"
#include "app/StartActions.h"
#include "app/TheSource.h"
#include "render/AllocatorTuning.h"
#include "render/FontSubstitutions.h"
#include "render/FontWarmUp.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/ProgramInfo.h"
#include "shell/QtMessageRoute.h"
#include "shell/RegisterShell.h"
#include "shell/Setting.h"
#include "shell/iniInit.h"
#include "shell/ui/MessageBoxPresenter.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/WebFile.h"
#include "window/Menu.h"

#include <QApplication>
#include <QStringList>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace vorlix::app {

using shell::moduleState;
using shell::WriteLog;

namespace {

    // Set when "-r=" named a printer that does not exist: the print job cannot run as asked.
    bool& unknownPrinter()
    {
        static bool unknown = false;
        return unknown;
    }

    // The run mode the first argument asks for, known before the application object exists so that
    // unattended runs can choose a platform that needs no display.
    bool unattendedArguments(int argc, char** argv)
    {
        if (argc < 2)
            return false;
        const QString first = QString::fromLocal8Bit(argv[1]).toLower();
        return first == u"-p" || first == u"/p" || first.startsWith(u"-m=")
            || first.startsWith(u"/m=") || first.startsWith(u"-e=") || first.startsWith(u"/e=");
    }

    // A merge or an export needs no printer: CUPS is never asked, so a slow or silent server
    // cannot hold them up.
    bool printerlessArguments(int argc, char** argv)
    {
        if (argc < 2)
            return false;
        const QString first = QString::fromLocal8Bit(argv[1]).toLower();
        return first.startsWith(u"-m=") || first.startsWith(u"/m=") || first.startsWith(u"-e=")
            || first.startsWith(u"/e=");
    }

    void prepareSettings()
    {
        auto& state = moduleState();
        state.SettingsFile = std::make_unique<shell::InitFile>();
        shell::iniInit(*state.SettingsFile).SetInit(QString());
        state.DebugFlag = shell::settingFlag(QStringLiteral("general"), QStringLiteral("Debug"));
        WriteLog(QStringLiteral("Vorlix/Main>DebugFlag=") + shell::flagText(state.DebugFlag));
    }

    // The first start writes the file association; afterwards only a "True" set again by hand
    // does (the options dialog writes it itself).
    void registerOnFirstStart()
    {
        const QString reg = QStringLiteral("reg");
        if (!shell::settingFlag(reg, QStringLiteral("chkreg")))
            return;
        shell::RegisterShell();
        shell::storeSetting(reg, QStringLiteral("chkreg"), shell::flagText(false));
    }

    // Applies the printer, paper and orientation switches to the printer object (and records them).
    void applyPrinterSwitches()
    {
        const auto& options = moduleState().commandLine;
        auto& printer = render::PrinterObject::current();
        const QString general = QStringLiteral("general");
        const bool exporting = options.RunMode == shell::RunModes::Export;
        if (exporting) {
            // An export has no printer to ask: it starts from the paper used last.
            printer.setPaperSize(shell::settingLong(general, QStringLiteral("PaperSize")));
            printer.setOrientation(shell::settingLong(general, QStringLiteral("Orientation")));
        }
        if (!exporting && !options.ArgPrinter.isEmpty()
            && printer.SelectPrinter(options.ArgPrinter).isEmpty()
            && options.ArgPrinter.toLower() != u"default"
            && options.RunMode == shell::RunModes::Print) {
            const QString problem = printer.serverProblem();
            reportToStandardError(problem.isEmpty()
                    ? options.ArgPrinter + QStringLiteral(": プリンタが見つかりません")
                    : problem);
            unknownPrinter() = true;
        }
        if (!options.ArgPaper.isEmpty()) {
            const auto code = shell::PaperSizeCode(options.ArgPaper);
            shell::storeSetting(general, QStringLiteral("PaperType"), QString::number(code));
            printer.setPaperSize(code);
        }
        if (options.ArgOrient != 0) {
            shell::storeSetting(
                general, QStringLiteral("PaperOrient"), QString::number(options.ArgOrient));
            printer.setOrientation(options.ArgOrient);
        }
    }

    // What the entry lends the libraries: message boxes, the beep, the progress window of HTTP
    // fetches, and standard error for the messages of unattended runs. Pending events during a
    // long run are the window's business: it installs that hook while it exists.
    void installUserInterface()
    {
        auto& ui = moduleState().ui;
        ui.unattended = [](const QString& prompt) { reportToStandardError(prompt); };
        ui.beep = [] { QApplication::beep(); };
        shell::installMessageBoxPresenter();
        shell::installWebFile();
    }

    // The window modes: the main window with the start document; the program lives as long as
    // the window, and the window's end is the program's.
    int runWindow()
    {
        // Qt's own dialogs and buttons speak the user's language; the program's texts are its own.
        const shell::QtTranslations translations;
        if (translations.installed()) {
            WriteLog(QStringLiteral("Vorlix/Main>Qt の翻訳:")
                + shell::QtTranslations::languageOf(QLocale::system()).name());
        }
        int status = 0;
        {
            window::Menu menu(TheSource());
            OpenStartDocument();
            menu.show();
            status = QApplication::exec();
        }
        EndApp();
        return status;
    }

    int runUnattended()
    {
        const auto& options = moduleState().commandLine;
        JobStatus status = JobStatus::Success;
        if (unknownPrinter()) {
            status = JobStatus::Failed;
        } else if (options.RunMode == shell::RunModes::Print) {
            status = CommandLinePrint(options.InputFile);
        } else if (options.RunMode == shell::RunModes::Merge) {
            status = CommandLineMerg(options.InputFile, options.OutputFile);
        } else {
            status = CommandLineExport(options.InputFile, options.OutputFile);
        }
        EndApp();
        return static_cast<int>(status);
    }

}

int Main(int argc, char** argv)
{
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const auto answered
        = shell::answerHelpOrVersion(rawArguments, QStringLiteral("vorlix"), usage()))
        return *answered;
    const bool unattended = unattendedArguments(argc, argv);
    // Unattended runs need no display: offscreen, unless a usable platform was chosen.
    if (unattended && (!std::getenv("QT_QPA_PLATFORM") || !shell::hasDisplay()))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (unattended)
        shell::routeQtMessages(shell::buildQtMessageRoute(), QStringLiteral("vorlix"));
    if (!shell::hasDisplay()) {
        // Without a display Qt cannot open a window and would abort.
        reportToStandardError(
            QStringLiteral("no display for the window; use -p, -m=OUT or -e=OUT"));
        return static_cast<int>(JobStatus::MissingFile);
    }
    // A log written into a closed pipe must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    // A signal that ends a job first removes its partial files and cancels its print job.
    watchEndingSignals();
    render::keepLargeBuffersInHeap();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlix"));
    QApplication::setApplicationVersion(QStringLiteral(VORLIX_VERSION));
    // The fonts, then the default printer, are made ready beside the settings and the document
    // read; both need the application object, which outlives the helper.
    render::installFontSubstitutions();
    if (printerlessArguments(argc, argv))
        render::PrinterObject::current().forgoPrinter();
    const BesideStartUp beside(
        { render::warmUpFonts, [] { render::PrinterObject::current().lookUpDefaultPrinter(); } });

    moduleState().DebugFlag = true;
    shell::obtainStdOutHandle();
    WriteLog(QStringLiteral("Vorlix/Main>!!START!!"));
    prepareSettings();
    render::PrinterObject::install();
    registerOnFirstStart();
    installUserInterface();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    ParseCommandLine(prepareCommandLine(arguments));
    if (!commandLineProblem().isEmpty()) {
        reportToStandardError(commandLineProblem() + QStringLiteral(" (vorlix --help)"));
        EndApp();
        return static_cast<int>(JobStatus::UsageError);
    }
    applyPrinterSwitches();
    createTheSource();

    if (moduleState().commandLine.unattended())
        return runUnattended();

    return runWindow();
}

}
