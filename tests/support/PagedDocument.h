#pragma once

#include "document/PagedDocument.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace vorlix::test {

// A paged document with a common head and the given pages, its header computed as the merge
// writes it.
inline QString pagedDocument(const QString& head, const QStringList& pages)
{
    QString body = head;
    QStringList starts { QStringLiteral("1") };
    for (const QString& page : pages) {
        starts << QString::number(body.size() + 1);
        body += page;
    }
    body += QLatin1Char(' ');
    return QStringLiteral("head,%1,%2;\r\n").arg(pages.size()).arg(starts.join(',')) + body;
}

// Writes the pages into a packed document the way the merge does: every page handed over when the
// next one starts, the pages before it then complete; the last page and the document's end come
// with finish(). `beforePage(i)` runs once pages 1..i are complete, before page i + 1 is written.
inline void writeAsTheMerge(document::PagedDocument& document, const QString& head,
    const QStringList& pages, const std::function<void(qsizetype)>& beforePage = {})
{
    std::vector<qsizetype> starts { 1 };
    qsizetype size = head.size();
    QString out = head;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        starts.push_back(size + 1);
        if (i > 0) {
            document.append(out);
            out.clear();
            document.pagesComplete(starts);
        }
        if (beforePage)
            beforePage(i);
        out += pages.at(i);
        size += pages.at(i).size();
    }
    document.append(out + QLatin1Char(' '));
    document.finish(starts);
}

}
