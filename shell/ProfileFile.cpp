#include "shell/ProfileFile.h"

#include "shell/CodePage.h"
#include "shell/FileLock.h"

#include <QFile>
#include <QSaveFile>
#include <ctime>
#include <mutex>
#include <sys/stat.h>

namespace vorlix::shell {

namespace {

    constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

    enum class LineKind : std::uint8_t {
        Blank,
        Comment,
        Section,
        Entry,
    };

    enum class Ending : std::uint8_t {
        None,
        Lf,
        CrLf,
    };

    // One line of the file. A line as read is a range of the file's bytes, so that a large file
    // is held once; a line written since holds its own bytes. Names are decoded when the line is
    // read, values only when asked for.
    struct Line {
        qsizetype start = 0;
        qsizetype size = 0;
        // A byte-order mark at the start of the first line, not part of its text.
        qsizetype skip = 0;
        bool own = false;
        QByteArray body;
        Ending ending = Ending::None;
        LineKind kind = LineKind::Blank;
        // At or after the first section header: only such lines can be read.
        bool inSection = false;
        QString name;
        // The value's bytes, blanks around them removed, within the line's text.
        qsizetype valueStart = 0;
        qsizetype valueSize = 0;
    };

    struct Content {
        bool exists = false;
        bool readable = true;
        TextEncoding encoding = TextEncoding::Cp932;
        QList<Line> lines;
        // The file as it was read.
        QByteArray bytes;
    };

    bool isBlankByte(char c)
    {
        return c == ' ' || c == '\t';
    }

    // Blanks are ASCII and never part of a CP932 or UTF-8 sequence, so they are found in bytes.
    QByteArrayView trimmedBytes(QByteArrayView bytes)
    {
        qsizetype begin = 0;
        qsizetype end = bytes.size();
        while (begin < end && isBlankByte(bytes[begin]))
            ++begin;
        while (end > begin && isBlankByte(bytes[end - 1]))
            --end;
        return bytes.sliced(begin, end - begin);
    }

    QString trimBlanks(QStringView s)
    {
        qsizetype begin = 0;
        qsizetype end = s.size();
        while (begin < end && (s[begin] == u' ' || s[begin] == u'\t'))
            ++begin;
        while (end > begin && (s[end - 1] == u' ' || s[end - 1] == u'\t'))
            --end;
        return s.sliced(begin, end - begin).toString();
    }

    // A line break inside a name or value would split the line and smuggle in entries of its own.
    QString oneLine(const QString& text)
    {
        QString out = text;
        out.replace(u'\r', u' ').replace(u'\n', u' ');
        return out;
    }

    QString decode(QByteArrayView bytes, TextEncoding encoding)
    {
        const QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
        return decodeAs(raw, encoding == TextEncoding::Cp932 ? encoding : TextEncoding::Utf8);
    }

    QByteArray encodeLine(const QString& text, TextEncoding encoding)
    {
        return encoding == TextEncoding::Cp932 ? toCp932(text) : text.toUtf8();
    }

    // The line's text as bytes, without its line end and byte-order mark.
    QByteArrayView textOf(const Content& content, const Line& line)
    {
        const QByteArrayView whole = line.own
            ? QByteArrayView(line.body)
            : QByteArrayView(content.bytes).sliced(line.start, line.size);
        return whole.sliced(line.skip);
    }

    QByteArrayView endingOf(Ending ending)
    {
        switch (ending) {
        case Ending::Lf:
            return "\n";
        case Ending::CrLf:
            return "\r\n";
        case Ending::None:
            break;
        }
        return {};
    }

    // The kind shows in the first byte that is no blank, which is always a character of its own.
    LineKind kindOf(QByteArrayView text)
    {
        const QByteArrayView t = trimmedBytes(text);
        if (t.isEmpty())
            return LineKind::Blank;
        if (t.front() == ';')
            return LineKind::Comment;
        if (t.front() == '[')
            return LineKind::Section;
        return LineKind::Entry;
    }

    // Only sections and entries a read can reach say which encoding the file is in; comments and
    // other lines keep their bytes whatever it is. When those lines are plain ASCII the file as a
    // whole decides, as for any text file.
    TextEncoding encodingOf(const Content& content)
    {
        if (content.bytes.startsWith(kUtf8Bom))
            return TextEncoding::Utf8Bom;
        bool nonAscii = false;
        bool utf8 = true;
        for (const Line& line : content.lines) {
            if (!line.inSection || (line.kind != LineKind::Section && line.kind != LineKind::Entry))
                continue;
            const QByteArrayView text = textOf(content, line);
            if (isPlainAscii(text))
                continue;
            nonAscii = true;
            utf8 = utf8 && isValidUtf8(text);
        }
        if (nonAscii)
            return utf8 ? TextEncoding::Utf8 : TextEncoding::Cp932;
        return !isPlainAscii(content.bytes) && isValidUtf8(content.bytes) ? TextEncoding::Utf8
                                                                          : TextEncoding::Cp932;
    }

