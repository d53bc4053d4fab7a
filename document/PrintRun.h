#pragma once

#include "document/JobOutcome.h"
#include "document/PagePipeline.h"
#include "document/SourceMerge.h"
#include "shell/DeferredOutput.h"

#include <exception>
#include <memory>
#include <optional>
#include <thread>

namespace vorlix::render {
class PrintOutput;
}

namespace vorlix::document {

class PagedDocument;
class SourcePrintJob;

// One print of the document by its print job. When the merge runs beside it, the run owns the
// merge's thread, the paged document growing under it and the log lines held until the merge has
// ended (dropped with the job after a failed merge); it always owns the job's output while it
// writes. It returns what the job came to.
class PrintRun {
public:
    explicit PrintRun(SourcePrintJob& job);
    // Waits for a merge still running.
    ~PrintRun();
    PrintRun(const PrintRun&) = delete;
    PrintRun& operator=(const PrintRun&) = delete;

    // Prints the last merge; nothing without a successful one.
    JobOutcome run();
    // Prints the document `pending` merges on a thread of the run's own: its pages are rendered
    // as the merge goes past them, but nothing reaches the output or the log before the merge
    // ended and succeeded; otherwise the job leaves no trace, as if it had never run.
    JobOutcome runBeside(SourceMerge::Pending pending);

private:
    void startMerge(SourceMerge::Pending& pending);
    // Waits for the merge's end, takes its result and then lets the held lines go (or drops
    // what follows); true when it succeeded.
    bool openGate(SourceMerge::Pending& pending);
    void joinMerge();
    // The job on `document`; with a gate, nothing is written before it opened.
    JobOutcome print(
        std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate);

    SourcePrintJob& m_job;
    std::thread m_merge;
    std::shared_ptr<PagedDocument> m_growing;
    std::exception_ptr m_mergeFailure;
    bool m_readable = true;
    shell::DeferredOutput m_held;
    shell::DeferredOutput m_dropped;
    std::optional<shell::DeferredOutput::Scope> m_holding;
    std::unique_ptr<render::PrintOutput> m_output;
};

}
