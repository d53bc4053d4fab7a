#include "tests/docs/DocsFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace vorlix::test {

namespace {

    QStringList filesUnder(const QString& folder, const QStringList& patterns)
    {
        QStringList found;
        QDirIterator it(folder, patterns, QDir::Files, QDirIterator::Subdirectories);
        const QDir base(folder);
        while (it.hasNext())
            found << base.relativeFilePath(it.next());
        std::sort(found.begin(), found.end());
        return found;
    }

    QString withoutSuffix(const QString& name)
    {
        const qsizetype dot = name.lastIndexOf(u'.');
        return dot < 0 ? name : name.left(dot);
    }

}

QString DocsFolder::root()
{
    return qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/docs");
}

QString DocsFolder::examplesRoot()
{
    return root() + QStringLiteral("/examples");
}

QString DocsFolder::examplePath(const QString& example)
{
    return examplesRoot() + u'/' + example;
}

QStringList DocsFolder::pages()
{
    return filesUnder(root(), { QStringLiteral("*.md") });
}

QStringList DocsFolder::exampleFiles()
{
    return filesUnder(examplesRoot(),
        { QStringLiteral("*.fae"), QStringLiteral("*.mnd"), QStringLiteral("*.txt") });
}

QStringList DocsFolder::renderedExamples()
{
    QStringList rendered;
    for (const QString& file : exampleFiles()) {
        if (file.endsWith(QStringLiteral(".mnd")))
            rendered << file;
        else if (file.endsWith(QStringLiteral(".fae"))
            && !QFileInfo::exists(examplePath(withoutSuffix(file) + QStringLiteral(".mnd"))))
            rendered << file;
    }
    return rendered;
}

QString DocsFolder::pictureOf(const QString& example)
{
    return withoutSuffix(example) + QStringLiteral(".png");
}

QString DocsFolder::mergedTextOf(const QString& example)
{
    return withoutSuffix(example) + QStringLiteral(".merged.txt");
}

bool DocsFolder::showsError(const QString& example)
{
    return withoutSuffix(QFileInfo(example).fileName()).endsWith(QStringLiteral("-error"));
}

}