    // Names and the value's place, from the line's bytes in the content's encoding. "=" is ASCII
    // and never the second byte of a CP932 character.
    void describe(const Content& content, Line& line)
    {
        const QByteArrayView text = textOf(content, line);
        line.name.clear();
        line.valueStart = 0;
        line.valueSize = 0;
        if (line.kind == LineKind::Section) {
            // "]" can be the second byte of a CP932 character: the name ends at the character.
            const QString t = trimBlanks(decode(text, content.encoding));
            const qsizetype close = t.indexOf(u']');
            line.name = trimBlanks(QStringView(t).mid(1, close < 0 ? -1 : close - 1));
            return;
        }
        if (line.kind != LineKind::Entry)
            return;
        const qsizetype eq = text.indexOf('=');
        line.name = decode(trimmedBytes(eq < 0 ? text : text.first(eq)), content.encoding);
        if (eq < 0)
            return;
        const QByteArrayView after = text.sliced(eq + 1);
        const QByteArrayView value = trimmedBytes(after);
        line.valueStart = line.skip + eq + 1 + (value.data() - after.data());
        line.valueSize = value.size();
    }

    QString valueOf(const Content& content, const Line& line)
    {
        const QByteArrayView whole = line.own
            ? QByteArrayView(line.body)
            : QByteArrayView(content.bytes).sliced(line.start, line.size);
        return decode(whole.sliced(line.valueStart, line.valueSize), content.encoding);
    }

    // A line written by the program, inside a section.
    Line makeLine(const Content& content, const QString& text)
    {
        Line line;
        line.own = true;
        line.body = encodeLine(text, content.encoding);
        line.size = line.body.size();
        line.ending = Ending::CrLf;
        line.kind = kindOf(line.body);
        line.inSection = true;
        describe(content, line);
        return line;
    }

    // The lines of a file's bytes.
    Content parse(QByteArray fileBytes)
    {
        Content content;
        content.exists = true;
        content.bytes = std::move(fileBytes);
        const QByteArrayView bytes(content.bytes);
        bool inSection = false;
        // Splitting at the byte 0x0A is safe: it is never a trail byte in CP932 or UTF-8.
        for (qsizetype start = 0; start < bytes.size();) {
            const qsizetype newline = bytes.indexOf('\n', start);
            const qsizetype end = newline < 0 ? bytes.size() : newline;
            Line line;
            line.start = start;
            line.size = end - start;
            if (newline >= 0) {
                line.ending = Ending::Lf;
                if (line.size > 0 && bytes[end - 1] == '\r') {
                    line.ending = Ending::CrLf;
                    --line.size;
                }
            }
            if (start == 0 && bytes.startsWith(kUtf8Bom))
                line.skip = 3;
            line.kind = kindOf(textOf(content, line));
            inSection = inSection || line.kind == LineKind::Section;
            line.inSection = inSection;
            content.lines.append(std::move(line));
            start = newline < 0 ? bytes.size() : newline + 1;
        }
        content.encoding = encodingOf(content);
        for (Line& line : content.lines)
            describe(content, line);
        return content;
    }

    bool sameName(const QString& a, const QString& b)
    {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }

    // Index of the first header of the section, or -1.
    qsizetype findSection(const Content& content, const QString& section)
    {
        for (qsizetype i = 0; i < content.lines.size(); ++i) {
            const Line& line = content.lines[i];
            if (line.kind == LineKind::Section && sameName(line.name, section))
                return i;
        }
        return -1;
    }

    // Index just past the last line of the section whose header is at `header`.
    qsizetype sectionEnd(const Content& content, qsizetype header)
    {
        qsizetype i = header + 1;
        while (i < content.lines.size() && content.lines[i].kind != LineKind::Section)
            ++i;
        return i;
    }

    qsizetype findKey(const Content& content, qsizetype header, const QString& key)
    {
        const qsizetype end = sectionEnd(content, header);
        for (qsizetype i = header + 1; i < end; ++i) {
            const Line& line = content.lines[i];
            if (line.kind == LineKind::Entry && sameName(line.name, key))
                return i;
        }
        return -1;
    }

    // Turns a CP932 file into UTF-8 when a new text has no CP932 code, so that nothing is lost.
    // Only the lines a read reaches change; comments and the rest keep their bytes, whatever code
    // set they are in (a comment in UTF-8 in a CP932 file would otherwise turn into lasting
    // mojibake).
    void switchToUtf8(Content& content)
    {
        for (Line& line : content.lines) {
            if (!line.inSection || (line.kind != LineKind::Section && line.kind != LineKind::Entry))
                continue;
            const QString text = decode(textOf(content, line), content.encoding);
            line.body = text.toUtf8();
            line.own = true;
            line.skip = 0;
            line.size = line.body.size();
        }
        content.encoding = TextEncoding::Utf8;
        for (Line& line : content.lines)
            describe(content, line);
    }

