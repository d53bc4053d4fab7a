#include "shell/ProfileFile.h"

#include "shell/Trim.h"

#include "shell/CodePage.h"

#include <QFile>
#include <QSaveFile>

namespace vorlix::shell {

namespace {

    constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

    enum class LineKind {
        Blank,
        Comment,
        Section,
        Entry,
    };

    // One line of the file: its bytes as read (kept for writing back untouched lines exactly), its
    // text, and what the profile rules make of it.
    struct Line {
        QByteArray body;
        QByteArray ending;
        QString text;
        LineKind kind = LineKind::Blank;
        QString name;
        QString value;
    };

    struct Content {
        bool exists = false;
        bool readable = true;
        TextEncoding encoding = TextEncoding::Cp932;
        QList<Line> lines;
        // The file as it was read.
        QByteArray bytes;
    };

    bool isBlank(QChar c)
    {
        return c == u' ' || c == u'\t';
    }

    QString trimBlanks(QStringView s)
    {
        return trimmedBy(s, isBlank).toString();
    }

    // A line break inside a name or value would split the line and smuggle in entries of its own.
    QString oneLine(const QString& text)
    {
        QString out = text;
        out.replace(u'\r', u' ').replace(u'\n', u' ');
        return out;
    }

    QString decodeLine(const QByteArray& bytes, TextEncoding encoding)
    {
        return decodeAs(bytes, encoding == TextEncoding::Cp932 ? encoding : TextEncoding::Utf8);
    }

    QByteArray encodeLine(const QString& text, TextEncoding encoding)
    {
        return encoding == TextEncoding::Cp932 ? toCp932(text) : text.toUtf8();
    }

    void classify(Line& line)
    {
        const QString t = trimBlanks(line.text);
        if (t.isEmpty()) {
            line.kind = LineKind::Blank;
        } else if (t.startsWith(u';')) {
            line.kind = LineKind::Comment;
        } else if (t.startsWith(u'[')) {
            line.kind = LineKind::Section;
            const qsizetype close = t.indexOf(u']');
            line.name = trimBlanks(QStringView(t).mid(1, close < 0 ? -1 : close - 1));
        } else {
            line.kind = LineKind::Entry;
            const qsizetype eq = t.indexOf(u'=');
            line.name = eq < 0 ? t : trimBlanks(QStringView(t).left(eq));
            line.value = eq < 0 ? QString() : trimBlanks(QStringView(t).mid(eq + 1));
        }
    }

    Line makeLine(const QString& text, TextEncoding encoding)
    {
        Line line;
        line.text = text;
        line.body = encodeLine(text, encoding);
        line.ending = "\r\n";
        classify(line);
        return line;
    }

    // The lines of a file's bytes.
    Content parse(QByteArray fileBytes)
    {
        Content content;
        content.exists = true;
        content.bytes = std::move(fileBytes);
        const QByteArray& bytes = content.bytes;
        content.encoding = decodeText(bytes).encoding;
        // Splitting at the byte 0x0A is safe: it is never a trail byte in CP932 or UTF-8.
        qsizetype start = 0;
        while (start < bytes.size()) {
            const qsizetype newline = bytes.indexOf('\n', start);
            const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
            Line line;
            line.body = bytes.mid(start, end - start);
            if (line.body.endsWith('\n')) {
                line.body.chop(1);
                line.ending = "\n";
                if (line.body.endsWith('\r')) {
                    line.body.chop(1);
                    line.ending = "\r\n";
                }
            }
            const bool bom = start == 0 && line.body.startsWith(kUtf8Bom);
            line.text = decodeLine(bom ? line.body.mid(3) : line.body, content.encoding);
            classify(line);
            content.lines.append(std::move(line));
            start = end;
        }
        return content;
    }

    Content load(const QString& path)
    {
        Content content;
        QFile file(path);
        if (!file.exists())
            return content;
        content.exists = true;
        if (!file.open(QIODevice::ReadOnly)) {
            content.readable = false;
            return content;
        }
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            content.readable = false;
            return content;
        }
        return parse(std::move(bytes));
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
    void switchToUtf8(Content& content)
    {
        for (Line& line : content.lines)
            line.body = line.text.toUtf8();
        content.encoding = TextEncoding::Utf8;
    }

    void terminate(Line& line)
    {
        if (line.ending.isEmpty())
            line.ending = "\r\n";
    }

