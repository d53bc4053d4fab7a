#pragma once

#include "shell/CodePage.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace vorlix::shell {
class GeneFile;
}

namespace vorlix::document {

class SourceEditor;

// The document file: the text being edited (a face program or a data document) and where it
// lives. The text is the attached editor's, or kept here while no editor is attached. Opening and
// saving go through the file access (local, network and http:/ names); a new document starts
// from a template. The file also gives the application its title.
class SourceFile {
public:
    // File types by extension.
    enum class FileTypes : std::int32_t { FaceProgram = 1, DataDocument = 3, OtherFile = 4 };
    // How the lines of a file end; a save writes them back as they were read.
    enum class LineEnds { CrLf, Lf, Cr };

    // What names the document, kept before another file is read and put back when that fails.
    struct Naming {
        QString fileName;
        FileTypes type = FileTypes::OtherFile;
        bool edited = false;
        QString title;
        bool named = false;
    };

    // Shows the open (save false) or save dialog and returns the chosen path, empty when
    // cancelled. Without one, no name can be chosen.
    using FileDialog = std::function<QString(bool save)>;
    // Receives the application title whenever it changes.
    using TitleSink = std::function<void(const QString&)>;

    SourceFile();

    // The editor the text lives in from now on (null: kept here again); text kept so far moves
    // into it.
    void setEditor(SourceEditor* editor);
    void setFileDialog(FileDialog dialog) { m_fileDialog = std::move(dialog); }
    void setTitleSink(TitleSink sink) { m_titleSink = std::move(sink); }
    // Called whenever new text replaces the old, so that what was made of the old goes too.
    void setTextReplaced(std::function<void()> replaced) { m_textReplaced = std::move(replaced); }

    [[nodiscard]] const QString& FileName() const { return m_fileName; }
    // An empty name is ignored.
    void setFileName(const QString& name);
    [[nodiscard]] QString Text() const;
    // Forgets the text kept here (not an editor's) without counting as new text: an unattended
    // run needs a data document's text only until its tree is built.
    void releaseText() { bufferText = QString(); }
    void setText(const QString& text);
    // A new document of a type from its template; another type gives an empty text.
    void Clear(FileTypes type);
    // Opens the named file (asking for a name when ask is true or none is set); true when read.
    bool InBuff(bool ask);
    // Saves (asking for a name when fNSD is set or the document has no name of its own yet); fOWA,
    // or a name chosen in the dialog, asks before overwriting another file. The file keeps its code
    // set and line ends: a text that its code set (Shift_JIS) cannot hold is saved in UTF-8 only
    // when the user agrees. True when written; only then does fFileEdit go back to false.
    bool OutBuff(bool fNSD, bool fOWA);
    // The document has been read from or saved under its name (a new one from a template, whose
    // name is only a suggestion, has not).
    [[nodiscard]] bool named() const { return m_named; }
    [[nodiscard]] Naming naming() const;
    void restoreNaming(const Naming& naming);
    // The encoding the file was read in (CP932 for a new document).
    [[nodiscard]] shell::TextEncoding encoding() const { return m_encoding; }
    void setEncoding(shell::TextEncoding encoding) { m_encoding = encoding; }
    // The line ends the file was read with (CR LF for a new document).
    [[nodiscard]] LineEnds lineEnds() const { return m_lineEnds; }

    // Data document files of at least this many bytes are not read into the text but left to be
    // read in a stream by the merge (unattended runs); -1, as in the window, never.
    void setStreamFrom(std::int64_t bytes) { m_streamFrom = bytes; }
    // The file named is a data document to be read in a stream: the text is empty.
    [[nodiscard]] bool streamed() const { return m_streamed; }
    // A streamed document that arrived whole (an http:/ answer) is read from its bytes; a local
    // file from disk.
    [[nodiscard]] bool streamedFromBytes() const { return m_streamed && m_fromBytes; }
    [[nodiscard]] const QByteArray& streamedBytes() const { return m_streamedBytes; }

    // The title a caller chose ("-t=" wins over it); an empty one changes nothing.
    void SetDocTitle(const QString& title);
    // The application title as the document set it last.
    [[nodiscard]] const QString& title() const { return m_title; }
    // The title of the file itself (its base name, or the one SetDocTitle chose), which a data
    // document without a title of its own gets.
    [[nodiscard]] const QString& savedTitle() const { return m_savedTitle; }
    // Makes a title the application title without changing the saved one.
    void setApplicationTitle(const QString& title);

    // What the text is (by the file name's extension, or as Clear made it).
    FileTypes FileType = FileTypes::OtherFile;
    // The text was changed since it was loaded or saved (the window sets it, loading and saving
    // clear it).
    bool fFileEdit = false;

    // The type of a file name by its extension.
    [[nodiscard]] static FileTypes fileTypeOf(const QString& name);
    // The line ends most lines of a text have (CR LF when it has none).
    [[nodiscard]] static LineEnds lineEndsOf(const QString& text);
    // The text with every line end made the given one.
    [[nodiscard]] static QString withLineEnds(const QString& text, LineEnds ends);
    // The one message of a file that cannot be opened: what, which file and why.
    [[nodiscard]] static QString cannotOpenMessage(const QString& name, const QString& reason);
    // The new-document templates (date and time as given).
    [[nodiscard]] static QString faceTemplate(const QString& date, const QString& time);
    [[nodiscard]] static QString dataTemplate(const QString& date, const QString& time);

private:
    [[nodiscard]] bool readFile();
    // Takes a text read from the file: the text itself, its encoding and its line ends.
    void takeRead(const QString& text, shell::TextEncoding encoding);
    // Whether the text may be written in the encoding the opened file would get; asks the user
    // when Shift_JIS cannot hold it (UTF-8 instead, or no save).
    [[nodiscard]] bool agreeOnEncoding(shell::GeneFile& file, const QString& text);
    [[nodiscard]] bool leaveToStream() const;
    [[nodiscard]] bool streamsData() const;

    // The editor the text lives in, or null while bufferText holds it.
    SourceEditor* m_editor = nullptr;
    QString bufferText;
    QString m_fileName;
    shell::TextEncoding m_encoding = shell::TextEncoding::Cp932;
    LineEnds m_lineEnds = LineEnds::CrLf;
    bool m_named = false;
    std::int64_t m_streamFrom = -1;
    bool m_streamed = false;
    QByteArray m_streamedBytes;
    bool m_fromBytes = false;
    QString m_title;
    QString m_savedTitle;
    FileDialog m_fileDialog;
    TitleSink m_titleSink;
    std::function<void()> m_textReplaced;
};

}
