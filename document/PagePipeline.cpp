#include "document/PagePipeline.h"

#include "lang/DControl.h"
#include "render/EMF.h"
#include "render/PageOutput.h"
#include "render/PageRecord.h"
#include "render/PdfPreparedPage.h"
#include "shell/DeferredOutput.h"
#include "shell/Report.h"
#include "shell/UserInterface.h"

#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vorlix::document {

using shell::DeferredOutput;

namespace {

    std::atomic<int> g_threadOverride { 0 };

    // Pages the workers may render ahead of the writer while the job's output is held back: the
    // merge of a thousand invoices is over before they get this far, and the pages kept (some
    // 14 KB each for a PDF) stay a few megabytes.
    constexpr std::int64_t AheadWhileHeld = 256;

    // Milliseconds between two rounds of the window's event handling while the writer waits.
    constexpr int EventInterval = 20;

    // A worker's print output: the job calls are not made here but kept with the log lines of
    // the page being rendered, so that the writing thread makes them in order.
    class DeferredJob final : public render::PageOutput {
    public:
        // Calls made before the first page go with the worker's own lines.
        DeferredJob(render::PageOutput& job, DeferredOutput& beforeFirstPage)
            : m_job(job)
            , m_technology(job.technology())
            , m_destination(&beforeFirstPage)
        {
        }

        // The page being rendered from now on: its calls go with its lines, whatever output
        // is current on the thread.
        void renderInto(DeferredOutput& page) { m_destination = &page; }

        [[nodiscard]] int technology() const override { return m_technology; }
        bool begin(const QString& documentName) override
        {
            defer([job = &m_job, documentName] { job->begin(documentName); });
            return true;
        }
        bool write(const render::PageRecord& page, const QRect& rect) override
        {
            // An output that prepares its pages does the page's work here, on the worker; the
            // writing thread only appends the result.
            if (auto prepared = m_job.prepare(page, rect)) {
                defer([job = &m_job, prepared] { job->writePrepared(*prepared); });
                return true;
            }
            auto copy = std::make_shared<const render::PageRecord>(page);
            defer([job = &m_job, copy, rect] { job->write(*copy, rect); });
            return true;
        }
        void endJob() override
        {
            defer([job = &m_job] { job->endJob(); });
        }

    private:
        void defer(std::function<void()> action) { m_destination->addAction(std::move(action)); }

        render::PageOutput& m_job;
        int m_technology;
        DeferredOutput* m_destination;
    };

    // What rendering one page came to.
    struct PageResult {
        DeferredOutput output;
        shell::Report report;
        std::exception_ptr error;
    };

}

// The pages of one range: which page the next worker takes, which the writer waits for, and
// the finished pages not written yet. The last page may only become known when a worker finds
// the document ending before it.
class PagePipeline::Range {
public:
    Range(std::int64_t first, std::int64_t last, std::int64_t window)
        : m_first(first)
        , m_last(last)
        , m_next(first)
        , m_written(first)
        , m_window(window)
    {
    }

    [[nodiscard]] std::int64_t first() const { return m_first; }

    // The next page for a worker, waiting while it would run too far ahead; 0 when done.
    std::int64_t claim()
    {
        std::unique_lock lock(m_lock);
        m_changed.wait(
            lock, [this] { return m_stopped || m_next > m_last || m_next - m_written < m_window; });
        if (m_stopped || m_next > m_last)
            return 0;
        return m_next++;
    }

    void deliver(std::int64_t page, PageResult result)
    {
        {
            const std::lock_guard lock(m_lock);
            m_done.emplace(page, std::move(result));
        }
        m_changed.notify_all();
    }

    // The document has no page `page`: the range ends before it.
    void endBefore(std::int64_t page)
    {
        {
            const std::lock_guard lock(m_lock);
            m_last = std::min(m_last, page - 1);
        }
        m_changed.notify_all();
    }

    // How far the workers may run ahead of the writer.
    void setWindow(std::int64_t window)
    {
        {
            const std::lock_guard lock(m_lock);
            m_window = window;
        }
        m_changed.notify_all();
    }

    // The page the writer needs next, once a worker has finished it; nothing once the range
    // has ended before it.
    std::optional<PageResult> take(std::int64_t page)
    {
        QElapsedTimer events;
        events.start();
        std::unique_lock lock(m_lock);
        for (;;) {
            const auto found = m_done.find(page);
            if (found != m_done.end()) {
                PageResult result = std::move(found->second);
                m_done.erase(found);
                m_written = page + 1;
                lock.unlock();
                m_changed.notify_all();
                return result;
            }
            if (page > m_last)
                return std::nullopt;
            m_changed.wait_for(lock, std::chrono::milliseconds(EventInterval));
            if (events.hasExpired(EventInterval)) {
                lock.unlock();
                shell::HandlePendingEvents();
                events.restart();
                lock.lock();
            }
        }
    }

