#include "lang/DControl.h"

#include "render/EMF.h"

// The statements that shape the document: page start and end, the end of the job, and the marks
// the merge leaves in the text.
namespace vorlix::lang {

DControl::ExecResult DControl::cmdStart()
{
    skipToken();
    m_surface->Start();
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdOut()
{
    m_msgLineY = 100;
    skipToken();
    fEndCmd = true;
    fNextPage = true;
    m_surface->NewPage();
    return ExecResult::Done;
}

// "end" reads nothing more: whatever follows it in the text is never run.
DControl::ExecResult DControl::cmdEnd()
{
    m_msgLineY = 100;
    fEndCmd = true;
    fNextPage = false;
    m_surface->EndDoc();
    return ExecResult::Stop;
}

// The merge marks; one argument may follow and is ignored.
DControl::ExecResult DControl::cmdHead()
{
    skipToken();
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdPiece()
{
    skipToken();
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdChbase()
{
    skipToken();
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdTag()
{
    skipToken();
    return ExecResult::Done;
}

// The merge's blocks leave nothing behind in a merged document; met in any other text, their
// statements are passed over whole.
DControl::ExecResult DControl::skipMergeStatement()
{
    QString token;
    while (!endsStatement(nextToken(token))) { }
    return ExecResult::Done;
}

DControl::ExecResult DControl::cmdRows()
{
    return skipMergeStatement();
}

DControl::ExecResult DControl::cmdEndrows()
{
    return skipMergeStatement();
}

DControl::ExecResult DControl::cmdLastpage()
{
    return skipMergeStatement();
}

DControl::ExecResult DControl::cmdEndlastpage()
{
    return skipMergeStatement();
}

DControl::ExecResult DControl::cmdNotlastpage()
{
    return skipMergeStatement();
}

DControl::ExecResult DControl::cmdEndnotlastpage()
{
    return skipMergeStatement();
}

}
