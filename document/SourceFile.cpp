#include "document/SourceFile.h"

#include "document/SourceEditor.h"
#include "shell/Common.h"
#include "shell/GeneFile.h"
#include "shell/ModuleState.h"
#include "shell/Setting.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

namespace vorlix::document {

namespace {

    const QString kCrLf = QStringLiteral("\r\n");

    QString shortDate()
    {
        return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    }
    QString shortTime()
    {
        return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat);
    }

    // Every open and save dialog leaves the folder it ended in as the one to start from.
    void rememberCurrentFolder()
    {
        shell::storeSetting(
            QStringLiteral("general"), QStringLiteral("CurDir"), QDir::currentPath());
    }

}

SourceFile::SourceFile()
    : m_title(QCoreApplication::applicationName())
    , m_savedTitle(m_title)
{
}

SourceFile::FileTypes SourceFile::fileTypeOf(const QString& name)
{
    const QString extension = shell::FileExtension(name).toLower();
    if (extension == u"fae")
        return FileTypes::FaceProgram;
    if (extension == u"mnd" || extension == u"xml")
        return FileTypes::DataDocument;
    return FileTypes::OtherFile;
}

QString SourceFile::faceTemplate(const QString& date, const QString& time)
{
    return u'#' + date + u' ' + time + kCrLf + QStringLiteral("#newfile.fae") + kCrLf
        + QStringLiteral("fs,1,\"ＭＳ 明朝\",9,0;") + kCrLf + QStringLiteral("ps,1,1,0,0;") + kCrLf
        + QStringLiteral("a,1,1;") + kCrLf + QStringLiteral("#上の3行は削除しないで下さい。")
        + kCrLf + QStringLiteral("#パラメータの変更はかまいませんが、最初に必要なコマンドです。")
        + kCrLf + QStringLiteral("o,210,130;") + kCrLf;
}

QString SourceFile::dataTemplate(const QString& date, const QString& time)
{
    return QStringLiteral("<!-- ") + date + u' ' + time + QStringLiteral(" -->") + kCrLf
        + QStringLiteral("<!-- newfile.mnd -->") + kCrLf
        + QStringLiteral("<?xml version=\"1.0\"  encoding=\"Shift_JIS\" ?>") + kCrLf
        + QStringLiteral("<TZQ_002>") + kCrLf + QStringLiteral(" <face>filename.fae</face>") + kCrLf
        + kCrLf + QStringLiteral("</TZQ_002> ");
}

void SourceFile::setEditor(SourceEditor* editor)
{
    m_editor = editor;
    if (m_editor && !bufferText.isEmpty()) {
        m_editor->setText(bufferText);
        bufferText.clear();
    }
}

void SourceFile::setFileName(const QString& name)
{
    if (!name.isEmpty())
        m_fileName = name;
}

QString SourceFile::Text() const
{
    return m_editor ? m_editor->text() : bufferText;
}

void SourceFile::setText(const QString& text)
{
    m_streamed = false;
    m_fromBytes = false;
    m_streamedBytes = QByteArray();
    if (!m_editor) {
        bufferText = text;
    } else {
        bufferText.clear();
        m_editor->setText(text);
        m_editor->setFontSize(
            shell::settingLong(QStringLiteral("menu"), QStringLiteral("fontsize")));
    }
    if (m_textReplaced)
        m_textReplaced();
}

void SourceFile::Clear(FileTypes type)
{
    FileType = type;
    QString text;
    if (type == FileTypes::FaceProgram) {
        m_fileName = QStringLiteral("newfile.fae");
        text = faceTemplate(shortDate(), shortTime());
    } else if (type == FileTypes::DataDocument) {
        m_fileName = QStringLiteral("newfile.mnd");
        text = dataTemplate(shortDate(), shortTime());
    }
    setText(text);
    m_encoding = shell::TextEncoding::Cp932;
    fFileEdit = false;
}

bool SourceFile::InBuff(bool ask)
{
    if (m_fileName.isEmpty() || ask) {
        m_fileName.clear();
        if (m_fileDialog)
            m_fileName = m_fileDialog(false);
    }
    rememberCurrentFolder();
    const bool read = !m_fileName.isEmpty() && readFile();
    FileType = fileTypeOf(m_fileName);
    fFileEdit = false;
    setApplicationTitle(shell::BaseName(m_fileName));
    m_savedTitle = m_title;
    return read;
}

// A large local data document is left on disk: the merge reads its head, then one record at a
// time, and the text, twice the file in size, is never made.
bool SourceFile::streamsData() const
{
    return m_streamFrom >= 0 && m_editor == nullptr
        && fileTypeOf(m_fileName) == FileTypes::DataDocument;
}

bool SourceFile::leaveToStream() const
{
    if (!streamsData() || m_fileName.startsWith(QStringLiteral("http:/"), Qt::CaseInsensitive))
        return false;
    const QFileInfo info(shell::localPath(m_fileName));
    return info.isFile() && info.isReadable() && info.size() >= m_streamFrom;
}

bool SourceFile::readFile()
{
    if (leaveToStream()) {
        setText(QString());
        m_streamed = true;
        return true;
    }
    shell::GeneFile file;
    file.setWebPort(shell::settingLong(QStringLiteral("server"), QStringLiteral("http")));
    file.setOpt2(true);
    const bool opened = file.FileOpen(1, m_fileName);
    if (opened && streamsData()) {
        // An answer that arrived whole keeps its bytes; a large one is read from them in a
        // stream instead of becoming a text twice their size.
        QByteArray bytes = file.ReadB();
        if (bytes.size() >= m_streamFrom) {
            setText(QString());
            m_streamed = true;
            m_fromBytes = true;
            m_streamedBytes = std::move(bytes);
        } else {
            const shell::DecodedText decoded = shell::decodeText(bytes);
            setText(decoded.text);
            m_encoding = decoded.encoding;
        }
    } else if (opened) {
        setText(file.Read());
        m_encoding = file.encoding();
    } else {
        shell::ShowMessage(QStringLiteral("ファイルが開けません"), 64);
    }
    file.FileClose();
    return opened;
}

bool SourceFile::OutBuff(bool fNSD, bool fOWA)
{
    QString name = m_fileName;
    if (m_fileName.isEmpty() || fNSD)
        name = m_fileDialog ? m_fileDialog(true) : QString();
    rememberCurrentFolder();
    bool written = false;
    if (!name.isEmpty()) {
        m_fileName = name;
        FileType = fileTypeOf(name);
        shell::GeneFile file;
        file.setOpt1(fOWA);
        if (shell::moduleState().commandLine.unattended())
            file.setOpt2(true);
        if (file.FileOpen(2, name)) {
            file.PrintLn(Text());
            file.FileClose();
            written = !file.writeFailed();
        }
    }
    // A cancelled or failed save leaves the changes unsaved: the window must still ask about
    // them before it closes.
    if (written)
        fFileEdit = false;
    return written;
}

void SourceFile::SetDocTitle(const QString& title)
{
    const QString& argTitle = shell::moduleState().commandLine.ArgTitle;
    const QString chosen = argTitle.isEmpty() ? title : argTitle;
    if (chosen.isEmpty())
        return;
    setApplicationTitle(chosen);
    m_savedTitle = chosen;
}

void SourceFile::setApplicationTitle(const QString& title)
{
    m_title = title;
    shell::moduleState().ApplicationTitle = title;
    if (m_titleSink)
        m_titleSink(title);
}

}
