#include "document/InterpreterProblem.h"

#include "lang/DControl.h"
#include "shell/ModuleState.h"
#include "shell/UserInterface.h"

namespace vorlix::document {

bool reportInterpreterProblem(lang::DControl& control, const QString& endText, bool tell)
{
    if (control.report.clean())
        return false;
    // Ending the job starts a report of its own.
    const bool error = control.report.fError;
    control.GoDoc(endText);
    // An unattended run names every statement on standard error itself.
    if (tell && !shell::moduleState().commandLine.unattended())
        shell::ShowMessage(error ? QStringLiteral("Source/PrintGo>インタプリタエラー")
                                 : QStringLiteral("Source/PrintGo>インタプリタ警告"),
            0);
    return true;
}

}
