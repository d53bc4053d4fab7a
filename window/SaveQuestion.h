#pragma once

#include <QString>

namespace vorlix::window {

// The commands that may discard the edited text and therefore ask first.
enum class FileCommand {
    New,
    Open,
    Reload,
    Exit,
    NameBox,
};

// The save question and what each answer does, apart from any widget: the file commands follow
// the plan, and tests check every row with a scripted message presenter.
class SaveQuestion {
public:
    // ConfirmSave's results.
    enum Answer : int {
        Yes = 1,
        No = 2,
        Cancel = 3,
        NotEdited = 4,
    };

    // The question of a command: "名前を付けて保存しますか？" for Reload, else
    // "上書き保存しますか？".
    [[nodiscard]] static QString question(FileCommand command);

    // Asks (Yes/No/Cancel with the question icon) when the text was edited; NotEdited without
    // asking otherwise.
    [[nodiscard]] static Answer ConfirmSave(bool edited, const QString& question);

    // What the command does after an answer.
    struct Plan {
        // Save before going on.
        bool save = false;
        // The save asks for a name (Reload's save-as), otherwise it overwrites.
        bool askName = false;
        // Go on with the command (false only for Cancel).
        bool proceed = false;
    };
    [[nodiscard]] static Plan plan(FileCommand command, Answer answer);
};

}
