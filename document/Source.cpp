#include "document/Source.h"

#include "document/Compiler.h"
#include "document/Merge.h"
#include "document/SourceEditor.h"
#include "render/PrinterObject.h"
#include "shell/Common.h"
#include "shell/GeneFile.h"
#include "shell/InitFile.h"
#include "shell/ModuleState.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <cstdlib>

namespace vorlix::document {

using shell::moduleState;
using shell::WriteLog;

namespace {

    const QString kCrLf = QStringLiteral("\r\n");

    // A setting with its default; the default itself when the program has no settings object.
    QString setting(const QString& section, const QString& key, const QString& defaultValue)
    {
        auto& settings = moduleState().SettingsFile;
        return settings ? settings->GetString(section, key, defaultValue) : defaultValue;
    }

    void storeSetting(const QString& section, const QString& key, const QString& value)
    {
        if (auto& settings = moduleState().SettingsFile)
            settings->SetString(section, key, value);
    }

    QString shortDate()
    {
        return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    }
    QString shortTime()
    {
        return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat);
    }

}

Source::Source()
{
    const auto& printer = render::PrinterObject::current();
    DeviceName = printer.DeviceName();
    PaperSize = static_cast<std::int16_t>(printer.PaperSize());
    Orientation = static_cast<std::int16_t>(printer.Orientation());
    DPI = shell::ToLong(
        setting(QStringLiteral("general"), QStringLiteral("DPI"), QStringLiteral("400")), 400);
    if (DPI <= 0)
        DPI = 400;
    const auto& state = moduleState();
    Copies = state.ArgCopies > 0 ? state.ArgCopies : 1;
    pageRange(state.ArgPages, FromPage, ToPage);
    PaperLeftLag = shell::ToLong(
        setting(settingsSection(), QStringLiteral("PaperLeftLag"), QStringLiteral("0")), 0);
    PaperTopLag = shell::ToLong(
        setting(settingsSection(), QStringLiteral("PaperTopLag"), QStringLiteral("0")), 0);
    m_picRatio = shell::ToDouble(
        setting(QStringLiteral("view"), QStringLiteral("kPsa"), QStringLiteral("1")), 1.0);
    if (m_picRatio <= 0.0)
        m_picRatio = 1.0;
    m_width = shell::PaperExtent(1, PaperSize, Orientation);
    m_height = shell::PaperExtent(2, PaperSize, Orientation);
    m_title = m_savedTitle = QCoreApplication::applicationName();
}

Source::~Source()
{
    storeSetting(
        QStringLiteral("general"), QStringLiteral("PaperSize"), QString::number(PaperSize));
    storeSetting(
        QStringLiteral("general"), QStringLiteral("Orientation"), QString::number(Orientation));
    storeSetting(settingsSection(), QStringLiteral("PaperLeftLag"), QString::number(PaperLeftLag));
    storeSetting(settingsSection(), QStringLiteral("PaperTopLag"), QString::number(PaperTopLag));
}

QString Source::settingsSection() const
{
    // Offsets belong to the printer; without one they are kept under the section "NULL".
    return DeviceName.isEmpty() ? QStringLiteral("NULL") : DeviceName;
}

std::int32_t Source::fileTypeOf(const QString& name)
{
    const QString extension = shell::FileExtension(name).toLower();
    if (extension == u"fae")
        return FaceProgram;
    if (extension == u"mnd" || extension == u"xml")
        return DataDocument;
    return OtherFile;
}

QString Source::faceTemplate(const QString& date, const QString& time)
{
    return u'#' + date + u' ' + time + kCrLf + QStringLiteral("#newfile.fae") + kCrLf
        + QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;") + kCrLf + QStringLiteral("ps,1,1,0,0;") + kCrLf
        + QStringLiteral("a,1,1;") + kCrLf + QStringLiteral("#上の3行は削除しないで下さい。")
        + kCrLf + QStringLiteral("#パラメータの変更はかまいませんが、最初に必要なコマンドです。")
        + kCrLf + QStringLiteral("o,210,130;") + kCrLf;
}

QString Source::dataTemplate(const QString& date, const QString& time)
{
    return QStringLiteral("<!-- ") + date + u' ' + time + QStringLiteral(" -->") + kCrLf
        + QStringLiteral("<!-- newfile.mnd -->") + kCrLf
        + QStringLiteral("<?xml version=\"1.0\"  encoding=\"Shift_JIS\" ?>") + kCrLf
        + QStringLiteral("<TZQ_002>") + kCrLf + QStringLiteral(" <face>filename.fae</face>") + kCrLf
        + kCrLf + QStringLiteral("</TZQ_002> ");
}

