#include "render/PageLifeCycle.h"

#include "render/OwnPrintJob.h"
#include "render/PageOutput.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"

#include <QCoreApplication>
#include <atomic>

namespace vorlix::render {

namespace {

    std::int64_t nextNumber()
    {
        static std::atomic<std::int64_t> counter { 0 };
        return ++counter;
    }

}

PageLifeCycle::PageLifeCycle(std::shared_ptr<const TextMetrics> metrics)
    : m_device(std::make_unique<PageRecorder>(std::move(metrics), 400))
{
}

PageLifeCycle::~PageLifeCycle() = default;

void PageLifeCycle::bind(PageTarget target, int referenceDpi)
{
    m_target = target;
    m_job = JobState::Bound;
    if (m_page == PageState::Shown)
        m_page = PageState::Closed;
    m_device->setIdleDpi(referenceDpi);
}

bool PageLifeCycle::needsJob() const
{
    return m_job == JobState::Unbound || m_job == JobState::Bound
        || (m_job == JobState::Closed && output());
}

void PageLifeCycle::jobClosed()
{
    // A job that was never opened stays unopened: the next page opens it either way.
    if (m_job == JobState::Open)
        m_job = JobState::Closed;
}

void PageLifeCycle::open(int dpi, const DeviceRect& frame, const QSize& deviceSize)
{
    m_device->begin(dpi, frame, deviceSize, m_lastPageCalls + m_lastPageCalls / 8 + 16);
    m_deviceNumber = nextNumber();
}

void PageLifeCycle::close()
{
    m_closed = std::make_shared<PageRecord>(m_device->take());
    m_lastPageCalls = m_closed->calls().size();
    m_pageNumber = nextNumber();
    m_page = PageState::Closed;
}

void PageLifeCycle::discard()
{
    m_closed.reset();
    m_deviceNumber = 0;
    m_pageNumber = 0;
    m_page = PageState::NoPage;
}

bool PageLifeCycle::pending() const
{
    return m_page == PageState::Recording || m_page == PageState::Closed;
}

bool PageLifeCycle::deviceRecording() const
{
    return m_device->recording();
}

PageOutput& PageLifeCycle::makeOwnPrinter()
{
    m_ownPrinter = m_printerFactory ? m_printerFactory() : std::make_unique<OwnPrintJob>();
    return *m_ownPrinter;
}

QString PageLifeCycle::documentName() const
{
    return m_documentName.isEmpty() ? QCoreApplication::applicationName() : m_documentName;
}

}
