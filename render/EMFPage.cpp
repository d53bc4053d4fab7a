#include "render/EMF.h"

#include "render/PageOutput.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PageView.h"

namespace vorlix::render {

using PageState = PageLifeCycle::PageState;

void EMF::setPrinterFactory(PageLifeCycle::PrinterFactory factory)
{
    m_pages.setPrinterFactory(std::move(factory));
}

void EMF::setDocumentName(const QString& name)
{
    m_pages.setDocumentName(name);
}

void EMF::PrinterOpen()
{
    shell::WriteLog(QStringLiteral("EMF/PrinterOpen>"));
    if (m_pages.job() == PageLifeCycle::JobState::Unbound)
        SetObject(m_pages.makeOwnPrinter(), 0, 400, 1.0, 2100, 2970, 0, 0);
    if (PageOutput* output = m_pages.output())
        output->begin(m_pages.documentName());
    m_pages.jobOpened();
}

void EMF::continueJob()
{
    m_pages.jobOpened();
}

void EMF::PrinterClose()
{
    shell::WriteLog(QStringLiteral("EMF/PrinterClose>"));
    m_pages.jobClosed();
    if (PageOutput* output = m_pages.output())
        output->endJob();
}

void EMF::Start()
{
    if (m_pages.needsJob())
        PrinterOpen();
    OpenEMF();
}

void EMF::OpenEMF()
{
    if (m_pages.page() != PageState::NoPage)
        DeleteEMF();
    const PageView* view = m_pages.view();
    m_mapping.openPage(view ? view->widthTwips() : 0.0);
    const QSize size = m_mapping.deviceSize();
    m_pages.open(m_mapping.referenceDpi(), m_mapping.frame(), size);
    shell::WriteLog(QStringLiteral("EMF/OpenEMF>hDC=%1 %2x%3")
                        .arg(m_pages.deviceNumber())
                        .arg(size.width())
                        .arg(size.height()));
    Home(0, 0, 0);
    dc().selectBrush({ true, 0 });
    m_pages.markRecording();
    PenNo(1);
    FontNo(1);
}

void EMF::CloseEMF()
{
    if (m_pages.page() != PageState::Recording)
        return;
    DelClip();
    m_slots.release();
    m_pages.close();
}

void EMF::DeleteEMF()
{
    shell::WriteLog(QStringLiteral("EMF/DeleteEMF>hDC=%1 Handle=%2")
                        .arg(m_pages.deviceNumber())
                        .arg(m_pages.pageNumber()));
    if (m_pages.page() == PageState::NoPage)
        return;
    CloseEMF();
    m_pages.discard();
}

void EMF::DispEMF()
{
    bool played = false;
    if (PageOutput* output = m_pages.output(); output && m_pages.closedPage())
        played = output->write(*m_pages.closedPage(), m_mapping.playbackRect());
    shell::WriteLog(QStringLiteral("EMF/DispEMF>PlayEMF=%1").arg(played ? 1 : 0));
}

std::shared_ptr<const PageRecord> EMF::Picture()
{
    CloseEMF();
    if (m_pages.page() == PageState::NoPage)
        return nullptr;
    return m_pages.closedPage();
}

void EMF::NewPage()
{
    if (m_pages.page() == PageState::NoPage)
        return;
    CloseEMF();
    if (m_mapping.isPreview()) {
        // The page stays on screen: the preview shares the page and keeps it.
        try {
            m_pages.view()->setPicture(Picture());
        } catch (...) {
            // A page the preview cannot take is simply not shown.
        }
        m_pages.markShown();
    } else {
        DispEMF();
        DeleteEMF();
    }
}

void EMF::EndDoc()
{
    if (m_pages.pending())
        NewPage();
    PrinterClose();
}

void EMF::KillDoc()
{
    CloseEMF();
    DeleteEMF();
}

}
