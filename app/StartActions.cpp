#include "app/StartActions.h"

#include "app/TheSource.h"
#include "document/Source.h"
#include "render/FileSink.h"
#include "render/PrinterObject.h"
#include "shell/CodePage.h"
#include "shell/Common.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/Setting.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace vorlix::app {

using document::Source;
using document::SourceFile;
using shell::moduleState;
using shell::WriteLog;

namespace {

    // Data documents of at least this many bytes are read in a stream, one record at a time:
    // VORLIX_STREAM_FROM when set to a number (0: every one; -1: none), else a size below which
    // the whole read is the quicker.
    std::int64_t streamFrom()
    {
        constexpr std::int64_t kDefault = std::int64_t(4) << 20;
        bool ok = false;
        const qlonglong fromEnvironment
            = qEnvironmentVariable("VORLIX_STREAM_FROM").trimmed().toLongLong(&ok);
        return ok ? std::max<qlonglong>(fromEnvironment, -1) : kDefault;
    }

    // Checks that the input names an existing, readable file; reports and tells why not.
    std::optional<JobStatus> checkInput(const QString& file)
    {
        if (file.isEmpty())
            return JobStatus::MissingFile;
        if (file.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
            return std::nullopt;
        const QFileInfo info(shell::localPath(file));
        if (!info.exists()) {
            reportToStandardError(file + QStringLiteral(": ファイルがありません"));
            return JobStatus::MissingFile;
        }
        if (info.isDir()) {
            reportToStandardError(
                file + QStringLiteral(": フォルダです。ファイルを指定してください"));
            return JobStatus::Failed;
        }
        return std::nullopt;
    }

    // Reads the input into the source; Failed when it could not be read.
    std::optional<JobStatus> readInput(const QString& file)
    {
        if (auto problem = checkInput(file))
            return problem;
        SourceFile& document = TheSource().document();
        TheSource().merge().setReleaseText(true);
        document.setStreamFrom(streamFrom());
        document.setFileName(file);
        if (!document.InBuff(false))
            return JobStatus::Failed;
        return std::nullopt;
    }

    // The face's file as the messages name it: the face program itself, or a data document's.
    QString faceFile(const QString& inputFile)
    {
        const document::SourceMerge::Face& face = TheSource().merge().face();
        return face.name == u"InternalBuff" ? inputFile : face.file;
    }

    // "FACE:LINE:COLUMN", and the record for a data document's page, of a statement the
    // interpreter reported; the face's name alone when the statement is none of the face's.
    QString placeOf(const QString& file, const shell::Report::StatementProblem& problem)
    {
        const auto& document = TheSource().merged().ManuScript;
        const auto place
            = document ? document->placeOf(problem, TheSource().merge().face().text) : std::nullopt;
        if (!place)
            return file;
        QString text = file + QStringLiteral(":%1:%2").arg(place->line).arg(place->column);
        if (place->record > 0)
            text += QStringLiteral(": record %1").arg(place->record);
        return text;
    }

    // Every statement of the job that failed or was stray gets one line, as many as the report
    // kept, and the rest a count.
    void reportInterpreterProblems(const document::JobOutcome& outcome)
    {
        constexpr qsizetype QuotedStatement = 80;
        const shell::Report& report = outcome.report;
        const QString& file = outcome.file;
        if (report.problems.empty() && report.fError && !report.sErrMsg.isEmpty()) {
            reportToStandardError(file + QStringLiteral(": ") + QString::number(report.ErrNumber)
                + u':' + report.sErrMsg);
            return;
        }
        for (const shell::Report::StatementProblem& problem : report.problems) {
            reportToStandardError(placeOf(file, problem) + QStringLiteral(": ")
                + problem.statement.left(QuotedStatement) + QStringLiteral(": ") + problem.message);
        }
        if (report.moreProblems > 0)
            reportToStandardError(
                QStringLiteral("%1 more statements with problems").arg(report.moreProblems));
    }

    // Statements dropped for a reference not found are no failure, but leave a trace.
    void reportDropped(const QString& inputFile)
    {
        const document::Merge::Dropped& dropped = TheSource().merge().dropped();
        if (dropped.count == 0)
            return;
        reportToStandardError(QStringLiteral("%1 %2 dropped: %3:%4:%5 %6 not found")
                                  .arg(dropped.count)
                                  .arg(dropped.count == 1 ? QStringLiteral("statement")
                                                          : QStringLiteral("statements"))
                                  .arg(faceFile(inputFile))
                                  .arg(dropped.line)
                                  .arg(dropped.column)
                                  .arg(dropped.reference));
    }

    // Reports what went wrong in reading or merging, with file, line and column; nothing when the
    // merge went well.
    std::optional<JobStatus> statusAfterMerge(const QString& inputFile)
    {
        Source& source = TheSource();
        const document::SourceMerge& merge = source.merge();
        const shell::Report& report = merge.report();
        reportDropped(inputFile);
        if (!merge.fTagOn && !report.clean()) {
            reportToStandardError(inputFile + u':' + merge.lineColumn(report.nErrPit)
                + QStringLiteral(": ") + report.sErrMsg);
            return JobStatus::Failed;
        }
        if (merge.fTagOn && !source.merged().fMaScOn && !report.clean()) {
            reportToStandardError(merge.face().file + u':'
                + document::SourceMerge::lineColumnIn(merge.face().text, report.nErrPit)
                + QStringLiteral(": ") + report.sErrMsg);
            return JobStatus::Failed;
        }
        if (merge.face().missing) {
            reportToStandardError(merge.face().name == document::Tree::NoLabel
                    ? inputFile
                        + QStringLiteral(": the data document names no face (<face> element)")
                    : QStringLiteral("face file not found: ") + merge.face().name);
            return JobStatus::Failed;
        }
        return std::nullopt;
    }

    // Reports what went wrong in reading, merging, rendering or writing: a printer's failure as
    // it happened, first; a file's last, named as the user gave it (outputName).
    JobStatus statusAfterJob(const QString& inputFile, const document::JobOutcome& outcome,
        const QString& outputName = {})
    {
        const auto tell = [](const QString& line) {
            if (!line.isEmpty())
                reportToStandardError(line);
        };
        if (!outcome.toFile)
            tell(outcome.outputProblem(outcome.file));
        JobStatus status = JobStatus::Failed;
        if (const auto failed = statusAfterMerge(inputFile)) {
            status = *failed;
        } else {
            if (outcome.status == document::JobOutcome::Status::InterpreterProblem)
                reportInterpreterProblems(outcome);
            status = outcome.printed() ? JobStatus::Success : JobStatus::Failed;
        }
        if (outcome.toFile)
            tell(outcome.outputProblem(outputName));
        return status;
    }

    // The paged document goes out a block at a time: it is never whole in memory, neither as
    // text nor encoded.
    bool writeMerged(const QString& outputFile, const document::PagedDocument& paged)
    {
        QSaveFile out(shell::localPath(outputFile));
        if (!out.open(QIODevice::WriteOnly)) {
            reportToStandardError(outputFile + QStringLiteral(": ") + out.errorString());
            return false;
        }
        const auto write = [&out](QStringView piece) {
            const QByteArray bytes = shell::toLocaleBytes(piece.toString());
            return out.write(bytes) == bytes.size();
        };
        if (!paged.write(write) || !write(u"\r\n")) {
            out.cancelWriting();
            reportToStandardError(outputFile + QStringLiteral(": ") + out.errorString());
            return false;
        }
        if (!out.commit()) {
            reportToStandardError(outputFile + QStringLiteral(": ") + out.errorString());
            return false;
        }
        return true;
    }

}

void reportToStandardError(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace(u'\n', u' ')
        .replace(u'\r', u' ');
    const QByteArray bytes = shell::toLocaleBytes(QStringLiteral("vorlix: ") + line + u'\n');
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

void OpenStartDocument()
{
    const QString general = QStringLiteral("general");
    const QString printer = render::PrinterObject::current().SelectPrinter(
        shell::setting(general, QStringLiteral("DefaultPrinter")));
    // The document was made on the system's printer: it takes the one chosen, with its own
    // corrections.
    if (!printer.isEmpty())
        TheSource().printer().usePrinter(printer);
    SourceFile& document = TheSource().document();
    const QString& inputFile = moduleState().commandLine.InputFile;
    if (!inputFile.isEmpty()) {
        document.setFileName(inputFile);
        document.InBuff(false);
        return;
    }
    const QString folder = shell::setting(general, QStringLiteral("CurDir"));
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        QDir::setCurrent(folder);
    document.Clear(SourceFile::FileTypes::FaceProgram);
}

JobStatus CommandLinePrint(const QString& file)
{
    if (file.isEmpty()) {
        WriteLog(QStringLiteral("Vorlix/CommandLinePrint>ファイルが指定されていない"));
        reportToStandardError(QStringLiteral("ファイルが指定されていない"));
        return JobStatus::MissingFile;
    }
    if (auto problem = readInput(file))
        return *problem;
    const auto& printer = render::PrinterObject::current();
    if (!printer.exists()) {
        const QString problem = printer.serverProblem();
        reportToStandardError(problem.isEmpty() ? QStringLiteral("プリンタがありません") : problem);
        return JobStatus::Failed;
    }
    TheSource().setMergeBesideJob(true);
    return statusAfterJob(file, TheSource().DocPrint());
}

JobStatus CommandLineExport(const QString& inputFile, const QString& outputFile)
{
    if (inputFile.isEmpty() || outputFile.isEmpty()) {
        WriteLog(QStringLiteral("Vorlix/CommandLineExport>ファイルが指定されていない"));
        reportToStandardError(QStringLiteral("ファイルが指定されていない"));
        return JobStatus::MissingFile;
    }
    if (!render::FileSink::formatOf(outputFile)) {
        reportToStandardError(
            outputFile + QStringLiteral(": 出力の形式が分かりません (.pdf, .png, .svg)"));
        return JobStatus::MissingFile;
    }
    const QFileInfo target(shell::localPath(outputFile));
    if (!target.absoluteDir().exists()) {
        reportToStandardError(outputFile + QStringLiteral(": 出力先のフォルダがありません"));
        return JobStatus::MissingFile;
    }
    if (auto problem = readInput(inputFile))
        return *problem;
    render::PrinterObject::current().setExportFile(target.absoluteFilePath());
    TheSource().setMergeBesideJob(true);
    return statusAfterJob(inputFile, TheSource().DocPrint(), outputFile);
}

JobStatus CommandLineMerg(const QString& inputFile, const QString& outputFile)
{
    if (inputFile.isEmpty() || outputFile.isEmpty()) {
        WriteLog(QStringLiteral("Vorlix/CommandLineMerg>ファイルが指定されていない"));
        reportToStandardError(QStringLiteral("ファイルが指定されていない"));
        return JobStatus::MissingFile;
    }
    if (auto problem = readInput(inputFile))
        return *problem;
    Source& source = TheSource();
    if (source.document().FileType != SourceFile::FileTypes::DataDocument) {
        reportToStandardError(
            inputFile + QStringLiteral(": データ文書ではありません (.mnd, .xml)"));
        return JobStatus::Failed;
    }
    if (!source.SrcMerg(source.document().Text()))
        return statusAfterMerge(inputFile).value_or(JobStatus::Failed);
    if (!writeMerged(outputFile, *source.merged().ManuScript))
        return JobStatus::Failed;
    if (source.merge().face().missing)
        return statusAfterMerge(inputFile).value_or(JobStatus::Failed);
    reportDropped(inputFile);
    return JobStatus::Success;
}

}
