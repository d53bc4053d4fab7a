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

    constexpr int InformationStyle = 64;
    constexpr int QuestionYesNoStyle = 36;
    constexpr int AnswerNo = 7;

    // The question asked before a text that Shift_JIS cannot hold is saved: which character on
    // which line (at is its position, -1 when every character fits but the bytes would read back
    // as UTF-8).
    QString codeSetQuestion(const QString& text, qsizetype at)
    {
        QString what;
        if (at < 0) {
            what = QStringLiteral("この内容を Shift_JIS で保存すると、読み込むときに UTF-8 と"
                                  "取り違えられます。");
        } else {
            const char32_t code = QStringView(text).mid(at).toUcs4().value(0);
            const qsizetype line = QStringView(text).left(at).count(u'\n') + 1;
            what = QStringLiteral("%1 行目の「%2」(U+%3) は Shift_JIS で保存できません。")
                       .arg(line)
                       .arg(QString::fromUcs4(&code, 1))
                       .arg(QString::number(code, 16).toUpper().rightJustified(4, u'0'));
        }
        return what + kCrLf + QStringLiteral("UTF-8 で保存しますか？") + kCrLf
            + QStringLiteral("「いいえ」を選ぶと保存しません。");
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

SourceFile::LineEnds SourceFile::lineEndsOf(const QString& text)
{
    const qsizetype crLf = text.count(QStringLiteral("\r\n"));
    const qsizetype lf = text.count(u'\n') - crLf;
    const qsizetype cr = text.count(u'\r') - crLf;
    if (lf > crLf && lf >= cr)
        return LineEnds::Lf;
    if (cr > crLf && cr > lf)
        return LineEnds::Cr;
    return LineEnds::CrLf;
}

QString SourceFile::withLineEnds(const QString& text, LineEnds ends)
{
    QString result = text;
    result.replace(kCrLf, QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    if (ends == LineEnds::CrLf)
        result.replace(u'\n', kCrLf);
    else if (ends == LineEnds::Cr)
        result.replace(u'\n', u'\r');
    return result;
}

QString SourceFile::cannotOpenMessage(const QString& name, const QString& reason)
{
    return QStringLiteral("ファイルが開けません") + kCrLf + name + kCrLf + reason;
}

SourceFile::Naming SourceFile::naming() const
{
    return { m_fileName, FileType, fFileEdit, m_title, m_named };
}

void SourceFile::restoreNaming(const Naming& naming)
{
    m_fileName = naming.fileName;
    FileType = naming.type;
    fFileEdit = naming.edited;
    m_named = naming.named;
    setApplicationTitle(naming.title);
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
    m_lineEnds = LineEnds::CrLf;
    // The template's name is a suggestion: the first save asks for the document's own.
    if (type == FileTypes::FaceProgram || type == FileTypes::DataDocument)
        m_named = false;
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
    if (read)
        m_named = true;
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
    // The file object stays silent: the one message below says which file and why.
    shell::GeneFile file;
    file.setWebPort(shell::settingLong(QStringLiteral("server"), QStringLiteral("http")));
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
            takeRead(decoded.text, decoded.encoding);
        }
    } else if (opened) {
        const QString text = file.Read();
        takeRead(text, file.encoding());
    } else {
        shell::ShowMessage(cannotOpenMessage(m_fileName, file.failure()), InformationStyle);
    }
    file.FileClose();
    return opened;
}

void SourceFile::takeRead(const QString& text, shell::TextEncoding encoding)
{
    m_lineEnds = lineEndsOf(text);
    setText(text);
    m_encoding = encoding;
}

bool SourceFile::agreeOnEncoding(shell::GeneFile& file, const QString& text)
{
    if (file.encoding() != shell::TextEncoding::Cp932 || shell::readsBackAsCp932(text))
        return true;
    const qsizetype at = shell::firstUnfitCp932(text);
    if (shell::ShowMessage(codeSetQuestion(text, at), QuestionYesNoStyle) == AnswerNo) {
        // The character stays selected, so that it can be changed before the next save.
        if (m_editor && at >= 0) {
            m_editor->setSelectionStart(static_cast<int>(at));
            m_editor->setSelectionLength(text.at(at).isHighSurrogate() ? 2 : 1);
        }
        return false;
    }
    file.setEncoding(shell::TextEncoding::Utf8);
    return true;
}

bool SourceFile::OutBuff(bool fNSD, bool fOWA)
{
    QString name = m_fileName;
    const bool askName = m_fileName.isEmpty() || fNSD || !m_named;
    if (askName)
        name = m_fileDialog ? m_fileDialog(true) : QString();
    rememberCurrentFolder();
    bool written = false;
    if (!name.isEmpty()) {
        const Naming before = naming();
        m_fileName = name;
        FileType = fileTypeOf(name);
        shell::GeneFile file;
        // A name from the dialog may be another file's: it is not replaced unasked.
        file.setOpt1(fOWA || askName);
        if (shell::moduleState().commandLine.unattended())
            file.setOpt2(true);
        const QString text = Text();
        if (file.FileOpen(2, name)) {
            if (!agreeOnEncoding(file, text)) {
                // Nothing was saved: the document keeps its name too.
                file.cancelWrite();
                restoreNaming(before);
                return false;
            }
            file.PrintLn(withLineEnds(text, m_lineEnds));
            file.FileClose();
            written = !file.writeFailed();
            if (written) {
                m_encoding = file.encoding();
                m_named = true;
            }
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
