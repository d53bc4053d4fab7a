#pragma once

#include "document/Source.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/iniInit.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <deque>
#include <memory>

namespace vorlix::test {

// Answers ShowMessage from a script (6 Yes, 7 No, 2 Cancel, 1 OK) and records every prompt, so
// that a test sees each question the window asks. An unscripted question is answered Cancel.
class ScriptedMessages {
public:
    ScriptedMessages()
    {
        shell::setMessagePresenter([this](const QString& prompt, int style, const QString&) {
            prompts << prompt;
            styles.push_back(style);
            if (answers.empty())
                return 2;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedMessages() { shell::setMessagePresenter({}); }
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    std::deque<int> answers;
    QStringList prompts;
    std::vector<int> styles;
};

// A temporary home with a fresh settings file, the window run mode, the invoice sample copied
// into the current folder, and the source document.
class WindowEnvironment {
public:
    explicit WindowEnvironment(std::int32_t runMode = shell::RunModeWindow)
        : m_oldDir(QDir::currentPath())
    {
        QDir::setCurrent(env.root());
        auto settings = std::make_shared<shell::InitFile>();
        shell::iniInit(*settings).SetInit(QString());
        shell::moduleState().SettingsFile = settings;
        shell::moduleState().RunMode = runMode;
        const QString samples = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/samples/";
        for (const char* name : { "invoice.mnd", "invoice.fae", "sample-face.fae" })
            QFile::copy(samples + name, env.root() + '/' + name);
        source = std::make_unique<document::Source>();
    }
    ~WindowEnvironment()
    {
        source.reset();
        auto& state = shell::moduleState();
        state.SettingsFile.reset();
        state.RunMode = 0;
        state.ApplicationTitle.clear();
        QDir::setCurrent(m_oldDir);
    }
    WindowEnvironment(const WindowEnvironment&) = delete;
    WindowEnvironment& operator=(const WindowEnvironment&) = delete;

    [[nodiscard]] QString path(const QString& name) const { return env.root() + '/' + name; }
    [[nodiscard]] shell::InitFile& settings() { return *shell::moduleState().SettingsFile; }

    TempEnvironment env;
    std::unique_ptr<document::Source> source;

private:
    QString m_oldDir;
};

}
