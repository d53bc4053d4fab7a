#pragma once

#include "document/DataRecords.h"
#include "document/Tree.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vorlix::test {

// A data tree as lines, to compare the tree of a whole read with the head of a streamed one and
// its records loaded one by one: the head in the order its directory keeps, then the records in
// their order, because a streamed read adds them after the head wherever the document had them.

inline bool isRecordName(const QString& label)
{
    return label == u"piece" || label.startsWith(QStringLiteral("piece@"));
}

// Every entry below the current directory as "path=value", in the order the directory keeps.
// Sub-directories are entered by name (an entry without one gets an empty one, in both trees
// alike).
inline void dumpDirectory(
    document::Tree& tree, const QString& path, QStringList& lines, bool skipRecords)
{
    std::int32_t cursor = 0;
    std::int32_t previous = 0;
    QString value;
    QStringList names;
    for (;;) {
        const QString name = tree.Enumerate(cursor, previous, value);
        if (cursor < 0)
            break;
        if (skipRecords && isRecordName(name))
            continue;
        lines << path + name + u'=' + value;
        names << name;
    }
    for (const QString& name : names) {
        tree.ChTree(name);
        dumpDirectory(tree, path + name + u'/', lines, false);
        tree.ChUpTree();
    }
}

inline QStringList dumpTree(document::Tree& tree, std::int64_t records)
{
    QStringList lines;
    tree.ChRootTree();
    dumpDirectory(tree, {}, lines, true);
    for (std::int64_t k = 1; k <= records; ++k) {
        const QString name = document::DataRecords::recordName(k);
        lines << QStringLiteral("[") + name + QStringLiteral("]=") + tree.Value(name);
        tree.ChTree(name);
        dumpDirectory(tree, name + u'/', lines, false);
        tree.ChRootTree();
    }
    return lines;
}

}
