#pragma once

#include "document/Source.h"
#include "shell/InitFile.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ScopedModuleState.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <memory>

namespace vorlix::test {

// The answers of a message box, as the platform numbers them.
enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The texts of the messages a recorder saw, in order.
inline QStringList promptTexts(const MessageRecorder& messages)
{
    QStringList texts;
    for (const auto& prompt : messages.prompts)
        texts << prompt.text;
    return texts;
}

// A temporary home that is also the current folder, with a fresh settings file, a window run
// mode, the invoice sample and the source document.
class WindowEnvironment {
public:
    explicit WindowEnvironment(shell::RunModes runMode = shell::RunModes::Window)
        : state(runMode)
        , m_oldDir(QDir::currentPath())
    {
        QDir::setCurrent(env.root());
        state.startSettings();
        const QString samples = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/samples/";
        for (const char* name : { "invoice.mnd", "invoice.fae", "sample-face.fae" })
            QFile::copy(samples + name, env.root() + '/' + name);
        source = std::make_unique<document::Source>();
    }
    ~WindowEnvironment()
    {
        // The document writes its settings as it ends, before the settings object goes.
        source.reset();
        QDir::setCurrent(m_oldDir);
    }
    WindowEnvironment(const WindowEnvironment&) = delete;
    WindowEnvironment& operator=(const WindowEnvironment&) = delete;

    [[nodiscard]] QString path(const QString& name) const { return env.root() + '/' + name; }
    [[nodiscard]] shell::InitFile& settings() { return *shell::moduleState().SettingsFile; }

    TempEnvironment env;
    ScopedModuleState state;
    std::unique_ptr<document::Source> source;

private:
    QString m_oldDir;
};

}
