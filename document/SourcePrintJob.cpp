#include "document/SourcePrintJob.h"

#include "document/InterpreterProblem.h"
#include "document/MergedDocument.h"
#include "document/PagePipeline.h"
#include "document/PrintRun.h"
#include "document/PrinterSettings.h"
#include "document/SourceFile.h"
#include "document/SourcePreview.h"
#include "lang/DControl.h"
#include "render/PageRecord.h"
#include "render/PrintOutput.h"
#include "render/PrinterObject.h"
#include "shell/Convert.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/UserInterface.h"

namespace vorlix::document {

using shell::WriteLog;

namespace {

    constexpr double kTwipsPerUnit = 5.67;

    // Twips of the printer to tenths of a millimetre.
    std::int32_t faceUnits(double twips)
    {
        return static_cast<std::int32_t>(shell::roundHalfEven(twips / kTwipsPerUnit));
    }

    // The unprintable margin on one side, in tenths of a millimetre.
    std::int32_t halfMargin(double unprintableTwips)
    {
        return static_cast<std::int32_t>(
            shell::roundHalfEven(unprintableTwips / kTwipsPerUnit / 2.0));
    }

    // Keeps every copy of a document in one print job: the interpreter ends its job after each
    // rendering of the page range, but the job itself ends only when the last copy is done.
    class CopiesJob final : public render::PageOutput {
    public:
        explicit CopiesJob(render::PageOutput& job)
            : m_job(job)
        {
        }

        [[nodiscard]] int technology() const override { return m_job.technology(); }
        bool begin(const QString& documentName) override
        {
            if (m_started)
                return true;
            m_started = true;
            return m_job.begin(documentName);
        }
        bool write(const render::PageRecord& page, const QRect& rect) override
        {
            if (!m_started)
                begin(QString());
            return counted(m_job.write(page, rect));
        }
        [[nodiscard]] std::shared_ptr<const render::PdfPreparedPage> prepare(
            const render::PageRecord& page, const QRect& rect) const override
        {
            return m_job.prepare(page, rect);
        }
        bool writePrepared(const render::PdfPreparedPage& page) override
        {
            if (!m_started)
                begin(QString());
            return counted(m_job.writePrepared(page));
        }
        // Every copy's end is the interpreter's; the job's is finish().
        void endJob() override { }
        [[nodiscard]] bool failed() const override { return m_failed; }

        // Ends the real job; false when any page could not be written.
        bool finish()
        {
            if (m_started)
                m_job.endJob();
            return !m_failed;
        }
        // Pages the job took, every copy counted.
        [[nodiscard]] std::int32_t pages() const { return m_pages; }

    private:
        bool counted(bool played)
        {
            if (played)
                ++m_pages;
            m_failed = m_failed || !played;
            return played;
        }

