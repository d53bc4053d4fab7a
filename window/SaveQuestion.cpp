#include "window/SaveQuestion.h"

#include "shell/ModuleState.h"

namespace vorlix::window {

namespace {

    // Yes/No/Cancel with the question icon, and the answers as the platform numbers them.
    constexpr int QuestionStyle = 35;
    constexpr int AnswerYes = 6;
    constexpr int AnswerNo = 7;

}

QString SaveQuestion::question(FileCommand command)
{
    return command == FileCommand::Reload ? QStringLiteral("名前を付けて保存しますか？")
                                          : QStringLiteral("上書き保存しますか？");
}

SaveQuestion::Answer SaveQuestion::ConfirmSave(bool edited, const QString& question)
{
    if (!edited)
        return NotEdited;
    const int answer = shell::ShowMessage(
        QStringLiteral("ソースリストが変更されています") + QStringLiteral("\r\n") + question,
        QuestionStyle);
    if (answer == AnswerYes)
        return Yes;
    if (answer == AnswerNo)
        return No;
    return Cancel;
}

SaveQuestion::Plan SaveQuestion::plan(FileCommand command, Answer answer)
{
    if (answer == Cancel)
        return {};
    if (answer == Yes)
        return { true, command == FileCommand::Reload, true };
    return { false, false, true };
}

}
