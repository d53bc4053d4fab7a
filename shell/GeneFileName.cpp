#include "shell/GeneFileName.h"

#include "shell/Common.h"

#include <QDir>

namespace vorlix::shell {

namespace {

    // Thrown inside the splitting when a name turns out to be invalid.
    struct InvalidName { };

    // Index of the last separator at or after start, -1 when there is none. Two separators in a row
    // make the name invalid: "a//b" and "x..fae" name nothing a user meant.
    qsizetype lastSep(qsizetype start, const QString& text, QChar separator)
    {
        qsizetype last = -1;
        for (qsizetype i = start; i < text.size(); ++i) {
            if (text[i] != separator)
                continue;
            if (i + 1 < text.size() && text[i + 1] == separator)
                throw InvalidName {};
            last = i;
        }
        return last;
    }

    QString extensionOf(const QString& fileName)
    {
        const qsizetype dot = lastSep(0, fileName, QLatin1Char('.'));
        if (dot < 0 || dot == fileName.size() - 1)
            return {};
        return fileName.mid(dot + 1).toUpper();
    }

    // A folder always ends in "/"; ".." and "." parts of a relative name are resolved.
    QString folderText(const QString& folder)
    {
        const QString clean = QDir::cleanPath(folder);
        return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
    }

    void splitNetwork(const QString& s, GeneFileName& parts)
    {
        parts.ServiceType = ServiceKind::Network;
        const qsizetype first = s.indexOf(QLatin1Char('/'), 2);
        if (first <= 2)
            throw InvalidName {};
        parts.DriveLetter = s.left(first);
        const qsizetype last = lastSep(first, s, QLatin1Char('/'));
        if (last == first)
            throw InvalidName {};
        parts.Path = s.mid(first, last - first + 1);
        parts.FileName = s.mid(last + 1);
    }

    void splitHttp(const QString& s, GeneFileName& parts)
    {
        parts.ServiceType = ServiceKind::Http;
        const qsizetype hostStart = (s.size() > 6 && s[6] == QLatin1Char('/')) ? 7 : 6;
        const qsizetype first = s.indexOf(QLatin1Char('/'), hostStart);
        // The host needs at least two characters after "http:/"; "http:///a" has none.
        if (first <= 7)
            throw InvalidName {};
        parts.DriveLetter = s.mid(hostStart, first - hostStart);
        const qsizetype last = lastSep(first, s, QLatin1Char('/'));
        parts.Path = s.mid(first, last - first + 1);
        parts.FileName = s.mid(last + 1);
    }

    // A drive letter of a name written on Windows ("C:\forms\a.fae") is dropped: the rest is read
    // from the root when it starts with a separator, else from the current folder.
    void splitLocal(const QString& s, const QString& currentFolder, GeneFileName& parts)
    {
        parts.ServiceType = ServiceKind::Local;
        const QString rest = (s.size() >= 2 && s[1] == QLatin1Char(':')) ? s.mid(2) : s;
        const qsizetype last = lastSep(0, rest, QLatin1Char('/'));
        const QString folder = rest.left(last + 1);
        parts.FileName = rest.mid(last + 1);
        if (folder.startsWith(QLatin1Char('/')))
            parts.Path = folderText(folder);
        else
            parts.Path = folderText(currentFolder + QLatin1Char('/') + folder);
    }

}

std::optional<GeneFileName> GeneFileName::split(const QString& name, const QString& currentFolder)
{
    QString s = name.trimmed();
    // A quoted name loses its quotes (a name pasted from a command line); blanks inside them
    // name no file either.
    if (s.startsWith(QLatin1Char('"')))
        s = s.mid(1, s.size() - 2).trimmed();
    // No file system holds a NUL character; a name with one would be cut short silently.
    if (s.isEmpty() || s.contains(QChar::Null))
        return std::nullopt;

    GeneFileName parts;
    try {
        if (s.left(6).toLower() == QLatin1String("http:/")) {
            splitHttp(s, parts);
        } else {
            s = localPath(s);
            if (s.startsWith(QLatin1String("//")))
                splitNetwork(s, parts);
            else
                splitLocal(s, currentFolder, parts);
        }
        parts.Extension = extensionOf(parts.FileName);
    } catch (const InvalidName&) {
        return std::nullopt;
    }
    return parts;
}

}
