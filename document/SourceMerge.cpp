#include "document/SourceMerge.h"

#include "document/Compiler.h"
#include "document/Merge.h"
#include "document/SourceCaret.h"
#include "document/SourceFile.h"
#include "shell/Common.h"
#include "shell/GeneFile.h"
#include "shell/InitFile.h"
#include "shell/Log.h"
#include "shell/ModuleState.h"
#include "shell/RunError.h"
#include "shell/Setting.h"
#include "shell/TextWindows.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QTime>
#include <algorithm>

namespace vorlix::document {

using shell::WriteLog;

namespace {

    const QString kCrLf = QStringLiteral("\r\n");

    // Sheet folders by name come from section [sheet] of the settings; "CurDir" is the current
    // folder of the last open or save dialog.
    QString currentFolder()
    {
        return shell::setting(QStringLiteral("general"), QStringLiteral("CurDir")) + u'/';
    }

    shell::InitFile* settingsFile()
    {
        return shell::moduleState().SettingsFile.get();
    }

}

SourceMerge::SourceMerge(SourceFile& file, SourceCaret& caret, MergedDocument& merged)
    : m_file(file)
    , m_caret(caret)
    , m_merged(merged)
{
}

void SourceMerge::forget()
{
    fTagOn = false;
    m_records.reset();
    m_merged.forget();
}

bool SourceMerge::SrcMerg(QString text, const Beside& beside)
{
    bool read = false;
    if (m_file.FileType == SourceFile::FileTypes::FaceProgram) {
        read = ReadTD(QStringLiteral("<?xml ?><TZQ_002><face>InternalBuff</face></TZQ_002>"));
    } else if (m_file.FileType == SourceFile::FileTypes::DataDocument && m_file.streamed()) {
        read = ReadTDStreamed();
    } else if (m_file.FileType == SourceFile::FileTypes::DataDocument) {
        read = ReadTD(text);
        // The tree holds all the merge needs: the text, as large as the tree, need not stay
        // beside it through the merge and the job.
        if (read) {
            text = QString();
            if (m_releaseText)
                m_file.releaseText();
        }
    } else {
        shell::ShowMessage(QStringLiteral("ファイルタイプが変です"), 0);
        return false;
    }
    if (read) {
        if (Mergeup(beside))
            return true;
        shell::ShowMessage(QStringLiteral("マージエラー"), 0);
        return false;
    }
    m_caret.setPLT(m_report.nErrPit);
    const QString line = m_caret.DefaultLine();
    shell::ShowMessage(
        QStringLiteral("ソースエラー") + kCrLf + m_report.sErrMsg + kCrLf + line.left(120), 0);
    return false;
}

void SourceMerge::writeSystemItems()
{
    const auto* settings = settingsFile();
    Tr.ChTree(QStringLiteral("System"));
    Tr.Value(QStringLiteral("filetype"), QStringLiteral("3"));
    Tr.Value(QStringLiteral("HostName"), settings ? settings->HostName() : QString());
    Tr.Value(QStringLiteral("UserName"), settings ? settings->UserName() : QString());
    Tr.Value(QStringLiteral("Version"),
        QStringLiteral("%1.%2").arg(VORLIX_VERSION_MAJOR).arg(VORLIX_VERSION_MINOR));
    Tr.Value(QStringLiteral("Date"),
        QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    Tr.Value(QStringLiteral("Time"),
        QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
    Tr.ChRootTree();
}

void SourceMerge::writeSheetFolders()
{
    Tr.ChTree(QStringLiteral("path"));
    Tr.Value(QStringLiteral("CurDir"), currentFolder());
    if (auto* settings = settingsFile()) {
        settings->setSection(QStringLiteral("sheet"));
        QString key;
        QString value;
        while (settings->RepValue(key, value))
            Tr.Value(key, value);
    }
    Tr.ChRootTree();
}

// The sheet the search tries first (general/FDPNSW "DPN": the default sheet name) or second.
QString SourceMerge::defaultSheetName(bool first)
{
    const bool dpn = shell::setting(QStringLiteral("general"), QStringLiteral("FDPNSW")) == u"DPN";
    if (first == dpn)
        return shell::setting(QStringLiteral("general"), QStringLiteral("DefaultPathName"));
    return QStringLiteral("CurDir");
}

// A document without a title of its own, or a title from "-t=", gets the file's title; a title of
// the document's own becomes the application title.
void SourceMerge::takeTitle()
{
    const QString dataTitle = Tr.Value(QStringLiteral("Title"));
    if (dataTitle == Tree::NoLabel || !shell::moduleState().commandLine.ArgTitle.isEmpty())
        Tr.Value(QStringLiteral("Title"), m_file.savedTitle());
    else
        m_file.setApplicationTitle(dataTitle);
}

bool SourceMerge::ReadTD(const QString& document)
{
    return readData([&document](Compiler& compiler) { compiler.Text(document); });
}

bool SourceMerge::ReadTDStreamed()
{
    auto windows = std::make_unique<shell::TextWindows>();
    const QString path = shell::localPath(m_file.FileName());
    if (m_file.streamedFromBytes()) {
        windows->open(m_file.streamedBytes());
    } else if (!windows->open(path)) {
        // Gone or unreadable since it was named: reported like a document that cannot be read.
        return readData([&windows, &path](Compiler& compiler) {
            compiler.reportUnreadable(path + u':' + windows->error());
        });
    }
    m_file.setEncoding(windows->encoding());
    std::vector<PiecePlace> places;
    const bool read = readData([&windows, &places](Compiler& compiler) {
        DataStream stream(*windows);
        compiler.Stream(stream);
        places = compiler.places();
    });
    m_records = std::make_unique<DataRecords>(std::move(windows), std::move(places));
    return read;
}

QString SourceMerge::lineColumn(std::int32_t position) const
{
    if (m_file.streamed()) {
        shell::TextWindows windows;
        if (m_file.streamedFromBytes())
            windows.open(m_file.streamedBytes());
        else if (!windows.open(shell::localPath(m_file.FileName())))
            return QStringLiteral("1:1");
        return DataStream::lineColumn(windows, position);
    }
    return lineColumnIn(m_file.Text(), position);
}

QString SourceMerge::lineColumnIn(const QString& text, std::int32_t position)
{
    const qsizetype upTo = std::clamp<qsizetype>(position - 1, 0, text.size());
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < upTo; ++i) {
        if (text[i] == u'\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("%1:%2").arg(line).arg(upTo - lineStart + 1);
}

bool SourceMerge::readData(const std::function<void(Compiler&)>& read)
{
    fTagOn = false;
    m_merged.fMaScOn = false;
    m_merged.fPrCpOn = false;
    m_records.reset();
    Tr.Cls();
    writeSystemItems();
    Compiler compiler;
    compiler.Init(&Tr, Compiler::DataDocumentKind);
    read(compiler);
    m_report = compiler.report();
    if (m_report.fError) {
        WriteLog(QStringLiteral("Source/ReadTD>") + QString::number(m_report.nErrPit)
            + QStringLiteral(":Compilerで致命的なエラー"));
    } else if (m_report.fWarning) {
        WriteLog(QStringLiteral("Source/ReadTD>") + QString::number(m_report.nErrPit)
            + QStringLiteral(":Compilerで警告"));
    } else {
        fTagOn = true;
        WriteLog(QStringLiteral("Source/ReadTD>fTagOn=True"));
    }
    Tr.ChRootTree();
    takeTitle();
    if (Tr.Value(QStringLiteral("path")) == Tree::NoLabel)
        Tr.Value(QStringLiteral("path"), defaultSheetName(true));
    writeSheetFolders();
    return fTagOn;
}

bool SourceMerge::Mergeup(const Beside& beside)
{
    m_merged.fMaScOn = false;
    m_merged.fPrCpOn = false;
    const QString& argFace = shell::moduleState().commandLine.ArgFaceFile;
    m_face = {};
    m_dropped = {};
    m_face.name = argFace.isEmpty() ? Tr.Value(QStringLiteral("face")) : argFace;
    m_face.file = m_face.name;
    auto owned = std::make_unique<Merge>();
    Merge& merge = *owned;
    merge.Init(&Tr, m_records.get());
    if (m_face.name == u"InternalBuff") {
        Tr.Value(QStringLiteral("face"), m_file.FileName());
        Tr.Value(QStringLiteral("path"), QStringLiteral("Direct"));
        Tr.Value(QStringLiteral("dir"), QString());
        m_face.text = m_file.Text();
    } else {
        m_face.text = ReadFace(m_face.name);
    }
    Tr.ChRootTree();
    if (beside && !m_face.file.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
        return mergeBeside(std::move(owned), beside);
    return runMerge(merge) && takeResult(merge);
}

bool SourceMerge::runMerge(Merge& merge)
{
    try {
        merge.Text(m_face.text);
        return true;
    } catch (const shell::RunError& error) {
        // A record that could not be read again (its file changed under the merge) spoils the
        // merge, and it is the data document that could not be read: nothing half-merged goes
        // out, and the problem is reported against the document.
        m_report = {};
        m_report.note(shell::Report::Severity::Error, 1, error.description());
        fTagOn = false;
        WriteLog(QStringLiteral("Source/Mergeup>") + error.description());
        return false;
    }
}

bool SourceMerge::takeResult(const Merge& merge)
{
    m_report = merge.report();
    m_dropped = merge.dropped();
    if (m_report.fError) {
        WriteLog(QStringLiteral("Source/Mergeup>Mergで致命的なエラー"));
    } else if (m_report.fWarning) {
        WriteLog(QStringLiteral("Source/Mergeup>Mergで警告"));
    } else {
        m_merged.ManuScript = merge.document();
        m_merged.fMaScOn = true;
        WriteLog(QStringLiteral("Source/Mergeup>fMaScOn=True"));
    }
    return m_merged.fMaScOn;
}

bool SourceMerge::mergeBeside(std::unique_ptr<Merge> owned, const Beside& beside)
{
    auto growing = std::make_shared<PagedDocument>();
    owned->writeInto(growing);
    bool succeeded = false;
    Pending pending { std::move(growing), [this, &owned] { return runMerge(*owned); },
        [this, &owned, &succeeded] {
            succeeded = takeResult(*owned);
            owned.reset();
            return succeeded;
        } };
    beside(std::move(pending));
    return succeeded;
}

const QString SourceMerge::DocumentSheet = QStringLiteral("Document");

QString SourceMerge::SeScPath(const QString& sheetName)
{
    const QString& argSheet = shell::moduleState().commandLine.ArgSheetPath;
    const QString name = argSheet.isEmpty() ? sheetName : argSheet;
    QString folder;
    if (name == u"CurDir") {
        folder = currentFolder();
    } else if (auto* settings = settingsFile()) {
        settings->setSection(QStringLiteral("sheet"));
        folder = settings->Value(name);
    }
    WriteLog(QStringLiteral("Source/SeScPath>SheetPath=") + folder);
    return folder;
}

bool SourceMerge::tryOpenFace(const QString& folder, const QString& face, QString& text)
{
    shell::GeneFile file;
    file.setWebPort(shell::settingLong(QStringLiteral("server"), QStringLiteral("http")));
    if (!file.FileOpen(1, folder + face)) {
        file.FileClose();
        return false;
    }
    text = file.Read();
    file.FileClose();
    return true;
}

// The folder the data document was read from, ending in "/": a user keeps a face beside its
// document and runs vorlix from anywhere. Empty for a document that is no file (a new one).
QString SourceMerge::documentFolder() const
{
    const QString& name = m_file.FileName();
    if (name.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
        return name.left(name.lastIndexOf(u'/') + 1);
    const QFileInfo info(shell::localPath(name));
    if (name.isEmpty() || !info.isFile())
        return {};
    return info.absolutePath() + u'/';
}

void SourceMerge::FaceSearch::attempt(
    const QString& nextSheet, const QString& nextFolder, const QString& face)
{
    tried << nextFolder;
    if (tryOpenFace(nextFolder, face, text)) {
        open = true;
        sheet = nextSheet;
    }
    folder = nextFolder;
}

// Three sheets are tried: the data's own, then the default sheet name and "CurDir" in the order
// general/FDPNSW gives; each further attempt only runs when its folder differs from the one
// before.
void SourceMerge::searchSheets(const QString& face, FaceSearch& search)
{
    static const QString failedAttempt[] = {
        QStringLiteral("Source/Mergeup>１回目のファイルの読み込みが失敗しました"),
        QStringLiteral("Source/Mergeup>２回目のファイルの読み込みが失敗しました"),
    };
    const QString dataSheet = search.sheet;
    if (!dataSheet.isEmpty()) {
        search.attempt(dataSheet, SeScPath(dataSheet), face);
        if (search.folder.isEmpty())
            search.folder = QStringLiteral("/");
    }
    for (int attempt = 0; attempt < 2 && !search.open; ++attempt) {
        WriteLog(failedAttempt[attempt] + kCrLf + search.folder + face);
        const QString nextSheet = defaultSheetName(attempt == 0);
        const QString next = SeScPath(nextSheet);
        if (next != search.folder)
            search.attempt(nextSheet, next, face);
        search.folder = next;
    }
}

// When no sheet has the face, the document's own folder is tried last, unless a sheet already
// named it.
void SourceMerge::searchBesideDocument(const QString& face, FaceSearch& search)
{
    const QString beside = documentFolder();
    if (search.open || beside.isEmpty() || search.tried.contains(beside))
        return;
    WriteLog(QStringLiteral("Source/Mergeup>３回目のファイルの読み込みが失敗しました") + kCrLf
        + search.folder + face);
    search.attempt(DocumentSheet, beside, face);
}

QString SourceMerge::ReadFace(const QString& face)
{
    Tr.ChRootTree();
    FaceSearch search;
    search.sheet = Tr.Value(QStringLiteral("path"));
    if (search.sheet == Tree::NoLabel)
        search.sheet.clear();
    searchSheets(face, search);
    searchBesideDocument(face, search);
    if (!search.open) {
        const QString message = QStringLiteral("Source/Mergeup>ァイルの読み込みが失敗しました")
            + kCrLf + search.folder + face;
        WriteLog(message);
        m_face.missing = true;
        return QStringLiteral("s,100,100,\"") + message + QStringLiteral("\";");
    }
    Tr.ChRootTree();
    Tr.Value(QStringLiteral("path"), search.sheet);
    Tr.Value(QStringLiteral("dir"), search.folder);
    m_face.file = search.folder + face;
    return search.text;
}
}
