// Reads arbitrary bytes as a settings file, then writes one key into it. Reading must agree with
// itself (every listed entry reads back through readString), the written key must read back as
// written, and every other entry of the file must still read as before.
#include "shell/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::shell::ProfileEntry;
using vorlix::shell::ProfileFile;

namespace {

const QString& filePath()
{
    // Memory-backed when the machine has it: every write is committed to disk, which would
    // otherwise set the pace.
    static const QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/vorlix-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/vorlix-fuzz-XXXXXX"));
    static const QString path = QDir(folder.path()).filePath(QStringLiteral("vorlix.ini"));
    return path;
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

struct Snapshot {
    QStringList sections;
    QList<QList<ProfileEntry>> entries;
};

Snapshot snapshot(const ProfileFile& file)
{
    Snapshot s;
    s.sections = file.sectionNames();
    for (const QString& section : s.sections)
        s.entries.append(file.sectionEntries(section));
    return s;
}

// Every entry a section lists is found by readString, with the value of its first occurrence.
void checkReads(const ProfileFile& file, const Snapshot& s)
{
    for (qsizetype i = 0; i < s.sections.size(); ++i) {
        for (const ProfileEntry& entry : s.entries[i]) {
            const auto value = file.readString(s.sections[i], entry.key);
            if (!value)
                fail("a listed key is not found", entry.key);
            for (const ProfileEntry& first : s.entries[i]) {
                if (first.key.compare(entry.key, Qt::CaseInsensitive) == 0) {
                    if (*value != first.value)
                        fail("readString differs from the first entry", entry.key);
                    break;
                }
            }
        }
    }
}

// The entries of a section with the written key replaced, or appended when it was missing.
QList<ProfileEntry> expectedAfterWrite(
    QList<ProfileEntry> entries, const QString& key, const QString& value)
{
    for (ProfileEntry& entry : entries) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
            entry = { key, value };
            return entries;
        }
    }
    entries.append({ key, value });
    return entries;
}

// A name or value as the file stores it: one line, blanks and tabs around it removed.
QString stored(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && (text[b] == u' ' || text[b] == u'\t'))
        ++b;
    while (e > b && (text[e - 1] == u' ' || text[e - 1] == u'\t'))
        --e;
    return text.mid(b, e - b);
}

// The fields of the write are taken from the input's last line, "section|key|value".
struct Write {
    QString section;
    QString key;
    QString value;
};

Write writeFrom(const QByteArray& bytes)
{
    const qsizetype lastLine = bytes.lastIndexOf('\n');
    const QStringList parts = QString::fromUtf8(bytes.mid(lastLine + 1)).split(u'|');
    Write w { QStringLiteral("general"), QStringLiteral("Command"), QStringLiteral("-p a.mnd") };
    if (parts.size() == 3)
        w = { parts[0], parts[1], parts[2] };
    return w;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile out(filePath());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(bytes) != bytes.size())
            std::abort();
    }
    const ProfileFile file(filePath());
    const Snapshot before = snapshot(file);
    checkReads(file, before);

    const Write w = writeFrom(bytes);
    if (!file.writeString(w.section, w.key, w.value))
        return 0;
    const Snapshot after = snapshot(file);
    checkReads(file, after);

    const QString section = stored(w.section);
    const QString key = stored(w.key);
    const QString value = stored(w.value);
    if (file.readString(section, key) != value)
        fail("the written value does not read back", w.value);

    // Every other section reads as before; the written one has only its key changed.
    for (qsizetype i = 0; i < before.sections.size(); ++i) {
        const QString& name = before.sections[i];
        const qsizetype j = after.sections.indexOf(name);
        if (j < 0)
            fail("a section was lost", name);
        const bool written = name.compare(section, Qt::CaseInsensitive) == 0;
        const auto expected
            = written ? expectedAfterWrite(before.entries[i], key, value) : before.entries[i];
        if (after.entries[j] != expected)
            fail("the entries of a section changed", name);
    }
    return 0;
}
