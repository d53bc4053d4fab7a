#include "shell/GeneFile.h"

#include "shell/InitFile.h"
#include "shell/ModuleState.h"
#include "shell/Setting.h"
#include "shell/UserInterface.h"
#include "shell/WebFetcher.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace vorlix::shell {

namespace {

    constexpr int kDefaultWebPort = 80;
    constexpr int kStyleCritical = 16;
    constexpr int kStyleExclamation = 48;
    constexpr int kStyleYesNoExclamationDefaultNo = 308;
    constexpr int kAnswerNo = 7;
    const QString kCrLf = QStringLiteral("\r\n");

    // The HTTP port of the settings file (server/http), so that every file opened by name uses the
    // port the user chose in the options dialog.
    int settingsWebPort()
    {
        // Reading makes the section current; the owner of the settings object keeps its own.
        const auto& settings = moduleState().SettingsFile;
        const QString section = settings ? settings->Section() : QString();
        const std::int32_t port = settingLong(QStringLiteral("server"), QStringLiteral("http"));
        if (settings)
            settings->setSection(section);
        return (port < 1 || port > 65535) ? kDefaultWebPort : port;
    }

    void logLine(const char* operation, const QString& text)
    {
        WriteLog(QStringLiteral("GeneFile/") + QLatin1String(operation) + QLatin1Char('>') + text);
    }

}

GeneFile::GeneFile()
    : m_webPort(settingsWebPort())
{
}

// A write still pending here was never closed: its caller left early (an exception, a return),
// so what was written may be a part of the file only and must not replace the one on disk.
GeneFile::~GeneFile()
{
    try {
        cancelWrite();
        (void)FileClose();
    } catch (...) {
        // Releasing must not fail; whatever could not be closed is gone with the object.
    }
}

void GeneFile::setOpt1(bool on)
{
    m_opt1 = on;
    if (on)
        m_opt2 = true;
}

int GeneFile::FileHandle() const
{
    if (m_readFile.isOpen())
        return m_readFile.handle();
    if (m_saveFile)
        return m_saveFile->handle();
    return 0;
}

bool GeneFile::FileOpen(int mode, const QString& name)
{
    if (mode < 1 || mode > 3)
        return false;
    (void)FileClose();
    m_writeFailed = false;
    m_httpStatus = 0;
    m_failure.clear();
    m_mode = mode;
    bool opened = false;
    try {
        if (SetFile(name))
            opened = (m_name.ServiceType == ServiceKind::Http) ? openHttp(mode) : openLocal(mode);
    } catch (const std::exception& error) {
        logLine("FileOpen", QString::fromLocal8Bit(error.what()));
        m_failure = QString::fromLocal8Bit(error.what());
        opened = false;
    }
    if (opened)
        m_failure.clear();
    else if (m_failure.isEmpty())
        m_failure = QStringLiteral("ファイルが開けません");
    if (!opened) {
        m_web.reset();
        m_saveFile.reset();
        m_readFile.close();
        m_mode = 0;
    }
    return opened;
}

bool GeneFile::SetFile(const QString& name)
{
    auto parts = GeneFileName::split(name, QDir::currentPath());
    if (!parts) {
        m_name = GeneFileName {};
        logLine("SetFile", QStringLiteral("ファイル名が不正:") + name);
        m_failure = QStringLiteral("ファイル名が不正です");
        FileMessage(QStringLiteral("ファイル名が不正") + kCrLf + name, kStyleCritical);
        return false;
    }
    m_name = std::move(*parts);
    return true;
}

// 1 when the name is an existing regular file, 0 when nothing (or a folder, a device) is there,
// -1 when the look-up itself failed (no permission on a folder, a name too long).
int GeneFile::ChkFile()
{
    const QString full = m_name.fullPath();
    struct stat info { };
    if (::stat(QFile::encodeName(full).constData(), &info) == 0) {
        if (S_ISREG(info.st_mode))
            return 1;
        m_failure = QStringLiteral("通常のファイルではありません");
        return 0;
    }
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
        m_failure = QStringLiteral("ファイルが見つかりません");
        return 0;
    }
    m_failure = QString::fromLocal8Bit(std::strerror(error));
    logLine("ChkFile", m_failure + QLatin1Char(':') + full);
    FileMessage(QStringLiteral("ファイルの確認時にエラー") + kCrLf + full, kStyleCritical);
    return -1;
}

