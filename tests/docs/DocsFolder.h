#pragma once

#include <QString>
#include <QStringList>

namespace vorlix::test {

// The manual in the source tree: its pages (docs/*.md) and its examples (docs/examples/**).
// Example names are paths relative to docs/examples, such as "commands/h.fae".
class DocsFolder {
public:
    // docs/ of the source tree the tests were built from.
    [[nodiscard]] static QString root();
    [[nodiscard]] static QString examplesRoot();
    [[nodiscard]] static QString examplePath(const QString& example);

    // Every page of the manual, as paths relative to docs/.
    [[nodiscard]] static QStringList pages();
    // Every text file under docs/examples: faces, data documents, merged texts, tables.
    [[nodiscard]] static QStringList exampleFiles();
    // The examples that are rendered: every data document, and every face that is not the face
    // of a data document of the same name beside it.
    [[nodiscard]] static QStringList renderedExamples();

    // The committed picture of a rendered example ("merge/let.mnd" gives "merge/let.png").
    [[nodiscard]] static QString pictureOf(const QString& example);
    // The committed merged text of a data document ("merge/let.merged.txt").
    [[nodiscard]] static QString mergedTextOf(const QString& example);
    // Examples whose name ends in "-error" show a failing statement or document on purpose.
    [[nodiscard]] static bool showsError(const QString& example);
};

}