void Source::setFileName(const QString& name)
{
    if (!name.isEmpty())
        m_fileName = name;
}

QString Source::Text() const
{
    return noEditor || !m_editor ? bufferText : m_editor->text();
}

void Source::setText(const QString& text)
{
    if (noEditor || !m_editor) {
        bufferText = text;
    } else {
        bufferText.clear();
        m_editor->setText(text);
        m_editor->setFontSize(shell::ToLong(
            setting(QStringLiteral("menu"), QStringLiteral("fontsize"), QStringLiteral("10")), 10));
    }
    fTagOn = fMaScOn = fPrCpOn = false;
    ManuScript.clear();
}

void Source::Clear(std::int32_t type)
{
    FileType = type;
    fFileEdit = false;
    QString text;
    if (type == FaceProgram) {
        m_fileName = QStringLiteral("newfile.fae");
        text = faceTemplate(shortDate(), shortTime());
    } else if (type == DataDocument) {
        m_fileName = QStringLiteral("newfile.mnd");
        text = dataTemplate(shortDate(), shortTime());
    }
    // Without an attached editor the text stays in the buffer.
    setText(text);
    m_encodingKnown = false;
    fFileEdit = false;
}

bool Source::InBuff(bool ask)
{
    if (m_fileName.isEmpty() || ask) {
        m_fileName.clear();
        if (m_fileDialog)
            m_fileName = m_fileDialog(false);
    }
    storeSetting(QStringLiteral("general"), QStringLiteral("CurDir"), QDir::currentPath());
    bool read = false;
    if (!m_fileName.isEmpty()) {
        shell::GeneFile file;
        file.setWebPort(shell::ToLong(
            setting(QStringLiteral("server"), QStringLiteral("http"), QStringLiteral("80")), 80));
        file.setOpt2(true);
        if (file.FileOpen(1, m_fileName)) {
            setText(file.Read());
            m_encoding = file.encoding();
            m_encodingKnown = true;
            read = true;
        } else {
            shell::ShowMessage(QStringLiteral("ファイルが開けません"), 64);
        }
        file.FileClose();
    }
    FileType = fileTypeOf(m_fileName);
    fFileEdit = false;
    setApplicationTitle(shell::BaseName(m_fileName));
    m_savedTitle = m_title;
    return read;
}

bool Source::OutBuff(bool fNSD, bool fOWA)
{
    QString name = m_fileName;
    if (m_fileName.isEmpty() || fNSD)
        name = m_fileDialog ? m_fileDialog(true) : QString();
    storeSetting(QStringLiteral("general"), QStringLiteral("CurDir"), QDir::currentPath());
    bool written = false;
    if (!name.isEmpty()) {
        m_fileName = name;
        FileType = fileTypeOf(name);
        shell::GeneFile file;
        file.setOpt1(fOWA);
        const auto mode = moduleState().RunMode;
        if (mode != shell::RunModeWindow && mode != shell::RunModeView)
            file.setOpt2(true);
        if (file.FileOpen(2, name)) {
            file.PrintLn(Text());
            file.FileClose();
            written = !file.writeFailed();
        }
    }
    fFileEdit = false;
    return written;
}

bool Source::SrcMerg(const QString& text)
{
    bool read = false;
    if (FileType == FaceProgram) {
        read = ReadTD(QStringLiteral("<?xml ?><TZQ_002><face>InternalBuff</face></TZQ_002>"));
    } else if (FileType == DataDocument) {
        read = ReadTD(text);
    } else {
        shell::ShowMessage(QStringLiteral("ファイルタイプが変です"), 0);
        return false;
    }
    if (read) {
        if (Mergeup())
            return true;
        shell::ShowMessage(QStringLiteral("マージエラー"), 0);
        return false;
    }
    setPLT(nErrPit);
    const QString line = DefaultLine();
    shell::ShowMessage(
        QStringLiteral("ソースエラー") + kCrLf + sErrMsg + kCrLf + line.left(120), 0);
    return false;
}