int GeneFile::FileMessage(const QString& prompt, int style) const
{
    if (!m_opt2)
        return 1;
    return ShowMessage(prompt, style, QStringLiteral("/GeneFile"));
}

bool GeneFile::openLocal(int mode)
{
    if (mode == 1) {
        if (ChkFile() != 1) {
            FileMessage(QStringLiteral("ファイルが見つかりません"), kStyleExclamation);
            return false;
        }
        m_readFile.setFileName(m_name.fullPath());
        if (!m_readFile.open(QIODevice::ReadOnly)) {
            m_failure = m_readFile.errorString();
            logLine("FileOpen", m_failure);
            return false;
        }
        return true;
    }
    const int found = ChkFile();
    if (found == -1)
        return false;
    if (found == 1 && m_opt1) {
        const QString question = m_name.FileName + QStringLiteral("は既に存在しています。") + kCrLf
            + QStringLiteral("上書きしますか？");
        if (FileMessage(question, kStyleYesNoExclamationDefaultNo) == kAnswerNo) {
            m_failure = QStringLiteral("上書きしませんでした");
            return false;
        }
    }
    return openForWriting(mode);
}

// The new content goes to a temporary file beside the target and replaces it only when closed,
// so a failed or interrupted write never leaves a half-written file or loses the old one.
bool GeneFile::openForWriting(int mode)
{
    const QString full = m_name.fullPath();
    const QFileInfo info(full);
    if (info.exists() && !info.isFile()) {
        m_failure = QStringLiteral("通常のファイルではありません");
        logLine("FileOpen", m_failure + u':' + full);
        return false;
    }
    m_encoding = TextEncoding::Cp932;
    if (mode == 2 && info.exists()) {
        // Text goes back in the encoding the file already has.
        QFile existing(full);
        if (existing.open(QIODevice::ReadOnly))
            m_encoding = decodeText(existing.readAll()).encoding;
    }
    auto file = std::make_unique<QSaveFile>(full);
    if (!file->open(QIODevice::WriteOnly)) {
        m_failure = file->errorString();
        logLine("FileOpen", m_failure);
        return false;
    }
    m_saveFile = std::move(file);
    m_textBuffer.clear();
    return true;
}

bool GeneFile::openHttp(int mode)
{
    if (mode != 1) {
        m_failure = QStringLiteral("読込専用でしか開けません");
        FileMessage(m_failure, kStyleExclamation);
        return false;
    }
    m_web = createWebFetcher();
    if (!m_web) {
        m_failure = QStringLiteral("HTTP で読み込む手段がありません");
        logLine("FileOpen", m_failure);
        return false;
    }
    m_web->setOpt1(m_opt2);
    m_web->setPort(m_webPort);
    const bool arrived = m_web->Connect(m_name.DriveLetter, m_name.Path, m_name.FileName);
    m_httpStatus = m_web->statusCode();
    if (!arrived) {
        m_failure = m_web->failure();
        if (m_failure.isEmpty() && m_httpStatus == 0)
            m_failure = QStringLiteral("サーバーから答えがありません");
        else if (m_failure.isEmpty())
            m_failure = QStringLiteral("サーバーの答え: HTTP %1").arg(m_httpStatus);
    }
    return arrived;
}

bool GeneFile::writing() const
{
    return m_saveFile != nullptr
        && (m_name.ServiceType == ServiceKind::Local || m_name.ServiceType == ServiceKind::Network);
}

