#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace vorlix::drovik {

// One file the list names.
struct SampleEntry {
    QString name; // the text from character 40 on, without surrounding blanks
    bool safe = false; // a plain file name: it can only name a file directly in the sheet folder
};

// The sample server's file list "list2". Leading lines that begin with "#" are the header comment;
// a line that begins with "0" names a file from character 40 on (characters 2 to 39 mean
// nothing); every other line, and a last line without a line end, is ignored. Lines end with
// CR LF; a bare LF ends a line too, so that a list written on a Unix server still reads.
class SampleList {
public:
    [[nodiscard]] static SampleList parse(const QString& text);

    // The header comment, each line without its "#".
    [[nodiscard]] const QStringList& headerComment() const { return m_header; }
    // The "0" lines' files in list order, unsafe names included so that they can be reported.
    [[nodiscard]] const std::vector<SampleEntry>& entries() const { return m_entries; }
    // The question asked before downloading: the header comment, each line followed by CR LF,
    // then "ダウンロードしますか？".
    [[nodiscard]] QString question() const;

    // Whether a listed name can be written as sheet folder + name and stay there: not empty,
    // not "." or "..", no folder separator of either kind, no control character, and taken by
    // the file access as exactly this name (no surrounding quotes or blanks, no drive, no "..").
    [[nodiscard]] static bool isPlainFileName(const QString& name);
    // The name as it may be shown in the transcript and on a terminal: control characters are
    // written as \xNN (or \uNNNN), so a name cannot move the cursor or hide what follows.
    [[nodiscard]] static QString printable(const QString& name);

private:
    QStringList m_header;
    std::vector<SampleEntry> m_entries;
};

}
