#include "drovik/SampleList.h"

#include "shell/GeneFileName.h"

namespace vorlix::drovik {

namespace {

    // The file name starts at character 40 (1-based) of a "0" line.
    constexpr qsizetype kNameColumn = 39;

    // Characters that no shown or saved name may hold: C0 and C1 controls, DEL, the line and
    // paragraph separators and halves of surrogate pairs.
    bool controlCharacter(QChar c)
    {
        return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph || c.isSurrogate();
    }

    // Every line that ends with a line end, without it; what follows the last line end is no
    // line.
    QStringList completeLines(const QString& text)
    {
        QStringList lines = text.split(QLatin1Char('\n'));
        lines.removeLast();
        for (QString& line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
        }
        return lines;
    }

}

SampleList SampleList::parse(const QString& text)
{
    SampleList list;
    const QStringList lines = completeLines(text);
    qsizetype i = 0;
    for (; i < lines.size() && lines[i].startsWith(QLatin1Char('#')); ++i)
        list.m_header.append(lines[i].mid(1));
    for (; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1Char('0')))
            continue;
        const QString name = lines[i].mid(kNameColumn).trimmed();
        list.m_entries.push_back({ name, isPlainFileName(name) });
    }
    return list;
}

QString SampleList::question() const
{
    QString text;
    for (const QString& line : m_header)
        text += line + QStringLiteral("\r\n");
    return text + QStringLiteral("ダウンロードしますか？");
}

bool SampleList::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || controlCharacter(c))
            return false;
    }
    // The file access trims, unquotes, drops a drive and refuses "..": the name must come out of
    // its splitting unchanged, directly under the folder it is written into.
    const auto parts = shell::GeneFileName::split(name, QStringLiteral("/"));
    return parts && parts->ServiceType == shell::ServiceKind::Local
        && parts->Path == QLatin1String("/") && parts->FileName == name;
}

QString SampleList::printable(const QString& name)
{
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        if (!controlCharacter(c)) {
            shown += c;
        } else if (c.unicode() <= 0xFF) {
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    return shown;
}

}
