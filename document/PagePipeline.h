#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace vorlix::lang {
class DControl;
}
namespace vorlix::render {
class PageOutput;
}

namespace vorlix::document {

// Renders the pages of a print job on worker threads while the calling thread plays them into
// the job in page order. Each worker owns an interpreter and a surface of its own, shares only
// the document's text (read-only), and renders a page at a time into a page record; it keeps at
// most a few pages ahead of the writer, so memory does not grow with the range. Every page starts
// as if it were the first (DControl::startIndependentPage), and the log lines, beeps and job calls
// a page causes are played back with it, so the job and the log come out the same whatever the
// number of threads.
class PagePipeline {
public:
    // How the job's interpreters are bound (SetObject and setLag) and what the job is called.
    struct Binding {
        std::int32_t dpi = 400;
        std::int32_t width = 2100; // page size in tenths of a millimetre
        std::int32_t height = 2970;
        std::int32_t marginX = 0; // unprintable margins in tenths of a millimetre
        std::int32_t marginY = 0;
        std::int32_t lagX = 0; // the printer's position corrections
        std::int32_t lagY = 0;
        QString documentName;
    };

    explicit PagePipeline(Binding binding, int threads = threadCount());

    // Binds the job's own interpreter (the one that read the document) to the job.
    void bind(lang::DControl& control, render::PageOutput& job) const;
    // Decides, on the calling thread, whether anything of the job may be written: it may wait
    // (for the merge of the document the workers already render); false drops the job unwritten.
    using OutputGate = std::function<bool()>;

    // What control.PagePrint(from, to) does on the job control is bound to, with the pages
    // rendered by the workers: afterwards control.report holds what the whole range met. The
    // document may still be growing: the workers take each page once the merge is past it, and
    // the end of the range waits for the end of the document. With a gate, nothing reaches the
    // job or the log before the gate let it (the workers render ahead meanwhile); false when it
    // did not. A job whose output can still be thrown away (a file that takes its name only at
    // the end) is given `mergeEnded`: its pages are written while the merge runs, only its log
    // lines are held (in the DeferredOutput current on the calling thread), and the gate is asked
    // as soon as mergeEnded() says so.
    bool PagePrint(lang::DControl& control, render::PageOutput& job, std::int32_t from,
        std::int32_t to, const OutputGate& gate = {},
        const std::function<bool()>& mergeEnded = {}) const;

    // The number of worker threads print jobs use: VORLIX_THREADS when it is set to a number
    // from 1 to 64, else one per processor.
    [[nodiscard]] static int threadCount();
    // Overrides the number for this process; 0 returns to the default.
    static void setThreadCount(int threads);

    class Range;

private:
    // The pages a range covers, clamped as PagePrint clamps them.
    struct Extent {
        std::int64_t first = 1;
        std::int64_t last = 1;
        // Too small for workers: the interpreter's own PagePrint runs it.
        bool sequential = false;
    };
    [[nodiscard]] static Extent extentOf(
        const lang::DControl& control, std::int32_t from, std::int32_t to);

    // One worker: renders the pages it claims from the range until none is left.
    void work(Range& range, const lang::DControl& control, render::PageOutput& job) const;

    Binding m_binding;
    int m_threads;
};

}
