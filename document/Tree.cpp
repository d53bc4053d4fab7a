#include "document/Tree.h"

#include "shell/RunError.h"

#include <QStringList>
#include <algorithm>

namespace vorlix::document {

namespace {
    const QString kSlash = QStringLiteral("/");
}

Tree::Tree()
{
    Cls();
}

void Tree::Cls()
{
    m_nodes.clear();
    m_index.clear();
    Node root;
    root.label = kSlash;
    root.value = kSlash;
    m_nodes.push_back(root);
    m_current = 0;
}

const Tree::Node& Tree::node(std::int32_t index) const
{
    if (index < 0 || index >= nodeCount())
        throw shell::RunError::subscriptOutOfRange();
    return m_nodes[static_cast<size_t>(index)];
}

std::int32_t Tree::find(std::int32_t head, const QString& name) const
{
    if (name == kSlash)
        return head;
    return m_index.value(DirKey { head, name }, -1);
}

std::int32_t Tree::link(std::int32_t head, const QString& name)
{
    const auto index = nodeCount();
    Node entry;
    entry.label = name;
    entry.parent = head;
    m_nodes.push_back(std::move(entry));
    Node& dir = m_nodes[static_cast<size_t>(head)];
    if (dir.last != 0)
        m_nodes[static_cast<size_t>(dir.last)].next = index;
    else
        dir.first = index;
    dir.last = index;
    ++dir.subOrCount;
    m_index.insert(DirKey { head, name }, index);
    return index;
}

std::int32_t Tree::Add(const QString& name)
{
    QString stored = name;
    std::int32_t found = find(m_current, stored);
    if (found == m_current && stored == kSlash)
        return m_current;
    while (found >= 0) {
        Node& taken = m_nodes[static_cast<size_t>(found)];
        ++taken.dupOrOwner;
        stored += QLatin1Char('@') + QString::number(taken.dupOrOwner);
        found = find(m_current, stored);
    }
    return link(m_current, stored);
}

void Tree::Value(const QString& name, const QString& value)
{
    std::int32_t found = find(m_current, name);
    if (found < 0)
        found = link(m_current, name);
    m_nodes[static_cast<size_t>(found)].value = value;
}

QString Tree::Value(const QString& path) const
{
    if (path.isEmpty())
        return NoLabel;
    if (!path.contains(QLatin1Char('/'))) {
        const std::int32_t found = find(m_current, path);
        return found < 0 ? NoLabel : m_nodes[static_cast<size_t>(found)].value;
    }
    const QStringList segments = path.split(QLatin1Char('/'));
    std::int32_t dir = m_current;
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        const QString& segment = segments.at(i);
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            dir = m_nodes[static_cast<size_t>(dir)].parent;
            continue;
        }
        if (segment.isEmpty())
            return NoLabel;
        const std::int32_t found = find(dir, segment);
        // An entry without a sub-directory holds nothing below it.
        if (found < 0 || m_nodes[static_cast<size_t>(found)].subOrCount == 0)
            return NoLabel;
        dir = m_nodes[static_cast<size_t>(found)].subOrCount;
    }
    const QString& last = segments.constLast();
    if (last.isEmpty())
        return NoLabel;
    const std::int32_t found = find(dir, last);
    return found < 0 || found == dir ? NoLabel : m_nodes[static_cast<size_t>(found)].value;
}

QString Tree::daV(std::int32_t index) const
{
    return node(index).value;
}

void Tree::daV(std::int32_t index, const QString& value)
{
    (void)node(index);
    m_nodes[static_cast<size_t>(index)].value = value;
}

QString Tree::daL(std::int32_t index) const
{
    return node(index).label;
}

std::int32_t Tree::enter(std::int32_t entry)
{
    if (m_nodes[static_cast<size_t>(entry)].subOrCount == 0) {
        const auto head = nodeCount();
        Node dir;
        dir.label = kSlash;
        dir.value = m_nodes[static_cast<size_t>(entry)].label;
        dir.parent = m_current;
        dir.dupOrOwner = entry;
        m_nodes.push_back(std::move(dir));
        m_nodes[static_cast<size_t>(entry)].subOrCount = head;
    }
    return m_nodes[static_cast<size_t>(entry)].subOrCount;
}

void Tree::ChTree(const QString& name)
{
    if (name == kSlash) {
        ChUpTree();
        return;
    }
    std::int32_t found = find(m_current, name);
    if (found < 0)
        found = link(m_current, name);
    m_current = enter(found);
}

void Tree::ChUpTree()
{
    m_current = m_nodes[static_cast<size_t>(m_current)].parent;
}

void Tree::ChRootTree()
{
    m_current = 0;
}

QString Tree::TreeName() const
{
    return m_nodes[static_cast<size_t>(m_current)].value;
}

QString Tree::RootValue() const
{
    if (m_current == 0)
        return m_nodes[0].value;
    return m_nodes[static_cast<size_t>(m_nodes[static_cast<size_t>(m_current)].dupOrOwner)].value;
}

void Tree::RootValue(const QString& value)
{
    const std::int32_t owner
        = m_current == 0 ? 0 : m_nodes[static_cast<size_t>(m_current)].dupOrOwner;
    m_nodes[static_cast<size_t>(owner)].value = value;
}

std::int32_t Tree::Count() const
{
    return m_nodes[static_cast<size_t>(m_current)].subOrCount;
}

std::int32_t Tree::LetList(std::vector<LetRow>& rows) const
{
    rows.clear();
    const Node& head = m_nodes[static_cast<size_t>(m_current)];
    rows.push_back({ head.label, head.value });
    for (std::int32_t i = head.first; i != 0; i = m_nodes[static_cast<size_t>(i)].next)
        rows.push_back(
            { m_nodes[static_cast<size_t>(i)].label, m_nodes[static_cast<size_t>(i)].value });
    std::stable_sort(
        rows.begin(), rows.end(), [](const LetRow& a, const LetRow& b) { return a[0] < b[0]; });
    return static_cast<std::int32_t>(rows.size()) - 1;
}

QString Tree::Enumerate(std::int32_t& cursor, std::int32_t& previous, QString& value) const
{
    std::int32_t next = -1;
    if (cursor == 0)
        next = m_nodes[static_cast<size_t>(m_current)].first;
    else if (cursor > 0 && cursor < nodeCount())
        next = m_nodes[static_cast<size_t>(cursor)].next;
    previous = cursor;
    if (next <= 0) {
        cursor = -1;
        value.clear();
        return {};
    }
    cursor = next;
    value = m_nodes[static_cast<size_t>(next)].value;
    return m_nodes[static_cast<size_t>(next)].label;
}

void Tree::ln() const
{
    std::int32_t cursor = 0;
    std::int32_t previous = 0;
    QString value;
    for (QString name = Enumerate(cursor, previous, value); cursor > 0;
         name = Enumerate(cursor, previous, value))
        shell::WriteLog(QStringLiteral("Tree/ln>") + name + QLatin1Char('=') + value);
}

}
