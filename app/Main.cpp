#include "app/Main.h"

#include "app/CommandLine.h"
#include "app/StartActions.h"
#include "document/Source.h"
#include "lang/SystemBeep.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/iniInit.h"
#include "shell/ui/MessageBoxPresenter.h"
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

    bool isTrue(const QString& value)
    {
        const QString v = value.trimmed().toLower();
        if (v == u"true")
            return true;
        if (v == u"false")
            return false;
        return shell::ToLong(v, 0) != 0;
    }

    void prepareSettings()
    {
        auto settings = std::make_shared<shell::InitFile>();
        moduleState().SettingsFile = settings;
        shell::iniInit(*settings).SetInit(QString());
        moduleState().DebugFlag = isTrue(settings->GetString(
            QStringLiteral("general"), QStringLiteral("Debug"), QStringLiteral("False")));
        WriteLog(QStringLiteral("Vorlix/Main>DebugFlag=")
            + (moduleState().DebugFlag ? QStringLiteral("True") : QStringLiteral("False")));
    }

    // Applies the printer, paper and orientation switches to the printer object (and records them).
    void applyPrinterSwitches()
    {
        auto& state = moduleState();
        auto& printer = render::PrinterObject::current();
        const auto& settings = state.SettingsFile;
        if (state.RunMode == shell::RunModeExport && settings) {
            // An export has no printer to ask: it starts from the paper used last.
            printer.setPaperSize(
                shell::ToLong(settings->GetString(QStringLiteral("general"),
                                  QStringLiteral("PaperSize"), QStringLiteral("9")),
                    9));
            printer.setOrientation(
                shell::ToLong(settings->GetString(QStringLiteral("general"),
                                  QStringLiteral("Orientation"), QStringLiteral("1")),
                    1));
        }
        if (!state.ArgPrinter.isEmpty() && printer.SelectPrinter(state.ArgPrinter).isEmpty()
            && state.ArgPrinter.toLower() != u"default" && state.RunMode == shell::RunModePrint) {
            reportToStandardError(state.ArgPrinter + QStringLiteral(": プリンタが見つかりません"));
            unknownPrinter() = true;
        }
        if (!state.ArgPaper.isEmpty()) {
            const auto code = shell::PaperSizeCode(state.ArgPaper);
            if (settings)
                settings->SetString(
                    QStringLiteral("general"), QStringLiteral("PaperType"), QString::number(code));
            printer.setPaperSize(code);
        }
        if (state.ArgOrient != 0) {
            if (settings)
                settings->SetString(QStringLiteral("general"), QStringLiteral("PaperOrient"),
                    QString::number(state.ArgOrient));
            printer.setOrientation(state.ArgOrient);
        }
    }

    // The window modes: the main window with the start document; the program lives as long as
    // the window.
    int runWindow()
    {
        auto source = std::static_pointer_cast<document::Source>(moduleState().TheSource);
        int status = 0;
        {
            window::Menu menu(*source);
            OpenStartDocument();
            menu.show();
            status = QApplication::exec();
        }
        source.reset();
        shell::EndApp();
        return status;
    }

    bool hasDisplay()
    {
        return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")
            || std::getenv("QT_QPA_PLATFORM");
    }

    int runUnattended()
    {
        auto& state = moduleState();
        JobStatus status = JobStatus::Success;
        if (unknownPrinter()) {
            status = JobStatus::Failed;
        } else if (state.RunMode == shell::RunModePrint) {
            status = CommandLinePrint(state.InputFile);
        } else if (state.RunMode == shell::RunModeMerge) {
            status = CommandLineMerg(state.InputFile, state.OutputFile);
        } else {
            status = CommandLineExport(state.InputFile, state.OutputFile);
        }
        shell::EndApp();
        return static_cast<int>(status);
    }

}

int Main(int argc, char** argv)
{
    if (unattendedArguments(argc, argv) && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!hasDisplay()) {
        // Without a display Qt cannot open a window and would abort.
        reportToStandardError(
            QStringLiteral("no display for the window; use -p, -m=OUT or -e=OUT, or set DISPLAY"));
        return static_cast<int>(JobStatus::MissingFile);
    }
    // A log written into a closed pipe must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlix"));
    QApplication::setApplicationVersion(QStringLiteral(VORLIX_VERSION));

    auto& state = moduleState();
    state.DebugFlag = true;
    shell::obtainStdOutHandle();
    WriteLog(QStringLiteral("Vorlix/Main>!!START!!"));
    prepareSettings();
    render::PrinterObject::install();
    shell::setUnattendedMessageSink([](const QString& prompt) { reportToStandardError(prompt); });
    shell::installMessageBoxPresenter();
    shell::installWebFile();
    lang::setSystemBeep([] { QApplication::beep(); });

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    ParseCommandLine(prepareCommandLine(arguments));
    applyPrinterSwitches();
    state.TheSource = std::make_shared<document::Source>();

    if (state.RunMode == shell::RunModePrint || state.RunMode == shell::RunModeMerge
        || state.RunMode == shell::RunModeExport)
        return runUnattended();

    return runWindow();
}

}
