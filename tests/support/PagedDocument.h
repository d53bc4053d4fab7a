#pragma once

#include <QString>
#include <QStringList>

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

}