    void terminate(Line& line)
    {
        if (line.ending == Ending::None)
            line.ending = Ending::CrLf;
    }

    void insertEntry(
        Content& content, const QString& section, const QString& key, const QString& entry)
    {
        const qsizetype header = findSection(content, section);
        if (header >= 0) {
            const qsizetype existing = findKey(content, header, key);
            if (existing >= 0) {
                const Ending ending = content.lines[existing].ending;
                content.lines[existing] = makeLine(content, entry);
                content.lines[existing].ending = ending == Ending::None ? Ending::CrLf : ending;
                return;
            }
            // Append after the section's last non-blank line, so blank lines between sections stay.
            qsizetype last = header;
            const qsizetype end = sectionEnd(content, header);
            for (qsizetype i = header + 1; i < end; ++i)
                if (content.lines[i].kind != LineKind::Blank)
                    last = i;
            terminate(content.lines[last]);
            content.lines.insert(last + 1, makeLine(content, entry));
            return;
        }
        if (!content.lines.isEmpty()) {
            terminate(content.lines.last());
            if (content.lines.last().kind != LineKind::Blank)
                content.lines.append(makeLine(content, QString()));
        }
        content.lines.append(makeLine(content, u'[' + section + u']'));
        content.lines.append(makeLine(content, entry));
    }

    // Whether a section and key written under these names are found again by a read: a "]" ends
    // a section's name, a "=" ends a key, and a key that starts like a comment or a section
    // header makes its line one.
    bool readableNames(const QString& section, const QString& key)
    {
        return !section.contains(u']') && !key.contains(u'=') && !key.startsWith(u';')
            && !key.startsWith(u'[');
    }

    QByteArray assemble(const Content& content)
    {
        qsizetype size = 3;
        for (const Line& line : content.lines)
            size += line.skip + textOf(content, line).size() + 2;
        QByteArray bytes;
        bytes.reserve(size);
        if (content.encoding == TextEncoding::Utf8Bom)
            bytes.append(kUtf8Bom);
        for (const Line& line : content.lines) {
            bytes.append(textOf(content, line));
            bytes.append(endingOf(line.ending));
        }
        return bytes;
    }

    bool save(const QString& path, const QByteArray& bytes)
    {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (file.write(bytes) != bytes.size()) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }

    // What tells one state of the file from another without reading it.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified {};
        timespec changed {};
        friend bool operator==(const Stamp& a, const Stamp& b)
        {
            return a.device == b.device && a.inode == b.inode && a.size == b.size
                && a.modified.tv_sec == b.modified.tv_sec
                && a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec
                && a.changed.tv_nsec == b.changed.tv_nsec;
        }
    };

    Stamp stampOf(const struct stat& st)
    {
        return { st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim };
    }

    bool before(const timespec& a, const timespec& b)
    {
        return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
    }

    // The clock file times are taken from.
    timespec fileClock()
    {
        timespec now {};
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
        return now;
    }

}

// What was last read. The file's times have the resolution of a clock tick, so a change within
// the tick of the last read could keep every field of the stamp: while the file's time is not
// older than the moment it was read, the next read compares the bytes as well.
struct ProfileCache {
    std::mutex mutex;
    std::shared_ptr<const Content> content;
    Stamp stamp;
    bool racy = true;

    void keep(std::shared_ptr<const Content> next, const Stamp& nextStamp, const timespec& readAt)
    {
        content = std::move(next);
        stamp = nextStamp;
        racy = !before(nextStamp.modified, readAt);
    }
};

namespace {