    void stop()
    {
        {
            const std::lock_guard lock(m_lock);
            m_stopped = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    const std::int64_t m_first;
    std::int64_t m_last;
    std::int64_t m_next;
    std::int64_t m_written;
    std::int64_t m_window;
    bool m_stopped = false;
    std::map<std::int64_t, PageResult> m_done;
};

namespace {

    // Stops and joins the workers however the writer leaves.
    class Workers {
    public:
        explicit Workers(PagePipeline::Range& range)
            : m_range(range)
        {
        }
        ~Workers()
        {
            m_range.stop();
            for (std::thread& thread : m_threads)
                thread.join();
        }
        Workers(const Workers&) = delete;
        Workers& operator=(const Workers&) = delete;

        template <typename F> void start(F&& work)
        {
            m_threads.emplace_back(std::forward<F>(work));
        }

    private:
        PagePipeline::Range& m_range;
        std::vector<std::thread> m_threads;
    };

}

PagePipeline::PagePipeline(Binding binding, int threads)
    : m_binding(std::move(binding))
    , m_threads(std::clamp(threads, 1, 64))
{
}

int PagePipeline::threadCount()
{
    if (const int forced = g_threadOverride.load(); forced > 0)
        return forced;
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("VORLIX_THREADS", &ok);
    if (ok && fromEnvironment >= 1 && fromEnvironment <= 64)
        return fromEnvironment;
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 64);
}

void PagePipeline::setThreadCount(int threads)
{
    g_threadOverride = std::max(threads, 0);
}

void PagePipeline::bind(lang::DControl& control, render::PageOutput& job) const
{
    control.surface().setDocumentName(m_binding.documentName);
    control.SetObject(job, 0, m_binding.dpi, 1.0, m_binding.width, m_binding.height,
        m_binding.marginX, m_binding.marginY);
    control.setLag(m_binding.lagX, m_binding.lagY);
}

void PagePipeline::work(Range& range, const lang::DControl& control, render::PageOutput& job) const
{
    // The workers' own interpreters are not the job's: their life goes unlogged.
    DeferredOutput unlogged;
    const DeferredOutput::Scope quiet(unlogged);
    std::unique_ptr<lang::DControl> worker;
    std::exception_ptr setupError;
    try {
        worker = std::make_unique<lang::DControl>();
        worker->shareDocument(control);
    } catch (...) {
        setupError = std::current_exception();
    }
    DeferredJob deferred(job, unlogged);
    if (worker)
        bind(*worker, deferred);
    const lang::PagedText* document = control.pagedText();
    while (const std::int64_t page = range.claim()) {
        if (document && !document->waitForPage(static_cast<std::int32_t>(page))) {
            range.endBefore(page);
            continue;
        }
        PageResult result;
        result.error = setupError;
        if (!result.error) {
            try {
                const DeferredOutput::Scope scope(result.output);
                deferred.renderInto(result.output);
                if (page != range.first())
                    worker->surface().continueJob();
                worker->startIndependentPage();
                worker->renderPage(static_cast<std::int32_t>(page));
                result.report = worker->report;
            } catch (...) {
                // The writer stops the job at this page, as a failure outside a statement stops
                // PagePrint.
                result.error = std::current_exception();
                setupError = result.error;
            }
            deferred.renderInto(unlogged);
        }
        range.deliver(page, std::move(result));
    }
}

bool PagePipeline::PagePrint(lang::DControl& control, render::PageOutput& job, std::int32_t from,
    std::int32_t to, const OutputGate& gate, const std::function<bool()>& mergeEnded) const
{
    const Extent extent = extentOf(control, from, to);
    if (extent.sequential) {
        if (gate && !gate())
            return false;
        control.PagePrint(from, to);
        return true;
    }
    const bool writeAhead = gate && mergeEnded;
    // Held back, the workers render well ahead: the merge they wait for runs beside them.
    Range range(
        extent.first, extent.last, gate && !writeAhead ? AheadWhileHeld : 2 * m_threads + 2);
    shell::Report report;
    {
        Workers workers(range);
        for (int i = 0; i < m_threads; ++i)
            workers.start([this, &range, &control, &job] { work(range, control, job); });
        bool held = static_cast<bool>(gate);
        if (held && !writeAhead) {
            if (!gate())
                return false;
            held = false;
        }
        range.setWindow(2 * m_threads + 2);
        for (std::int64_t page = range.first();; ++page) {
            if (held && mergeEnded()) {
                if (!gate())
                    return false;
                held = false;
            }
            std::optional<PageResult> result = range.take(page);
            if (!result)
                break;
            result->output.replay();
            if (result->error)
                std::rethrow_exception(result->error);
            report.add(result->report);
            // An output that failed (a queue that went away, a full disk) takes nothing more.
            if (job.failed())
                break;
        }
        if (held && !gate())
            return false;
    }
    control.GoDoc(QStringLiteral(";end;"));
    report.add(control.report);
    control.report = report;
    return true;
}

// The range as PagePrint clamps it: a first page beyond the document means the first, a last
// page beyond it (or none) the last. A document still growing is only waited for as far as the
// first page; its last page is found by the workers.
PagePipeline::Extent PagePipeline::extentOf(
    const lang::DControl& control, std::int32_t from, std::int32_t to)
{
    Extent extent;
    const lang::PagedText* document = control.pagedText();
    if (!document) {
        const std::int32_t pages = control.Page();
        if (from < 1 || from > pages)
            from = 1;
        if (to < 1 || to > pages)
            to = pages;
        extent.sequential = control.documentSize() <= 10 || pages < 1;
        extent.first = from;
        extent.last = std::max(from, to);
        return extent;
    }
    if (!document->waitForPage(from))
        from = 1;
    extent.sequential = !document->waitForPage(1)
        || (document->bodySizeSoFar() <= 10 && document->bodySize() <= 10);
    extent.first = from;
    extent.last = to >= 1 ? std::max(from, to) : std::numeric_limits<std::int32_t>::max();
    return extent;
}

}
