#pragma once

#include "render/PageTarget.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vorlix::render {

class PageRecord;
class PageRecorder;
class TextMetrics;
struct DeviceRect;

// Where the surface's target, print job and page stand: the output or view pages go to, whether a
// job is open on it, the device context a page records on and the closed page waiting to be output
// or shown. The surface drives it (Start, NewPage, EndDoc, KillDoc); this keeps the states and the
// resources, and tells which steps a state allows.
class PageLifeCycle {
public:
    enum class JobState {
        // Not bound to a target yet: the first job binds the system printer.
        Unbound,
        // Bound, no job opened since.
        Bound,
        Open,
        // Ended by "end"; a print target opens a new job for the next page (the next copy).
        Closed,
    };
    enum class PageState {
        NoPage,
        Recording,
        // Closed and not output yet.
        Closed,
        // Closed and handed to the preview, which keeps showing it.
        Shown,
    };

    explicit PageLifeCycle(std::shared_ptr<const TextMetrics> metrics);
    ~PageLifeCycle();
    PageLifeCycle(const PageLifeCycle&) = delete;
    PageLifeCycle& operator=(const PageLifeCycle&) = delete;

    // SetObject: pages go to target from now on; no job is open on it, a shown page counts as
    // not output yet, and text off the page is measured at referenceDpi.
    void bind(PageTarget target, int referenceDpi);
    [[nodiscard]] const std::optional<PageTarget>& target() const { return m_target; }
    // The print job's output the pages go to; null for a preview or before a binding.
    [[nodiscard]] PageOutput* output() const { return m_target ? m_target->output() : nullptr; }
    // The preview's view; null for a print job or before a binding.
    [[nodiscard]] PageView* view() const { return m_target ? m_target->view() : nullptr; }
    [[nodiscard]] JobState job() const { return m_job; }
    [[nodiscard]] PageState page() const { return m_page; }

    // Start opens a job first: none was opened since the binding, or a print target's job was
    // ended (each copy is a job of its own).
    [[nodiscard]] bool needsJob() const;
    void jobOpened() { m_job = JobState::Open; }
    void jobClosed();

    // OpenEMF: a fresh recording device for the page, numbered for the log. The page counts as
    // recording once the surface has set the device up (markRecording).
    void open(int dpi, const DeviceRect& frame, const QSize& deviceSize);
    void markRecording() { m_page = PageState::Recording; }
    // CloseEMF's last step: the recorded page becomes the closed page.
    void close();
    // DeleteEMF's last step: the closed page is freed (a preview showing it keeps it).
    void discard();
    // The preview has taken the closed page.
    void markShown() { m_page = PageState::Shown; }
    // EndDoc outputs the page first: one is recording or closed and not output yet.
    [[nodiscard]] bool pending() const;

    // The device context: recording while a page is open, drawing nowhere otherwise.
    [[nodiscard]] PageRecorder& device() { return *m_device; }
    [[nodiscard]] bool deviceRecording() const;
    [[nodiscard]] const std::shared_ptr<PageRecord>& closedPage() const { return m_closed; }
    // Numbers that stand for the recording device and the closed page in the log, as handles
    // did: unique within the process, 0 for none.
    [[nodiscard]] std::int64_t deviceNumber() const { return m_deviceNumber; }
    [[nodiscard]] std::int64_t pageNumber() const { return m_pageNumber; }

    // What an unbound surface's first job binds to: the current printer's jobs by default.
    using PrinterFactory = std::function<std::unique_ptr<PageOutput>()>;
    void setPrinterFactory(PrinterFactory factory) { m_printerFactory = std::move(factory); }
    [[nodiscard]] PageOutput& makeOwnPrinter();
    // The document name of print jobs: the given one, else the application's name.
    void setDocumentName(const QString& name) { m_documentName = name; }
    [[nodiscard]] QString documentName() const;

private:
    JobState m_job = JobState::Unbound;
    PageState m_page = PageState::NoPage;
    std::optional<PageTarget> m_target;
    std::unique_ptr<PageOutput> m_ownPrinter;
    PrinterFactory m_printerFactory;
    QString m_documentName;
    std::unique_ptr<PageRecorder> m_device;
    std::shared_ptr<PageRecord> m_closed;
    std::int64_t m_deviceNumber = 0;
    std::int64_t m_pageNumber = 0;
    // Calls of the last page, to reserve room for the next one.
    std::size_t m_lastPageCalls = 240;
};

}