    void insertEntry(
        Content& content, const QString& section, const QString& key, const QString& entry)
    {
        const qsizetype header = findSection(content, section);
        if (header >= 0) {
            const qsizetype existing = findKey(content, header, key);
            if (existing >= 0) {
                const QByteArray ending = content.lines[existing].ending;
                content.lines[existing] = makeLine(entry, content.encoding);
                content.lines[existing].ending = ending.isEmpty() ? QByteArray("\r\n") : ending;
                return;
            }
            // Append after the section's last non-blank line, so blank lines between sections stay.
            qsizetype last = header;
            const qsizetype end = sectionEnd(content, header);
            for (qsizetype i = header + 1; i < end; ++i)
                if (content.lines[i].kind != LineKind::Blank)
                    last = i;
            terminate(content.lines[last]);
            content.lines.insert(last + 1, makeLine(entry, content.encoding));
            return;
        }
        if (!content.lines.isEmpty()) {
            terminate(content.lines.last());
            if (content.lines.last().kind != LineKind::Blank)
                content.lines.append(makeLine(QString(), content.encoding));
        }
        content.lines.append(makeLine(u'[' + section + u']', content.encoding));
        content.lines.append(makeLine(entry, content.encoding));
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
        QByteArray bytes;
        for (const Line& line : content.lines)
            bytes += line.body + line.ending;
        if (content.encoding == TextEncoding::Utf8Bom && !bytes.startsWith(kUtf8Bom))
            bytes.prepend(kUtf8Bom);
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

}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

std::optional<QString> ProfileFile::readString(const QString& section, const QString& key) const
{
    const Content content = load(m_path);
    const qsizetype header = findSection(content, section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(content, header, key);
    if (line < 0)
        return std::nullopt;
    return content.lines[line].value;
}

QList<ProfileEntry> ProfileFile::sectionEntries(const QString& section) const
{
    const Content content = load(m_path);
    QList<ProfileEntry> entries;
    const qsizetype header = findSection(content, section);
    if (header < 0)
        return entries;
    const qsizetype end = sectionEnd(content, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = content.lines[i];
        if (line.kind == LineKind::Entry)
            entries.append({ line.name, line.value });
    }
    return entries;
}

QStringList ProfileFile::sectionNames() const
{
    const Content content = load(m_path);
    QStringList names;
    for (const Line& line : content.lines) {
        if (line.kind != LineKind::Section)
            continue;
        if (!names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    }
    return names;
}

namespace {

    // The file's bytes with the entry written into the content; nothing when a read could not
    // find the names again.
    std::optional<QByteArray> withEntry(
        Content& content, const QString& section, const QString& key, const QString& value)
    {
        const QString sectionName = trimBlanks(oneLine(section));
        const QString keyName = trimBlanks(oneLine(key));
        if (sectionName.isEmpty() || keyName.isEmpty() || !readableNames(sectionName, keyName))
            return std::nullopt;
        const QString entry = keyName + u'=' + trimBlanks(oneLine(value));
        if (content.encoding == TextEncoding::Cp932 && !fitsCp932(sectionName + entry))
            switchToUtf8(content);
        insertEntry(content, sectionName, keyName, entry);
        QByteArray bytes = assemble(content);
        // The file is read as UTF-8 whenever its bytes are valid UTF-8: a CP932 file that the
        // write made so (a new half-width kana pair, or the only other byte sequence removed)
        // would read back as other characters, so it goes out in UTF-8 instead.
        if (content.encoding == TextEncoding::Cp932
            && decodeText(bytes).encoding != content.encoding) {
            switchToUtf8(content);
            bytes = assemble(content);
        }
        return bytes;
    }

}

bool ProfileFile::writeString(
    const QString& section, const QString& key, const QString& value) const
{
    return writeStrings({ { section, key, value } });
}

bool ProfileFile::writeStrings(const QList<ProfileWrite>& writes) const
{
    Content content = load(m_path);
    // A file that exists but cannot be read is never overwritten with only the new entries.
    if (content.exists && !content.readable)
        return false;
    const bool existed = content.exists;
    const QByteArray before = content.bytes;
    bool all = true;
    bool any = false;
    for (const ProfileWrite& write : writes) {
        std::optional<QByteArray> bytes = withEntry(content, write.section, write.key, write.value);
        if (!bytes) {
            all = false;
            continue;
        }
        // Read back as the next write would find the file.
        content = parse(std::move(*bytes));
        any = true;
    }
    // Most writes store what the file already says (the paper and corrections after every job,
    // the command line of a repeated run): the file stays as it is, and the disk is not asked to
    // flush it again.
    if (!any || (existed && content.bytes == before))
        return all;
    return save(m_path, content.bytes) && all;
}

bool ProfileFile::create(const QStringList& lines) const
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return save(m_path, encodeNewText(text));
}

}
