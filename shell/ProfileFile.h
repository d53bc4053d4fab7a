#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace vorlix::shell {

// One entry of a section as the profile routines deliver it: blanks around "=" removed; a line
// without "=" gives its text as the key and an empty value.
struct ProfileEntry {
    QString key;
    QString value;
    friend bool operator==(const ProfileEntry&, const ProfileEntry&) = default;
};

// One key to write: its section, name and value. A default written back (keepValue) leaves a key
// that already holds a value alone: another process may have stored one since it was read.
struct ProfileWrite {
    QString section;
    QString key;
    QString value;
    bool keepValue = false;
};

// What a ProfileFile last read, shared by its copies.
struct ProfileCache;

// What creating a missing file came to.
enum class ProfileCreation {
    Existed,
    Created,
    Failed,
};

// An INI file read and written with the private-profile semantics of Windows: section and key
// names match without regard to letter case, blanks around "=" are removed, ";" lines are
// comments, and a write touches only its own line. The file is read once and again only when it
// changed (its identity, size or times), so a hand edit is seen at the next read without a large
// file being read at every one; copies of a ProfileFile share what was read. Bytes of untouched
// lines are written back exactly as read; new lines use the file's encoding (CP932 for a new file)
// and end in CR LF. The file's encoding is that of its sections and entries: comments, blank lines
// and lines before the first section take no part and keep their bytes even when a value turns
// the file into UTF-8. Every change reads, changes and replaces the file under an advisory lock
// (FileLock), so that overlapping runs lose none of each other's writes; a write that fails
// leaves the file as it was.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    [[nodiscard]] const QString& path() const { return m_path; }

    // The value of a key in a section, or nothing when the file, section or key is missing.
    [[nodiscard]] std::optional<QString> readString(
        const QString& section, const QString& key) const;

    // The entries of a section in file order (comments and blank lines left out); empty when the
    // section is missing.
    [[nodiscard]] QList<ProfileEntry> sectionEntries(const QString& section) const;

    // The section names in file order.
    [[nodiscard]] QStringList sectionNames() const;

    // Replaces the key's line in place, or appends it at the end of its section, creating the
    // section at the end of the file when missing. Line breaks inside the texts become blanks so
    // that a value can never add lines of its own. False when the file could not be written, or
    // when a read could not find the key again (a "]" in the section's name, a "=" in the key's, a
    // key starting with ";" or "[").
    [[nodiscard]] bool writeString(
        const QString& section, const QString& key, const QString& value) const;
    // Writes the keys in turn, as that many writeString calls would, but replaces the file once.
    // False when any of them could not be written.
    [[nodiscard]] bool writeStrings(const QList<ProfileWrite>& writes) const;

    // Creates the file with these lines (CP932 unless a character does not fit) when there is
    // none; an existing file is left alone.
    [[nodiscard]] ProfileCreation createIfMissing(const QStringList& lines) const;

private:
    QString m_path;
    std::shared_ptr<ProfileCache> m_cache;
};

}
