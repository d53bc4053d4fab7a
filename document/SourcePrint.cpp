#include "document/PreviewTarget.h"
#include "document/Source.h"
#include "document/SourceEditor.h"
#include "render/FileSink.h"
#include "render/PageRecord.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/Convert.h"
#include "shell/ModuleState.h"

#include <cmath>

namespace vorlix::document {

using shell::moduleState;
using shell::WriteLog;

namespace {

    constexpr double kTwipsPerUnit = 5.67;

    // Keeps every copy of a document in one print job: the interpreter ends its job after each
    // rendering of the page range, but the job itself ends only when the last copy is done.
    class CopiesJob final : public render::PageSink {
    public:
        explicit CopiesJob(render::PageSink& job)
            : m_job(job)
        {
        }

        [[nodiscard]] bool isPrinter() const override { return true; }
        [[nodiscard]] int technology() const override { return m_job.technology(); }
        bool startDoc(const QString& documentName) override
        {
            if (m_started)
                return true;
            m_started = true;
            return m_job.startDoc(documentName);
        }
        bool playPage(const render::PageRecord& page, const QRect& rect) override
        {
            if (!m_started)
                startDoc(QString());
            const bool played = m_job.playPage(page, rect);
            m_failed = m_failed || !played;
            return played;
        }
        void endDoc() override { }
        void setPicture(std::shared_ptr<const render::PageRecord>) override { }

        // Ends the real job; false when any page could not be played.
        bool finish()
        {
            if (m_started)
                m_job.endDoc();
            return !m_failed;
        }

    private:
        render::PageSink& m_job;
        bool m_started = false;
        bool m_failed = false;
    };

    bool unattended()
    {
        const auto mode = moduleState().RunMode;
        return mode != shell::RunModeWindow && mode != shell::RunModeView;
    }

}

void Source::SetWidth(std::int32_t w)
{
    m_width = w;
    if (m_picture)
        m_picture->setWidthTwips(w * kTwipsPerUnit * m_picRatio);
}

void Source::SetHeight(std::int32_t h)
{
    m_height = h;
    if (m_picture)
        m_picture->setHeightTwips(h * kTwipsPerUnit * m_picRatio);
}

void Source::bindPreview()
{
    SetWidth(shell::PaperExtent(1, PaperSize, Orientation));
    SetHeight(shell::PaperExtent(2, PaperSize, Orientation));
    if (m_picture)
        oCt.SetObject(*m_picture, 0, DPI, m_picRatio, m_width, m_height, 0, 0);
}

void Source::SetObject(SourceEditor* editor, PreviewTarget* picture)
{
    m_editor = editor;
    m_picture = picture;
    noEditor = (editor == nullptr);
    if (m_editor && !bufferText.isEmpty()) {
        m_editor->setText(bufferText);
        bufferText.clear();
    }
    bindPreview();
}

void Source::setPicRatio(double ratio)
{
    if (!(ratio > 0.0) || !std::isfinite(ratio))
        return;
    m_picRatio = ratio;
    SetWidth(m_width);
    SetHeight(m_height);
    if (m_picture)
        oCt.setRatio(ratio);
}

void Source::reportInterpreter(lang::DControl& control, const QString& endText)
{
    if (!control.fError && !control.fWarning)
        return;
    fInterpreterProblem = true;
    const bool error = control.fError;
    control.GoDoc(endText);
    shell::ShowMessage(error ? QStringLiteral("Source/PrintGo>インタプリタエラー")
                             : QStringLiteral("Source/PrintGo>インタプリタ警告"),
        0);
}

void Source::PreView(std::int32_t page)
{
    if (SrcMerg(Text()))
        PageView(page, true);
}

void Source::PageView(std::int32_t page, bool reload)
{
    if (!m_picture)
        return;
    if (reload) {
        oCt.SetDoc(ManuScript);
        Page = oCt.Page();
    }
    if (page > Page)
        page = 1;
    fInterpreterProblem = false;
    oCt.PagePrint(page, page);
    reportInterpreter(oCt, QStringLiteral(";end;"));
}

bool Source::DocPrint()
{
    if (!SrcMerg(Text()))
        return false;
    return PrintGo();
}

bool Source::OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset)
{
    auto& printer = render::PrinterObject::current();
    bool confirmed = true;
    if (unattended() || !m_printDialog) {
        PaperSize = static_cast<std::int16_t>(printer.PaperSize());
        Orientation = static_cast<std::int16_t>(printer.Orientation());
        SetWidth(static_cast<std::int32_t>(
            shell::roundHalfEven(printer.pageWidthTwips() / kTwipsPerUnit)));
        SetHeight(static_cast<std::int32_t>(
            shell::roundHalfEven(printer.pageHeightTwips() / kTwipsPerUnit)));
    } else {
        confirmed = m_printDialog(*this);
    }
    // The unprintable margin, in tenths of a millimetre.
    xOffset = static_cast<std::int32_t>(shell::roundHalfEven(
        (printer.pageWidthTwips() - printer.printableWidthTwips()) / kTwipsPerUnit / 2.0));
    yOffset = static_cast<std::int32_t>(shell::roundHalfEven(
        (printer.pageHeightTwips() - printer.printableHeightTwips()) / kTwipsPerUnit / 2.0));
    return confirmed;
}

