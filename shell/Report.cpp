#include "shell/Report.h"

#include <utility>

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

void Report::noteStatement(StatementProblem problem)
{
    // Every page runs the head again: its statements are one each, not one per page.
    if (problem.page == 0) {
        for (const StatementProblem& kept : problems) {
            if (kept.page == 0 && kept.offset == problem.offset && kept.message == problem.message)
                return;
        }
    }
    if (problems.size() < KeptProblems)
        problems.push_back(std::move(problem));
    else
        ++moreProblems;
}

void Report::add(const Report& later)
{
    for (const StatementProblem& problem : later.problems)
        noteStatement(problem);
    moreProblems += later.moreProblems;
    if (later.fError)
        note(Severity::Error, later.nErrPit, later.sErrMsg, later.ErrNumber, later.statement);
    if (later.fWarning)
        note(Severity::Warning, later.nErrPit, later.sErrMsg, later.ErrNumber, later.statement);
}

}
