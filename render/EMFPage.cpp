#include "render/EMF.h"

#include "render/Checked.h"
#include "render/PageRecord.h"
#include "render/PageRecorder.h"
#include "render/PageSink.h"
#include "render/PrinterSink.h"

#include <QCoreApplication>
#include <atomic>

namespace vorlix::render {

using checked::rnd;

namespace {

    // Numbers that stand for the recording device and the closed page in the log, as handles
    // did: unique within the process, never 0.
    std::int64_t nextHandle()
    {
        static std::atomic<std::int64_t> counter { 0 };
        return ++counter;
    }

}

void EMF::setPrinterFactory(PrinterFactory factory)
{
    m_printerFactory = std::move(factory);
}

void EMF::PrinterOpen()
{
    shell::WriteLog(QStringLiteral("EMF/PrinterOpen>"));
    if (!m_initialised) {
        m_ownPrinter = m_printerFactory ? m_printerFactory() : PrinterSink::systemPrinter(400);
        SetObject(*m_ownPrinter, 0, 400, 1.0, 2100, 2970, 0, 0);
    }
    if (!m_isPreview && m_target) {
        const QString name
            = m_documentName.isEmpty() ? QCoreApplication::applicationName() : m_documentName;
        m_target->startDoc(name);
    }
    m_docOpen = true;
    m_docClosed = false;
}

void EMF::PrinterClose()
{
    shell::WriteLog(QStringLiteral("EMF/PrinterClose>"));
    m_docClosed = true;
    if (!m_isPreview && m_target)
        m_target->endDoc();
}

void EMF::Start()
{
    // A job closed by an earlier "end" is opened again, so that a second copy is printed too.
    if (!m_docOpen || (m_docClosed && !m_isPreview))
        PrinterOpen();
    m_pageDone = false;
    OpenEMF();
}

void EMF::OpenEMF()
{
    if (m_emfState > 0)
        DeleteEMF();
    computeDeviceSize();
    m_emfDC = std::make_unique<PageRecorder>(m_metrics, referenceDpi(), m_frameRect,
        QSize(m_devWidth, m_devHeight), m_lastPageCalls + m_lastPageCalls / 8 + 16);
    m_emfDCId = nextHandle();
    shell::WriteLog(
        QStringLiteral("EMF/OpenEMF>hDC=%1 %2x%3").arg(m_emfDCId).arg(m_devWidth).arg(m_devHeight));
    Home(0, 0, 0);
    m_emfDC->selectBrush({ true, 0 });
    m_savedBrush = true;
    m_emfState = 1;
    PenNo(1);
    FontNo(1);
}

void EMF::CloseEMF()
{
    if (!m_emfDC || m_emfState != 1)
        return;
    DelClip();
    ReleaseGdiObjects();
    m_emfHandle = std::make_shared<PageRecord>(m_emfDC->take());
    m_lastPageCalls = m_emfHandle->calls().size();
    m_emfHandleId = nextHandle();
    m_emfDC.reset();
    m_emfState = 2;
}

void EMF::DeleteEMF()
{
    shell::WriteLog(
        QStringLiteral("EMF/DeleteEMF>hDC=%1 Handle=%2").arg(m_emfDCId).arg(m_emfHandleId));
    if (m_emfState <= 0)
        return;
    if (m_emfState == 1)
        CloseEMF();
    // A picture made from the page shares it and keeps it alive.
    m_emfHandle.reset();
    m_emfDC.reset();
    m_emfDCId = 0;
    m_emfHandleId = 0;
    m_emfState = 0;
}

void EMF::DispEMF()
{
    const double twipsPerPixel = m_isPreview ? 15.0 : 1440.0 / m_dpi;
    const std::int32_t w = rnd(m_frameRect.right / twipsPerPixel * 0.567);
    const std::int32_t h = rnd(m_frameRect.bottom / twipsPerPixel * 0.567);
    bool played = false;
    if (m_target && m_emfHandle)
        played = m_target->playPage(*m_emfHandle, QRect(0, 0, w, h));
    shell::WriteLog(QStringLiteral("EMF/DispEMF>PlayEMF=%1").arg(played ? 1 : 0));
}

std::shared_ptr<const PageRecord> EMF::Picture()
{
    if (m_emfState == 1)
        CloseEMF();
    m_picture = m_emfState == 2 ? m_emfHandle : nullptr;
    return m_picture;
}

void EMF::NewPage()
{
    if (m_emfState > 0) {
        CloseEMF();
        if (m_isPreview) {
            // The page stays on screen: the preview shares the page and keeps it.
            if (m_target) {
                try {
                    m_target->setPicture(Picture());
                } catch (...) {
                    // A page the preview cannot take is simply not shown.
                }
            }
        } else {
            DispEMF();
            DeleteEMF();
        }
    }
    m_pageDone = true;
}

void EMF::EndDoc()
{
    if (!m_pageDone)
        NewPage();
    PrinterClose();
}

void EMF::KillDoc()
{
    CloseEMF();
    DeleteEMF();
}

}