        render::PageOutput& m_job;
        bool m_started = false;
        bool m_failed = false;
        std::int32_t m_pages = 0;
    };

}

SourcePrintJob::SourcePrintJob(PrinterSettings& printer, MergedDocument& merged,
    SourcePreview& preview, const SourceFile& file)
    : m_printer(printer)
    , m_merged(merged)
    , m_preview(preview)
    , m_file(file)
{
}

// Without a dialog the printer's own paper and page size are used.
void SourcePrintJob::takePrinterPage()
{
    const auto& device = render::PrinterObject::current();
    m_printer.PaperSize = static_cast<std::int16_t>(device.PaperSize());
    m_printer.Orientation = static_cast<std::int16_t>(device.Orientation());
    m_preview.SetWidth(faceUnits(device.pageWidthTwips()));
    m_preview.SetHeight(faceUnits(device.pageHeightTwips()));
}

JobOutcome::Status SourcePrintJob::askPrintDialog()
{
    const std::int16_t paper = m_printer.PaperSize;
    const std::int16_t orientation = m_printer.Orientation;
    if (!m_printDialog(m_printer, m_merged.Page))
        return JobOutcome::Status::Cancelled;
    // What the dialog confirmed is the user's choice, to be kept beyond this run.
    m_printer.fRunPaper = false;
    m_printer.fRunOrientation = false;
    if (m_printer.PaperSize != paper || m_printer.Orientation != orientation)
        m_preview.showPaperChange();
    auto& device = render::PrinterObject::current();
    const QString selected = device.SelectPrinter(m_printer.DeviceName);
    if (!selected.isEmpty()) {
        m_printer.usePrinter(selected);
    } else if (device.exportFile().isEmpty()) {
        // The chosen printer has gone since the dialog listed it (or there never was one).
        shell::ShowMessage(m_printer.DeviceName.isEmpty()
                ? QStringLiteral("プリンタがありません")
                : m_printer.DeviceName + QStringLiteral(": プリンタが見つかりません"),
            0);
        return JobOutcome::Status::NoPrinter;
    }
    // Selecting a printer starts from its own paper: the chosen one goes with it.
    device.setPaperSize(m_printer.PaperSize);
    device.setOrientation(m_printer.Orientation);
    WriteLog(QStringLiteral("Source/OpenPrintDlg>hDC=0"));
    return JobOutcome::Status::Printed;
}

JobOutcome::Status SourcePrintJob::OpenPrintDlg(std::int32_t& xOffset, std::int32_t& yOffset)
{
    auto chosen = JobOutcome::Status::Printed;
    if (shell::moduleState().commandLine.unattended() || !m_printDialog)
        takePrinterPage();
    else
        chosen = askPrintDialog();
    const auto& device = render::PrinterObject::current();
    xOffset = halfMargin(device.pageWidthTwips() - device.printableWidthTwips());
    yOffset = halfMargin(device.pageHeightTwips() - device.printableHeightTwips());
    return chosen;
}

PagePipeline::Binding SourcePrintJob::binding() const
{
    PagePipeline::Binding binding;
    binding.dpi = m_printer.DPI;
    binding.width = m_printer.Width;
    binding.height = m_printer.Height;
    binding.marginX = m_xOffset;
    binding.marginY = m_yOffset;
    // The corrections adjust a printer's paper feed; a file has none.
    if (render::PrinterObject::current().exportFile().isEmpty()) {
        binding.lagX = m_printer.PaperLeftLag;
        binding.lagY = m_printer.PaperTopLag;
    }
    const QString& argTitle = shell::moduleState().commandLine.ArgTitle;
    binding.documentName = argTitle.isEmpty() ? m_file.title() : argTitle;
    return binding;
}

JobOutcome SourcePrintJob::PrintGo()
{
    return PrintRun(*this).run();
}

JobOutcome::Status SourcePrintJob::open(
    lang::DControl& control, std::shared_ptr<const PagedDocument> document, bool growing)
{
    control.SetDoc(std::move(document));
    if (!growing)
        m_merged.Page = control.Page();
    return OpenPrintDlg(m_xOffset, m_yOffset);
}

std::unique_ptr<render::PrintOutput> SourcePrintJob::createOutput() const
{
    auto job = render::PrinterObject::current().createJob(m_printer.DPI);
    if (!job)
        shell::ShowMessage(QStringLiteral("プリンタがありません"), 0);
    return job;
}

JobOutcome SourcePrintJob::printOn(lang::DControl& control, render::PrintOutput& job,
    std::shared_ptr<const PagedDocument> document, const PagePipeline::OutputGate& gate)
{
    JobOutcome outcome;
    CopiesJob copies(job);
    const PagePipeline pages(binding());
    pages.bind(control, copies);
    // The output counts only once it is committed (a file renamed into place, a queue's job
    // handed over): its pages need not wait for the merge.
    std::function<bool()> mergeEnded;
    if (gate)
        mergeEnded = [document] { return document->ended(); };
    if (!pages.PagePrint(control, copies, m_printer.FromPage, m_printer.ToPage, gate, mergeEnded)) {
        job.discard();
        return outcome;
    }
    m_merged.Page = control.Page();
    outcome.report = control.report;
    if (reportInterpreterProblem(control, QStringLiteral(";;;end;"))) {
        outcome.status = JobOutcome::Status::InterpreterProblem;
    } else {
        for (std::int32_t copy = 2; copy <= m_printer.Copies && !copies.failed(); ++copy)
            pages.PagePrint(control, copies, m_printer.FromPage, m_printer.ToPage);
        m_merged.fPrCpOn = true;
        outcome.status = JobOutcome::Status::Printed;
        WriteLog(QStringLiteral("Source/PrintGo>fPrCpOn=True"));
    }
    const bool played = copies.finish();
    outcome.outputFailed = !job.commit() || !played;
    outcome.pages = copies.pages();
    finishOutput(job, outcome);
    return outcome;
}

// A printer's job tells its number, or why it failed in the printer's own words.
void SourcePrintJob::finishOutput(const render::PrintOutput& job, JobOutcome& outcome) const
{
    outcome.jobId = job.jobId();
    if (outcome.jobId > 0)
        WriteLog(QStringLiteral("Source/PrintGo>JobId=") + QString::number(outcome.jobId));
    const QString& exportFile = render::PrinterObject::current().exportFile();
    outcome.toFile = !exportFile.isEmpty();
    if (!outcome.outputFailed)
        return;
    outcome.outputError = job.error();
    outcome.file = outcome.toFile ? exportFile : m_printer.DeviceName;
    if (outcome.status == JobOutcome::Status::Printed)
        outcome.status = JobOutcome::Status::OutputFailed;
}

}
