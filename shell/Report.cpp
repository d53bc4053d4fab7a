#include "shell/Report.h"

namespace vorlix::shell {

void Report::note(Severity severity, std::int32_t position, const QString& message,
    std::int32_t errorNumber, const QString& failedStatement)
{
    if (severity == Severity::Error)
        fError = true;
    else
        fWarning = true;
    if (nErrPit == -1)
        nErrPit = position;
    if (sErrMsg.isEmpty())
        sErrMsg = message;
    if (ErrNumber == 0)
        ErrNumber = errorNumber;
    if (statement.isEmpty())
        statement = failedStatement;
}

void Report::add(const Report& later)
{
    if (later.fError)
        note(Severity::Error, later.nErrPit, later.sErrMsg, later.ErrNumber, later.statement);
    if (later.fWarning)
        note(Severity::Warning, later.nErrPit, later.sErrMsg, later.ErrNumber, later.statement);
}

}
