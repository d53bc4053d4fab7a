#include "app/StartActions.h"

#include "document/Source.h"
#include "render/FileSink.h"
#include "render/PrinterObject.h"
#include "shell/CodePage.h"
#include "shell/Common.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace vorlix::app {

using document::Source;
using shell::moduleState;
using shell::WriteLog;

namespace {

    Source& theSource()
    {
        return *std::static_pointer_cast<Source>(moduleState().TheSource);
    }

    // 1-based line and column of a 1-based character position in a text.
    QString lineColumn(const QString& text, std::int32_t position)
    {
        const qsizetype upTo = std::clamp<qsizetype>(position - 1, 0, text.size());
        int line = 1;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < upTo; ++i) {
            if (text[i] == u'\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        return QStringLiteral("%1:%2").arg(line).arg(upTo - lineStart + 1);
    }

    // Checks that the input names an existing, readable file; reports and tells why not.
    std::optional<JobStatus> checkInput(const QString& file)
    {
        if (file.isEmpty())
            return JobStatus::MissingFile;
        if (file.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
            return std::nullopt;
        const QFileInfo info(QString(file).replace(u'\\', u'/'));
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
        Source& source = theSource();
        source.setFileName(file);
        if (!source.InBuff(false))
            return JobStatus::Failed;
        return std::nullopt;
    }

    // Reports what went wrong in reading, merging or rendering, with file, line and column.
    JobStatus statusAfterJob(const QString& inputFile)
    {
        Source& source = theSource();
        if (!source.fTagOn && (source.fError || source.fWarning)) {
            reportToStandardError(inputFile + u':' + lineColumn(source.Text(), source.nErrPit)
                + QStringLiteral(": ") + source.sErrMsg);
            return JobStatus::Failed;
        }
        if (source.fTagOn && !source.fMaScOn && (source.fError || source.fWarning)) {
            reportToStandardError(source.faceFile + u':'
                + lineColumn(source.faceText, source.nErrPit) + QStringLiteral(": ")
                + source.sErrMsg);
            return JobStatus::Failed;
        }
        if (source.fFaceMissing) {
            reportToStandardError(QStringLiteral("face file not found: ") + source.faceName);
            return JobStatus::Failed;
        }
        if (!source.fMaScOn || source.fInterpreterProblem || source.fOutputFailed)
            return JobStatus::Failed;
        return JobStatus::Success;
    }

    bool writeMerged(const QString& outputFile, const QString& text)
    {
        QSaveFile out(QString(outputFile).replace(u'\\', u'/'));
        if (!out.open(QIODevice::WriteOnly)) {
            reportToStandardError(outputFile + QStringLiteral(": ") + out.errorString());
            return false;
        }
        out.write(shell::toLocaleBytes(text + QStringLiteral("\r\n")));
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
    auto& state = moduleState();
    if (state.SettingsFile)
        render::PrinterObject::current().SelectPrinter(
            state.SettingsFile->GetString(QStringLiteral("general"),
                QStringLiteral("DefaultPrinter"), QStringLiteral("default")));
    Source& source = theSource();
    if (!state.InputFile.isEmpty()) {
        source.setFileName(state.InputFile);
        source.InBuff(false);
        return;
    }
    if (state.SettingsFile) {
        const QString folder = state.SettingsFile->GetString(
            QStringLiteral("general"), QStringLiteral("CurDir"), QString());
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            QDir::setCurrent(folder);
    }
    source.Clear(1);
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
    if (!render::PrinterObject::current().exists()) {
        reportToStandardError(QStringLiteral("プリンタがありません"));
        return JobStatus::Failed;
    }
    theSource().DocPrint();
    return statusAfterJob(file);
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
    const QFileInfo target(QString(outputFile).replace(u'\\', u'/'));
    if (!target.absoluteDir().exists()) {
        reportToStandardError(outputFile + QStringLiteral(": 出力先のフォルダがありません"));
        return JobStatus::MissingFile;
    }
    if (auto problem = readInput(inputFile))
        return *problem;
    render::PrinterObject::current().setExportFile(target.absoluteFilePath());
    theSource().DocPrint();
    const JobStatus status = statusAfterJob(inputFile);
    if (theSource().fOutputFailed)
        reportToStandardError(outputFile + QStringLiteral(": 書き込めませんでした"));
    return status;
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
    Source& source = theSource();
    if (source.FileType != Source::DataDocument) {
        reportToStandardError(
            inputFile + QStringLiteral(": データ文書ではありません (.mnd, .xml)"));
        return JobStatus::Failed;
    }
    if (!source.SrcMerg(source.Text()))
        return statusAfterJob(inputFile);
    if (!writeMerged(outputFile, source.ManuScript))
        return JobStatus::Failed;
    return source.fFaceMissing ? statusAfterJob(inputFile) : JobStatus::Success;
}

}