bool Source::PrintGo()
{
    fPrCpOn = false;
    fOutputFailed = false;
    fInterpreterProblem = false;
    if (!fMaScOn)
        return false;
    lang::DControl control;
    control.SetDoc(ManuScript);
    Page = control.Page();
    std::int32_t xOffset = 0;
    std::int32_t yOffset = 0;
    const bool confirmed = OpenPrintDlg(xOffset, yOffset);
    if (confirmed) {
        auto job = render::PrinterObject::current().createJob(DPI);
        if (!job) {
            fOutputFailed = true;
            shell::ShowMessage(QStringLiteral("プリンタがありません"), 0);
        } else {
            CopiesJob copies(*job);
            control.surface().setDocumentName(m_title);
            control.SetObject(copies, 0, DPI, 1.0, m_width, m_height, xOffset, yOffset);
            control.setLag(PaperLeftLag, PaperTopLag);
            control.PagePrint(FromPage, ToPage);
            if (control.fError || control.fWarning) {
                reportInterpreter(control, QStringLiteral(";;;end;"));
            } else {
                for (std::int32_t copy = 2; copy <= Copies; ++copy)
                    control.PagePrint(FromPage, ToPage);
                fPrCpOn = true;
                WriteLog(QStringLiteral("Source/PrintGo>fPrCpOn=True"));
            }
            fOutputFailed = !copies.finish();
            if (auto* file = dynamic_cast<render::FileSink*>(job.get()))
                fOutputFailed = !file->finish() || fOutputFailed;
        }
    }
    WriteLog(QStringLiteral("Source/PrintGo>DeleteDC=") + QString::number(0));
    return fPrCpOn;
}

// ---- Editor caret operations ----

std::int32_t Source::LineStart()
{
    const QString text = m_editor->text();
    std::int32_t p = m_editor->selectionStart();
    p = std::clamp<std::int32_t>(p, 0, static_cast<std::int32_t>(text.size()));
    while (p > 0 && text[p - 1] != u'\n')
        --p;
    m_editor->setSelectionStart(p);
    return p;
}

std::int32_t Source::PLT() const
{
    if (noEditor || !m_editor)
        return 0;
    return m_editor->selectionStart();
}

void Source::setPLT(std::int32_t position)
{
    if (noEditor || !m_editor)
        return;
    m_editor->setSelectionStart(
        std::clamp<std::int32_t>(position, 0, static_cast<std::int32_t>(m_editor->text().size())));
}

void Source::topPLT()
{
    if (!noEditor && m_editor)
        m_editor->setSelectionStart(0);
}

void Source::prevPLT()
{
    if (noEditor || !m_editor)
        return;
    const std::int32_t p = LineStart();
    if (p > 0) {
        m_editor->setSelectionStart(p - 1);
        LineStart();
    }
}

void Source::nextPLT()
{
    if (noEditor || !m_editor)
        return;
    const QString text = m_editor->text();
    const std::int32_t p = std::max(m_editor->selectionStart(), 1);
    const qsizetype c = text.indexOf(QStringLiteral("\r\n"), p - 1);
    if (c >= 0) {
        m_editor->setSelectionStart(static_cast<std::int32_t>(c) + 2);
        return;
    }
    m_editor->setText(text + QStringLiteral("\r\n"));
    m_editor->setSelectionStart(static_cast<std::int32_t>(text.size()) + 2);
}

QString Source::DefaultLine()
{
    if (noEditor || !m_editor)
        return {};
    const std::int32_t p = LineStart();
    const QString text = m_editor->text();
    qsizetype end = text.indexOf(QStringLiteral("\r\n"), p);
    if (end < 0)
        end = text.size();
    const QString line = text.mid(p, end - p);
    m_editor->setSelectionLength(static_cast<std::int32_t>(line.size()));
    return line;
}

void Source::AddItem(const QString& text)
{
    if (noEditor || !m_editor)
        return;
    LineStart();
    m_editor->setSelectionLength(0);
    m_editor->replaceSelection(text + QStringLiteral("\r\n"));
}

}
