#pragma once

#include "drovik/SampleList.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace vorlix::shell {
class GeneFile;
}

namespace vorlix::drovik {

// What one download run did; an unattended run's exit status comes from it.
struct DownloadResult {
    bool listFetched = false; // "list2" arrived and was no HTML page
    bool confirmed = false; // the question was answered yes
    int saved = 0; // files written into the sheet folder
    int failed = 0; // files that could not be fetched or written
    int refused = 0; // names that are no plain file name

    // Every listed file was saved.
    [[nodiscard]] bool complete() const
    {
        return listFetched && confirmed && failed == 0 && refused == 0;
    }
};

// The steps of the download button, without any window: fetch the list from the web folder, ask,
// then fetch every listed file and write it into the sheet folder, telling each step in the
// transcript. The window and the unattended run differ only in where the transcript goes and who
// answers the question.
class Downloader {
public:
    // Receives each transcript line (without a line end).
    using Transcript = std::function<void(const QString& line)>;
    // Asks the question before downloading; true for yes.
    using Question = std::function<bool(const QString& prompt)>;

    Downloader(Transcript transcript, Question question);
    ~Downloader();
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    // One run: webFolder as typed (a "/" is added when missing), files saved into sheetFolder
    // (created when missing). Files of the same name are replaced, each in one step; a symbolic
    // link of the name is replaced, never written through.
    DownloadResult run(const QString& webFolder, const QString& sheetFolder);

    // The web folder of a typed address: blanks removed, "/" appended unless it ends with a
    // folder separator.
    [[nodiscard]] static QString webFolderOf(const QString& typed);
    // A sheet folder as the file access names it: "/" separators and a trailing "/".
    [[nodiscard]] static QString sheetFolderOf(const QString& folder);
    // Whether files of an extension (upper-cased, empty for none) are fetched as text, which is
    // saved with a CR LF added; all others are fetched and saved as bytes.
    [[nodiscard]] static bool textMode(const QString& extension);
    // Whether fetched text is no HTML page: it does not hold "<HTML>" in any letter case.
    [[nodiscard]] static bool NotHtml(const QString& text);

private:
    void AddLine(const QString& text);
    [[nodiscard]] bool Fetch(const QString& name, QString& text, QByteArray& bytes);
    [[nodiscard]] bool ConfirmList(const SampleList& list);
    void DownloadAll(const SampleList& list);
    void downloadOne(const SampleEntry& entry);
    [[nodiscard]] bool save(const QString& name, const QByteArray& bytes) const;

    Transcript m_transcript;
    Question m_question;
    QString m_webFolder;
    QString m_sheetFolder;
    // The one object every fetch of a run goes through.
    std::unique_ptr<shell::GeneFile> m_download;
    // The last fetch was text: its file gets a CR LF added when saved.
    bool m_textMode = false;
    DownloadResult m_result;
};

}
