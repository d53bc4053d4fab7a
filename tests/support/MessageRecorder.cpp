#include "tests/support/MessageRecorder.h"

#include "shell/ModuleState.h"

namespace vorlix::test {

MessageRecorder::MessageRecorder(int answer)
    : m_savedMode(shell::moduleState().commandLine.RunMode)
    , m_savedPresenter(shell::moduleState().ui.presenter)
{
    auto& state = shell::moduleState();
    if (state.commandLine.unattended())
        state.commandLine.RunMode = shell::RunModes::Window;
    state.ui.presenter = [this, answer](const QString& text, int style, const QString& caption) {
        prompts.push_back({ text, style, caption });
        if (answers.empty())
            return answer;
        const int next = answers.front();
        answers.pop_front();
        return next;
    };
}

MessageRecorder::~MessageRecorder()
{
    auto& state = shell::moduleState();
    state.ui.presenter = m_savedPresenter;
    state.commandLine.RunMode = m_savedMode;
}

}
