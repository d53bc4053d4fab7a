#include "window/DocumentExport.h"

#include "document/PrinterSettings.h"
#include "document/Source.h"
#include "render/FileSink.h"
#include "render/PrinterObject.h"
#include "window/DocumentDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace vorlix::window {

namespace {

    const QStringList& typeFilters()
    {
        static const QStringList filters { QStringLiteral("PDF (*.pdf)"),
            QStringLiteral("PNG (*.png)"), QStringLiteral("SVG (*.svg)") };
        return filters;
    }

    // "pdf" of "PDF (*.pdf)".
    QString suffixOf(const QString& filter)
    {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = pattern.match(filter);
        return match.hasMatch() ? match.captured(1) : QStringLiteral("pdf");
    }

    // The file a name of the dialog stands for, under the type filter chosen.
    QString withTypeSuffix(const QString& name, const QString& filter)
    {
        if (name.isEmpty() || render::FileSink::formatOf(name))
            return name;
        return name + u'.' + suffixOf(filter);
    }

    // The document's settings as they were before an export: its copies and the export file.
    class ExportScope {
    public:
        ExportScope(document::Source& source, const QString& file, QWidget* owner)
            : m_source(source)
            , m_owner(owner)
            , m_copies(source.printer().Copies)
        {
            render::PrinterObject::current().setExportFile(file);
        }
        ~ExportScope()
        {
            render::PrinterObject::current().setExportFile(QString());
            m_source.printer().Copies = m_copies;
            DocumentDialogs::install(m_source, m_owner);
        }
        ExportScope(const ExportScope&) = delete;
        ExportScope& operator=(const ExportScope&) = delete;

    private:
        document::Source& m_source;
        QWidget* m_owner;
        std::int32_t m_copies;
    };

}

QString DocumentExport::chooseFile(QWidget* owner, const QString& documentName)
{
    const QFileInfo document(documentName);
    const QString folder = documentName.isEmpty() || document.path() == u"."
        ? QDir::currentPath()
        : document.absolutePath();
    const QString base = document.completeBaseName().isEmpty() ? QStringLiteral("newfile")
                                                               : document.completeBaseName();
    QFileDialog dialog(owner, QStringLiteral("PDF に出力"), folder, typeFilters().join(u";;"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog behaves the same on every desktop and in the tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(base + QStringLiteral(".pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withTypeSuffix(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
}

DocumentExport::Outcome DocumentExport::write(
    document::Source& source, const QString& file, QWidget* owner)
{
    Outcome outcome;
    outcome.file = file;
    bool chosen = false;
    document::JobOutcome job;
    {
        const ExportScope scope(source, QFileInfo(file).absoluteFilePath(), owner);
        source.printJob().setPrintDialog(
            [&chosen, owner](document::PrinterSettings& printer, std::int32_t pages) {
                printer.Copies = 1;
                chosen = DocumentDialogs::chooseRange(printer, pages, owner);
                return chosen;
            });
        job = source.DocPrint();
    }
    if (job.outputFailed) {
        outcome.status = Outcome::Status::Failed;
        outcome.error = job.outputError;
    } else if (chosen) {
        outcome.status = Outcome::Status::Written;
    }
    return outcome;
}

}
