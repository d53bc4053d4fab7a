#include "drovik/DrovikMain.h"

#include "drovik/Downloader.h"
#include "drovik/DrovikOptions.h"
#include "drovik/Fetchers.h"
#include "drovik/SharedSettings.h"
#include "drovik/StandardStreams.h"
#include "drovik/frmDrovik.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/ProgramInfo.h"
#include "shell/Setting.h"
#include "shell/ui/MessageBoxPresenter.h"
#include "shell/ui/QtTranslations.h"

#include <QApplication>
#include <QCoreApplication>
#include <csignal>
#include <unistd.h>

namespace vorlix::drovik {

using shell::moduleState;
using shell::WriteLog;

namespace {

    enum ExitStatus : int {
        Success = 0,
        Incomplete = 1,
        Usage = 2,
    };

    QStringList argumentsOf(int argc, char** argv)
    {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        return arguments;
    }

    void nameApplication()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Drovik"));
        QCoreApplication::setApplicationVersion(QStringLiteral(VORLIX_VERSION));
    }

    // The start every run shares with Vorlix's: the log, then the settings file.
    void start()
    {
        auto& state = moduleState();
        state.DebugFlag = true;
        shell::obtainStdOutHandle();
        WriteLog(QStringLiteral("Vorlix/Main>!!START!!"));
        state.SettingsFile = SharedSettings::open();
        state.DebugFlag = shell::settingFlag(QStringLiteral("general"), QStringLiteral("Debug"));
        WriteLog(QStringLiteral("Vorlix/Main>DebugFlag=") + shell::flagText(state.DebugFlag));
    }

    void end()
    {
        moduleState().SettingsFile.reset();
        WriteLog(QStringLiteral("Vorlix/Main>!!END!!"));
    }

    // -y: the button's steps without a window; the question goes to standard error with the
    // transcript and is answered yes.
    int runUnattended(const QString& url)
    {
        installFetchers(FetchWindow::None);
        Downloader downloader(writeTranscriptLine, [](const QString& prompt) {
            for (const QString& line : prompt.split(QStringLiteral("\r\n")))
                writeTranscriptLine(line);
            return true;
        });
        const QString webFolder = url.isEmpty() ? SharedSettings::webFolder() : url;
        const DownloadResult result = downloader.run(webFolder, SharedSettings::sheetFolder());
        end();
        return result.complete() ? Success : Incomplete;
    }

    int runWindow()
    {
        shell::installMessageBoxPresenter();
        installFetchers(FetchWindow::Progress);
        int status = Success;
        {
            frmDrovik window;
            window.show();
            status = QApplication::exec();
        }
        end();
        return status;
    }

}

int Main(int argc, char** argv)
{
    const DrovikOptions options = DrovikOptions::parse(argumentsOf(argc, argv));
    switch (options.action) {
    case DrovikOptions::Action::Help:
        writeText(STDOUT_FILENO, DrovikOptions::helpText());
        return Success;
    case DrovikOptions::Action::Version:
        writeText(STDOUT_FILENO, shell::versionText(QStringLiteral("drovik")));
        return Success;
    case DrovikOptions::Action::UsageError:
        writeText(STDERR_FILENO,
            QStringLiteral("drovik: ") + options.error
                + QStringLiteral("\nUsage: drovik [-y [URL]]; drovik --help tells more\n"));
        return Usage;
    case DrovikOptions::Action::Window:
    case DrovikOptions::Action::Unattended:
        break;
    }
    // A log or transcript written into a closed pipe must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    if (options.action == DrovikOptions::Action::Unattended) {
        QCoreApplication application(argc, argv);
        nameApplication();
        start();
        return runUnattended(options.url);
    }
    // Without a display Qt would abort when the window's application starts.
    if (!shell::hasDisplay()) {
        writeText(STDERR_FILENO, QStringLiteral("drovik: no display for the window; use -y\n"));
        return Usage;
    }
    QApplication application(argc, argv);
    const shell::QtTranslations translations;
    nameApplication();
    start();
    return runWindow();
}

}
