#include "document/PrintRun.h"

#include "document/MergedDocument.h"
#include "document/PagedDocument.h"
#include "document/SourcePrintJob.h"
#include "lang/DControl.h"
#include "render/PrintOutput.h"
#include "shell/Log.h"

#include <QScopeGuard>

namespace vorlix::document {

PrintRun::PrintRun(SourcePrintJob& job)
    : m_job(job)
{
}

PrintRun::~PrintRun()
{
    joinMerge();
}

void PrintRun::joinMerge()
{
    if (m_merge.joinable())
        m_merge.join();
}

JobOutcome PrintRun::run()
{
    MergedDocument& merged = m_job.merged();
    merged.fPrCpOn = false;
    if (!merged.fMaScOn)
        return {};
    return print(merged.ManuScript, {});
}

void PrintRun::startMerge(SourceMerge::Pending& pending)
{
    m_growing = pending.growing;
    m_merge = std::thread([this, &pending] {
        try {
            m_readable = pending.work();
            if (!m_readable)
                m_growing->abandon();
        } catch (...) {
            m_mergeFailure = std::current_exception();
            m_growing->abandon();
        }
    });
}

// The merge ends (and logs its end) here, before anything of the job is written: the log reads
// as if the two had run one after the other.
bool PrintRun::openGate(SourceMerge::Pending& pending)
{
    m_holding.reset();
    joinMerge();
    if (m_mergeFailure)
        std::rethrow_exception(m_mergeFailure);
    const bool succeeded = m_readable && pending.take();
    if (succeeded)
        m_held.replay();
    else
        m_holding.emplace(m_dropped);
    return succeeded;
}

// The job's own lines (its interpreter's creation, the pages) are held until the merge has ended
// and logged its end; after a failed merge they are dropped with the job.
JobOutcome PrintRun::runBeside(SourceMerge::Pending pending)
{
    m_job.merged().fPrCpOn = false;
    m_holding.emplace(m_held);
    startMerge(pending);
    // The merge works on the data tree and `pending` until it has been waited for.
    const auto waited = qScopeGuard([this] {
        joinMerge();
        m_holding.reset();
    });
    bool gateRan = false;
    bool succeeded = false;
    const PagePipeline::OutputGate gate = [&] {
        gateRan = true;
        succeeded = openGate(pending);
        return succeeded;
    };
    JobOutcome outcome = print(m_growing, gate);
    // A job that ended before its first page (no printer) says so after the merge's end.
    if (!gateRan)
        gate();
    m_holding.reset();
    if (!succeeded) {
        m_job.merged().fPrCpOn = false;
        return {};
    }
    return outcome;
}

JobOutcome PrintRun::print(
    std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate)
{
    lang::DControl control;
    JobOutcome outcome;
    outcome.status = m_job.open(control, document, static_cast<bool>(gate));
    if (outcome.status == JobOutcome::Status::Printed) {
        m_output = m_job.createOutput();
        if (!m_output)
            outcome.status = JobOutcome::Status::NoPrinter;
        else
            outcome = m_job.printOn(control, *m_output, std::move(document), gate);
        // The output is done with once the job is: it goes before the job's end is logged.
        m_output.reset();
    }
    outcome.outputFailed = outcome.outputFailed || outcome.status == JobOutcome::Status::NoPrinter;
    shell::WriteLog(QStringLiteral("Source/PrintGo>DeleteDC=") + QString::number(0));
    return outcome;
}

}