std::int64_t GeneFile::FileSize() const
{
    if (m_web)
        return m_web->FileSize();
    if (m_readFile.isOpen())
        return m_readFile.size();
    if (m_saveFile && m_mode == 2)
        return encodeText(m_textBuffer, m_encoding).size();
    if (m_saveFile)
        return m_saveFile->size();
    return 0;
}

QString GeneFile::Read()
{
    if (m_web) {
        auto decoded = decodeText(m_web->ReadB());
        m_encoding = decoded.encoding;
        return decoded.text;
    }
    if (!m_readFile.isOpen())
        return {};
    const QByteArray bytes = ReadB();
    if (bytes.isEmpty())
        return {};
    auto decoded = decodeText(bytes);
    m_encoding = decoded.encoding;
    return decoded.text;
}

QByteArray GeneFile::ReadB()
{
    if (m_web)
        return m_web->ReadB();
    if (!m_readFile.isOpen())
        return {};
    try {
        // Every read hands back the whole file, however often it is called.
        if (!m_readFile.seek(0)) {
            logLine("Read", m_readFile.errorString());
            return {};
        }
        // A file of known size is read into a buffer of that size: reading it all at once grows
        // the buffer to twice a large document.
        const qint64 size = m_readFile.isSequential() ? 0 : m_readFile.size();
        QByteArray bytes(static_cast<qsizetype>(std::max<qint64>(size, 0)), Qt::Uninitialized);
        if (size > 0) {
            const qint64 read = m_readFile.read(bytes.data(), size);
            bytes.truncate(static_cast<qsizetype>(std::max<qint64>(read, 0)));
        }
        if (m_readFile.error() == QFileDevice::NoError)
            bytes += m_readFile.readAll();
        if (m_readFile.error() != QFileDevice::NoError) {
            logLine("Read", m_readFile.errorString());
            m_readFile.unsetError();
            return {};
        }
        return bytes;
    } catch (const std::bad_alloc&) {
        logLine("Read", QStringLiteral("メモリが足りません"));
        return {};
    }
}

void GeneFile::FileWrite(const QString& text)
{
    PrintLn(text + kCrLf);
}

void GeneFile::PrintLn(const QString& text)
{
    if (!writing())
        return;
    if (m_mode == 2) {
        m_textBuffer += text;
        return;
    }
    // A byte file takes text in the code page a new file would use.
    FileWriteB(encodeNewText(text));
}

void GeneFile::FileWriteB(const QByteArray& bytes)
{
    if (!writing())
        return;
    if (m_mode == 2) {
        // Raw bytes have no place in a file whose encoding is chosen when it closes.
        logLine("FileWriteB", QStringLiteral("テキスト書込みで開いたファイルです"));
        return;
    }
    // A short write (disk full, size limit) must not be committed as if it were the file.
    if (m_saveFile->write(bytes) != bytes.size())
        abandonWrite(*m_saveFile);
}

bool GeneFile::FileClose()
{
    const bool text = m_mode == 2;
    m_mode = 0;
    m_web.reset();
    if (m_readFile.isOpen())
        m_readFile.close();
    if (m_saveFile)
        commitWrite(text);
    return false;
}

void GeneFile::commitWrite(bool text)
{
    auto file = std::move(m_saveFile);
    if (text) {
        TextEncoding used = m_encoding;
        const QByteArray bytes = encodeText(m_textBuffer, m_encoding, &used);
        m_encoding = used;
        m_textBuffer.clear();
        if (!bytes.isEmpty() && file->write(bytes) != bytes.size())
            abandonWrite(*file);
    }
    if (!file->commit()) {
        m_writeFailed = true;
        logLine("FileClose", m_writeError.isEmpty() ? file->errorString() : m_writeError);
    }
    m_writeError.clear();
}

void GeneFile::cancelWrite()
{
    m_saveFile.reset();
    m_textBuffer.clear();
    m_mode = 0;
}

void GeneFile::abandonWrite(QSaveFile& file)
{
    if (m_writeError.isEmpty())
        m_writeError = file.errorString();
    file.cancelWriting();
}

}