    // The file as it is now, read again only when it changed since the cache was filled.
    std::shared_ptr<const Content> load(const QString& path, ProfileCache& cache)
    {
        const std::lock_guard guard(cache.mutex);
        const timespec readAt = fileClock();
        QFile file(path);
        if (!file.exists()) {
            cache.content = std::make_shared<const Content>();
            cache.racy = true;
            return cache.content;
        }
        auto unreadable = [&] {
            Content content;
            content.exists = true;
            content.readable = false;
            cache.content = std::make_shared<const Content>(std::move(content));
            cache.racy = true;
            return cache.content;
        };
        struct stat st { };
        if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &st) != 0)
            return unreadable();
        const Stamp stamp = stampOf(st);
        const bool known = cache.content && cache.content->exists && cache.content->readable
            && cache.stamp == stamp;
        if (known && !cache.racy)
            return cache.content;
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return unreadable();
        if (known && bytes == cache.content->bytes)
            cache.keep(cache.content, stamp, readAt);
        else
            cache.keep(std::make_shared<const Content>(parse(std::move(bytes))), stamp, readAt);
        return cache.content;
    }

    // The stamp of the file just written, for a cache that keeps what was written.
    void keepWritten(const QString& path, ProfileCache& cache, Content content)
    {
        const std::lock_guard guard(cache.mutex);
        const timespec readAt = fileClock();
        struct stat st { };
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            cache.content.reset();
            return;
        }
        cache.keep(std::make_shared<const Content>(std::move(content)), stampOf(st), readAt);
    }

    // Writes one entry into the content, which then reads as the file would after the write;
    // false when a read could not find the names again.
    bool applyWrite(Content& content, const ProfileWrite& write)
    {
        const QString sectionName = trimBlanks(oneLine(write.section));
        const QString keyName = trimBlanks(oneLine(write.key));
        if (sectionName.isEmpty() || keyName.isEmpty() || !readableNames(sectionName, keyName))
            return false;
        const QString entry = keyName + u'=' + trimBlanks(oneLine(write.value));
        const qsizetype header = findSection(content, sectionName);
        const qsizetype line = header < 0 ? -1 : findKey(content, header, keyName);
        if (line >= 0) {
            const Line& existing = content.lines[line];
            // A default leaves a value alone, and a line that already says it stays as it is
            // (most writes store what the file holds), without reading the file again.
            if ((write.keepValue && existing.valueSize > 0)
                || textOf(content, existing) == encodeLine(entry, content.encoding))
                return true;
        }
        if (content.encoding == TextEncoding::Cp932 && !fitsCp932(sectionName + entry))
            switchToUtf8(content);
        insertEntry(content, sectionName, keyName, entry);
        Content written = parse(assemble(content));
        // The file is read as UTF-8 whenever its entries are valid UTF-8: a CP932 file that the
        // write made so (a new half-width kana pair, or the only other byte sequence removed)
        // would read back as other characters, so it goes out in UTF-8 instead.
        if (content.encoding == TextEncoding::Cp932 && written.encoding != content.encoding) {
            switchToUtf8(content);
            written = parse(assemble(content));
        }
        content = std::move(written);
        return true;
    }

}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
    , m_cache(std::make_shared<ProfileCache>())
{
}

std::optional<QString> ProfileFile::readString(const QString& section, const QString& key) const
{
    const auto content = load(m_path, *m_cache);
    const qsizetype header = findSection(*content, section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(*content, header, key);
    if (line < 0)
        return std::nullopt;
    return valueOf(*content, content->lines[line]);
}

QList<ProfileEntry> ProfileFile::sectionEntries(const QString& section) const
{
    const auto content = load(m_path, *m_cache);
    QList<ProfileEntry> entries;
    const qsizetype header = findSection(*content, section);
    if (header < 0)
        return entries;
    const qsizetype end = sectionEnd(*content, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = content->lines[i];
        if (line.kind == LineKind::Entry)
            entries.append({ line.name, valueOf(*content, line) });
    }
    return entries;
}

QStringList ProfileFile::sectionNames() const
{
    const auto content = load(m_path, *m_cache);
    QStringList names;
    for (const Line& line : content->lines) {
        if (line.kind != LineKind::Section)
            continue;
        if (!names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    }
    return names;
}

bool ProfileFile::writeString(
    const QString& section, const QString& key, const QString& value) const
{
    return writeStrings({ { section, key, value } });
}

bool ProfileFile::writeStrings(const QList<ProfileWrite>& writes) const
{
    const FileLock lock(m_path);
    const auto loaded = load(m_path, *m_cache);
    // A file that exists but cannot be read is never overwritten with only the new entries.
    if (loaded->exists && !loaded->readable)
        return false;
    Content content = *loaded;
    bool all = true;
    bool any = false;
    for (const ProfileWrite& write : writes) {
        if (applyWrite(content, write))
            any = true;
        else
            all = false;
    }
    // Most writes store what the file already says (the paper and corrections after every job,
    // the command line of a repeated run): the file stays as it is, and the disk is not asked to
    // flush it again.
    if (!any || (loaded->exists && content.bytes == loaded->bytes))
        return all;
    if (!save(m_path, content.bytes))
        return false;
    content.exists = true;
    keepWritten(m_path, *m_cache, std::move(content));
    return all;
}

ProfileCreation ProfileFile::createIfMissing(const QStringList& lines) const
{
    const FileLock lock(m_path);
    if (QFile::exists(m_path))
        return ProfileCreation::Existed;
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return save(m_path, encodeNewText(text)) ? ProfileCreation::Created : ProfileCreation::Failed;
}

}
