#include "document/Source.h"

#include "document/PrintRun.h"

#include <optional>

namespace vorlix::document {

Source::Source()
    : m_printer(PrinterSettings::current())
    , m_preview(m_printer, m_merged)
    , m_merge(m_file, m_caret, m_merged)
    , m_printJob(m_printer, m_merged, m_preview, m_file)
{
    m_file.setTextReplaced([this] { m_merge.forget(); });
}

Source::~Source()
{
    m_printer.store();
}

void Source::SetObject(SourceEditor* editor, PreviewTarget* picture)
{
    m_file.setEditor(editor);
    m_caret.setEditor(editor);
    m_preview.setPicture(picture);
}

JobOutcome Source::DocPrint()
{
    JobOutcome outcome = print();
    // The interpreter ran the face: its problems are the face's (the document itself when it
    // is the face program).
    if (outcome.status == JobOutcome::Status::InterpreterProblem)
        outcome.file
            = m_merge.face().name == u"InternalBuff" ? m_file.FileName() : m_merge.face().file;
    return outcome;
}

JobOutcome Source::print()
{
    PrintRun run(m_printJob);
    if (!m_mergeBesideJob) {
        if (!SrcMerg(m_file.Text()))
            return {};
        return run.run();
    }
    std::optional<JobOutcome> printed;
    const auto beside = [&run, &printed](SourceMerge::Pending pending) {
        printed = run.runBeside(std::move(pending));
    };
    if (!m_merge.SrcMerg(m_file.Text(), beside))
        return {};
    // A merge that had to run here first (its face came over the network) prints after it.
    return printed ? *printed : run.run();
}

void Source::PreView(std::int32_t page)
{
    if (SrcMerg(m_file.Text()))
        m_preview.PageView(page, true);
}

bool Source::OpenPrintDet()
{
    if (!m_printDetails)
        return false;
    const bool confirmed = m_printDetails(m_printer);
    m_preview.bindPreview();
    return confirmed;
}

}
