#pragma once

#include "shell/CommandLineOptions.h"
#include "shell/UserInterface.h"

#include <QString>
#include <deque>
#include <vector>

namespace vorlix::test {

// Someone at the screen: a window run mode (the window mode unless the view mode is set already)
// and a presenter that records every message and answers from a script, then always with one
// answer. Puts the run mode and the presenter back afterwards.
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
    // The answers to the next questions, in order (6 Yes, 7 No, 2 Cancel, 1 OK).
    std::deque<int> answers;

private:
    shell::RunModes m_savedMode;
    shell::MessagePresenter m_savedPresenter;
};

}