void Source::writeSystemItems()
{
    Tr.ChTree(QStringLiteral("System"));
    Tr.Value(QStringLiteral("filetype"), QStringLiteral("3"));
    const auto& settings = moduleState().SettingsFile;
    Tr.Value(QStringLiteral("HostName"), settings ? settings->HostName() : QString());
    Tr.Value(QStringLiteral("UserName"), settings ? settings->UserName() : QString());
    Tr.Value(QStringLiteral("Version"),
        QStringLiteral("%1.%2").arg(VORLIX_VERSION_MAJOR).arg(VORLIX_VERSION_MINOR));
    Tr.Value(QStringLiteral("Date"), shortDate());
    Tr.Value(QStringLiteral("Time"), shortTime());
    Tr.ChRootTree();
}

void Source::writeSheetFolders()
{
    Tr.ChTree(QStringLiteral("path"));
    Tr.Value(QStringLiteral("CurDir"),
        setting(QStringLiteral("general"), QStringLiteral("CurDir"), QDir::currentPath()) + u'/');
    if (auto& settings = moduleState().SettingsFile) {
        settings->setSection(QStringLiteral("sheet"));
        QString key;
        QString value;
        while (settings->RepValue(key, value))
            Tr.Value(key, value);
    }
    Tr.ChRootTree();
}

QString Source::defaultSheetName(bool first)
{
    const bool dpn
        = setting(QStringLiteral("general"), QStringLiteral("FDPNSW"), QStringLiteral("DPN"))
        == u"DPN";
    const bool useDefault = first ? dpn : !dpn;
    return useDefault ? setting(QStringLiteral("general"), QStringLiteral("DefaultPathName"),
               QStringLiteral("Default"))
                      : QStringLiteral("CurDir");
}

bool Source::ReadTD(const QString& document)
{
    fTagOn = fMaScOn = fPrCpOn = false;
    Tr.Cls();
    writeSystemItems();
    Compiler compiler;
    compiler.Init(&Tr, 3);
    compiler.Text(document);
    if (compiler.fError()) {
        WriteLog(QStringLiteral("Source/ReadTD>") + QString::number(compiler.nErrPit())
            + QStringLiteral(":Compilerで致命的なエラー"));
        fTagOn = false;
    } else if (compiler.fWarning()) {
        WriteLog(QStringLiteral("Source/ReadTD>") + QString::number(compiler.nErrPit())
            + QStringLiteral(":Compilerで警告"));
        fTagOn = false;
    } else {
        fTagOn = true;
        WriteLog(QStringLiteral("Source/ReadTD>fTagOn=True"));
    }
    fError = compiler.fError();
    fWarning = compiler.fWarning();
    nErrPit = compiler.nErrPit();
    sErrMsg = compiler.sErrMsg();
    Tr.ChRootTree();
    const QString dataTitle = Tr.Value(QStringLiteral("Title"));
    if (dataTitle == Tree::NoLabel || !moduleState().ArgTitle.isEmpty())
        Tr.Value(QStringLiteral("Title"), m_savedTitle);
    else
        setApplicationTitle(dataTitle);
    if (Tr.Value(QStringLiteral("path")) == Tree::NoLabel)
        Tr.Value(QStringLiteral("path"), defaultSheetName(true));
    writeSheetFolders();
    return fTagOn;
}

bool Source::Mergeup()
{
    fMaScOn = fPrCpOn = false;
    fFaceMissing = false;
    const QString& argFace = moduleState().ArgFaceFile;
    faceName = argFace.isEmpty() ? Tr.Value(QStringLiteral("face")) : argFace;
    faceFile = faceName;
    Merge merge;
    merge.Init(&Tr);
    QString face;
    if (faceName == u"InternalBuff") {
        Tr.Value(QStringLiteral("face"), m_fileName);
        Tr.Value(QStringLiteral("path"), QStringLiteral("Direct"));
        Tr.Value(QStringLiteral("dir"), QString());
        face = Text();
    } else {
        face = ReadFace(faceName);
    }
    Tr.ChRootTree();
    faceText = face;
    merge.Text(face);
    if (merge.fError()) {
        WriteLog(QStringLiteral("Source/Mergeup>Mergで致命的なエラー"));
    } else if (merge.fWarning()) {
        WriteLog(QStringLiteral("Source/Mergeup>Mergで警告"));
    } else {
        ManuScript = merge.Convert();
        fMaScOn = true;
        WriteLog(QStringLiteral("Source/Mergeup>fMaScOn=True"));
    }
    fError = merge.fError();
    fWarning = merge.fWarning();
    if (merge.fError() || merge.fWarning()) {
        nErrPit = merge.nErrPit();
        sErrMsg = merge.sErrMsg();
    }
    return fMaScOn;
}

