#pragma once

#include "shell/CommandLineOptions.h"
#include "shell/UserInterface.h"

#include <QString>
#include <vector>

namespace vorlix::test {

// Someone at the screen: the window run mode and a presenter that records every message and
// gives one answer. Puts the run mode and the presenter back afterwards.
class MessageRecorder {
public:
    struct Prompt {
        QString text;
        int style = 0;
        QString caption;
    };

    explicit MessageRecorder(int answer = 1);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Prompt> prompts;

private:
    shell::RunModes m_savedMode;
    shell::MessagePresenter m_savedPresenter;
};

}
