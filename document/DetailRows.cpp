#include "document/DetailRows.h"

#include "document/Tree.h"

namespace vorlix::document {

DetailRows::DetailRows(const Tree& tree, std::int32_t dir, const QString& name)
{
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return;
    for (qsizetype i = 0; i + 1 < parts.size() && dir >= 0; ++i)
        dir = tree.directoryOf(dir, parts[i]);
    if (dir < 0)
        return;
    m_parent = dir;
    m_leaf = parts.back();
    while (tree.entryOf(m_parent, entryName(m_count)) >= 0)
        ++m_count;
}

QString DetailRows::entryName(std::int64_t row) const
{
    return row == 0 ? m_leaf : m_leaf + u'@' + QString::number(row);
}

void DetailRows::enter(Tree& tree, std::int64_t row) const
{
    tree.ChIndex(m_parent);
    tree.ChTree(entryName(row));
}

}