QString Source::SeScPath(const QString& sheetName)
{
    const QString& argSheet = moduleState().ArgSheetPath;
    const QString name = argSheet.isEmpty() ? sheetName : argSheet;
    QString folder;
    if (name == u"CurDir") {
        folder = setting(QStringLiteral("general"), QStringLiteral("CurDir"), QDir::currentPath())
            + u'/';
    } else if (auto& settings = moduleState().SettingsFile) {
        settings->setSection(QStringLiteral("sheet"));
        folder = settings->Value(name);
    }
    WriteLog(QStringLiteral("Source/SeScPath>SheetPath=") + folder);
    return folder;
}

bool Source::tryOpenFace(const QString& folder, const QString& face, QString& text)
{
    shell::GeneFile file;
    file.setWebPort(shell::ToLong(
        setting(QStringLiteral("server"), QStringLiteral("http"), QStringLiteral("80")), 80));
    if (!file.FileOpen(1, folder + face)) {
        file.FileClose();
        return false;
    }
    text = file.Read();
    file.FileClose();
    return true;
}

QString Source::ReadFace(const QString& face)
{
    Tr.ChRootTree();
    QString text;
    QString sheet = Tr.Value(QStringLiteral("path"));
    if (sheet == Tree::NoLabel)
        sheet.clear();
    QString f1 = QStringLiteral("/");
    bool open = false;
    if (!sheet.isEmpty()) {
        f1 = SeScPath(sheet);
        open = tryOpenFace(f1, face, text);
        if (f1.isEmpty())
            f1 = QStringLiteral("/");
    }
    // Each further attempt only runs when its folder differs from the one before.
    QString f2 = f1;
    QString s2;
    if (!open) {
        WriteLog(QStringLiteral("Source/Mergeup>１回目のファイルの読み込みが失敗しました") + kCrLf
            + f1 + face);
        s2 = defaultSheetName(true);
        f2 = SeScPath(s2);
        if (f2 != f1 && tryOpenFace(f2, face, text)) {
            open = true;
            sheet = s2;
            f1 = f2;
        }
    }
    QString f3 = f2;
    if (!open) {
        WriteLog(QStringLiteral("Source/Mergeup>２回目のファイルの読み込みが失敗しました") + kCrLf
            + f2 + face);
        const QString s3 = defaultSheetName(false);
        f3 = SeScPath(s3);
        if (f3 != f2 && tryOpenFace(f3, face, text)) {
            open = true;
            sheet = s3;
            f1 = f3;
        }
    }
    if (!open) {
        const QString message
            = QStringLiteral("Source/Mergeup>ァイルの読み込みが失敗しました") + kCrLf + f3 + face;
        WriteLog(message);
        fFaceMissing = true;
        return QStringLiteral("s,100,100,\"") + message + QStringLiteral("\";");
    }
    Tr.ChRootTree();
    Tr.Value(QStringLiteral("path"), sheet);
    Tr.Value(QStringLiteral("dir"), f1);
    faceFile = f1 + face;
    return text;
}

void Source::SetDocTitle(const QString& title)
{
    const QString& argTitle = moduleState().ArgTitle;
    const QString chosen = argTitle.isEmpty() ? title : argTitle;
    if (chosen.isEmpty())
        return;
    setApplicationTitle(chosen);
    m_savedTitle = chosen;
}

void Source::setApplicationTitle(const QString& title)
{
    m_title = title;
    moduleState().ApplicationTitle = title;
    if (m_titleSink)
        m_titleSink(title);
}

void Source::pageRange(const QString& pages, std::int32_t& from, std::int32_t& to)
{
    from = 1;
    to = 9999;
    const qsizetype comma = pages.indexOf(u',');
    if (pages.isEmpty() || comma <= 0)
        return;
    const auto magnitude = [](std::int32_t v) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(std::abs(std::int64_t(v)), INT32_MAX));
    };
    from = magnitude(shell::ToLong(pages.left(comma), 1));
    to = magnitude(shell::ToLong(pages.mid(comma + 1), 0));
    if (to < from)
        to = 9999;
}

}
