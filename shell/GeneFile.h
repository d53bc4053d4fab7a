#pragma once

#include "shell/CodePage.h"
#include "shell/GeneFileName.h"
#include "shell/Log.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <cstdint>
#include <memory>

namespace vorlix::shell {

class WebFetcher;

// One way to open a file by whatever name it has: a local path, a network path (a mounted share
// reached through the local file system) or an http:/ address (read only, fetched through the
// web-fetch window). Problems become false results, log lines and, when asked for, message boxes.
class GeneFile {
public:
    GeneFile(); // the web port from the settings
    ~GeneFile(); // closes; a write not closed is cancelled, the file left as it was
    GeneFile(const GeneFile&) = delete;
    GeneFile& operator=(const GeneFile&) = delete;

    // TCP port for http:/ names; starts as the settings file's server/http (80 without one).
    [[nodiscard]] int WebPort() const { return m_webPort; }
    void setWebPort(int port) { m_webPort = port; }
    // Kept for callers; this class opens nothing over FTP.
    [[nodiscard]] int FtpPort() const { return m_ftpPort; }
    void setFtpPort(int port) { m_ftpPort = port; }
    // Ask before overwriting an existing file; switching it on also switches on message boxes.
    void setOpt1(bool on);
    // Show message boxes; when off every message counts as answered OK.
    void setOpt2(bool on) { m_opt2 = on; }

    // The open local file's descriptor, 0 when none.
    [[nodiscard]] int FileHandle() const;
    // 0 nothing set, 1 local path, 2 network path, 3 HTTP address.
    [[nodiscard]] std::int32_t ServiceType() const
    {
        return static_cast<std::int32_t>(m_name.ServiceType);
    }
    // The parts of the last name opened, as GeneFileName splits it.
    [[nodiscard]] QString DriveLetter() const { return m_name.DriveLetter; } // server or host
    [[nodiscard]] QString Path() const { return m_name.Path; } // the folder, "/" at both ends
    [[nodiscard]] QString FileName() const { return m_name.FileName; } // without folder
    [[nodiscard]] QString Extension() const { return m_name.Extension; } // upper-cased

    // Opens for reading (1), writing text (2) or writing bytes (3); true when ready.
    [[nodiscard]] bool FileOpen(int mode, const QString& name);
    // Size of the open file (for a write, of what is written so far), or the bytes received.
    [[nodiscard]] std::int64_t FileSize() const;
    // The whole content as text, decoded as UTF-8 or CP932 (see encoding()).
    [[nodiscard]] QString Read();
    // The whole content as raw bytes.
    [[nodiscard]] QByteArray ReadB();
    // Writes the text and CR LF (in a byte file: in the code page a new text file would get).
    void FileWrite(const QString& text);
    // Writes raw bytes; only into a file opened for bytes (mode 3).
    void FileWriteB(const QByteArray& bytes);
    // Same as FileWrite.
    void PrintRC(const QString& text) { FileWrite(text); }
    // Writes the text without a line end.
    void PrintLn(const QString& text);
    // Closes; a write replaces the file only now, in one step (and never without this call). The
    // result is always false: ask writeFailed() whether a write reached the disk.
    bool FileClose();

    // The encoding of the last text read, or of the text being written: after an open for text
    // writing, the encoding the file already has (CP932 for a new file).
    [[nodiscard]] TextEncoding encoding() const { return m_encoding; }
    // Writes the text of a file opened for text in this encoding instead.
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    // Gives up the write under way: closing leaves the file as it was.
    void cancelWrite();
    // Why the last open failed, in words for the user; empty after one that succeeded.
    [[nodiscard]] const QString& failure() const { return m_failure; }
    // Whether the last write could not be completed (the old file, if any, is left whole).
    [[nodiscard]] bool writeFailed() const { return m_writeFailed; }
    // The status code the server answered the last http:/ open with, kept after a failed open;
    // 0 when no status line arrived (no connection, a bare answer, a local name).
    [[nodiscard]] int HttpStatus() const { return m_httpStatus; }

private:
    [[nodiscard]] bool SetFile(const QString& name);
    [[nodiscard]] int ChkFile();
    int FileMessage(const QString& prompt, int style) const;
    [[nodiscard]] bool openLocal(int mode);
    [[nodiscard]] bool openForWriting(int mode);
    [[nodiscard]] bool openHttp(int mode);
    [[nodiscard]] bool writing() const;
    void commitWrite(bool text);
    void abandonWrite(QSaveFile& file);

    LifeLog m_life { QStringLiteral("GeneFile") };
    int m_webPort = 80;
    int m_ftpPort = 21;
    bool m_opt1 = false;
    bool m_opt2 = false;
    int m_mode = 0;
    GeneFileName m_name;
    QFile m_readFile;
    std::unique_ptr<QSaveFile> m_saveFile;
    // Text written in mode 2 waits here so that its encoding can be chosen for the whole file.
    QString m_textBuffer;
    TextEncoding m_encoding = TextEncoding::Cp932;
    bool m_writeFailed = false;
    int m_httpStatus = 0;
    // Why a write was abandoned, reported when the file is closed.
    QString m_writeError;
    QString m_failure;
    std::unique_ptr<WebFetcher> m_web;
};

}
