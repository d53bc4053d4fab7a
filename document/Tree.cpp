#include "document/Tree.h"

#include "shell/RunError.h"
#include "shell/StringBuffer.h"

#include <algorithm>
#include <limits>

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
    m_blocks.clear();
    m_nodeCount = 0;
    m_values.clear();
    m_labels.clear();
    m_labelIds.clear();
    m_index.clear();
    m_marks.clear();
    m_undo.clear();
    m_indexed.clear();
    Node root;
    root.label = intern(kSlash);
    root.value = m_values.put(kSlash);
    newNode(root);
    m_current = 0;
}

std::int32_t Tree::newNode(Node node)
{
    if (m_nodeCount == std::numeric_limits<std::int32_t>::max())
        throw shell::RunError::subscriptOutOfRange();
    const std::int32_t index = m_nodeCount;
    if (static_cast<size_t>(index >> NodeBlockBits) >= m_blocks.size())
        m_blocks.push_back(std::make_unique<Node[]>(NodeBlockSize));
    at(index) = node;
    ++m_nodeCount;
    return index;
}

Tree::Node& Tree::change(std::int32_t index)
{
    if (remembered(index))
        m_undo.emplace_back(index, at(index));
    return at(index);
}

// A value that existed at the mark keeps its characters: the new one goes elsewhere, so that a
// rollback finds the old text where the old slot says.
void Tree::writeValue(std::int32_t index, QStringView value)
{
    if (remembered(index))
        change(index).value = m_values.put(value);
    else
        m_values.rewrite(at(index).value, value);
}

void Tree::indexEntry(std::int32_t head, std::int32_t entry)
{
    const quint64 key = indexKey(head, at(entry).label);
    m_index.insert(key, entry);
    if (!m_marks.empty())
        m_indexed.push_back(key);
}

std::int32_t Tree::intern(const QString& label)
{
    const auto found = m_labelIds.constFind(label);
    if (found != m_labelIds.cend())
        return found.value();
    const auto id = static_cast<std::int32_t>(m_labels.size());
    m_labels.push_back(label);
    m_labelIds.insert(label, id);
    return id;
}

std::int32_t Tree::labelOf(const QString& label) const
{
    return m_labelIds.value(label, -1);
}

const Tree::Node& Tree::node(std::int32_t index) const
{
    if (index < 0 || index >= nodeCount())
        throw shell::RunError::subscriptOutOfRange();
    return at(index);
}

std::int32_t Tree::find(std::int32_t head, const QString& name) const
{
    if (name == kSlash)
        return head;
    const std::int32_t label = labelOf(name);
    return label < 0 ? -1 : findLabel(head, label);
}

std::int32_t Tree::findLabel(std::int32_t head, std::int32_t label) const
{
    const Node& dir = at(head);
    if (dir.subOrCount > SmallDirectory)
        return m_index.value(indexKey(head, label), -1);
    for (std::int32_t i = dir.first; i != 0; i = at(i).next) {
        if (at(i).label == label)
            return i;
    }
    return -1;
}

std::int32_t Tree::link(std::int32_t head, const QString& name)
{
    Node entry;
    entry.label = intern(name);
    entry.parent = head;
    const std::int32_t index = newNode(entry);
    Node& dir = change(head);
    if (dir.last != 0)
        change(dir.last).next = index;
    else
        dir.first = index;
    dir.last = index;
    ++dir.subOrCount;
    if (dir.subOrCount == SmallDirectory + 1) {
        // The directory has just outgrown its list: every entry goes into the index.
        for (std::int32_t i = dir.first; i != 0; i = at(i).next)
            indexEntry(head, i);
    } else if (dir.subOrCount > SmallDirectory) {
        indexEntry(head, index);
    }
    return index;
}

std::int32_t Tree::Add(const QString& name)
{
    QString stored = name;
    std::int32_t found = find(m_current, stored);
    if (found == m_current && stored == kSlash)
        return m_current;
    while (found >= 0) {
        Node& taken = change(found);
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
    writeValue(found, value);
}

QString Tree::Value(const QString& path) const
{
    if (path.isEmpty())
        return NoLabel;
    if (!path.contains(QLatin1Char('/'))) {
        const std::int32_t found = find(m_current, path);
        return found < 0 ? NoLabel : valueOf(at(found));
    }
    // The path is walked in place; one buffer per thread holds the segment being looked up.
    const QStringView rest(path);
    thread_local QString segment;
    std::int32_t dir = m_current;
    qsizetype from = 0;
    for (qsizetype slash = rest.indexOf(u'/'); slash >= 0; slash = rest.indexOf(u'/', from)) {
        const QStringView part = rest.sliced(from, slash - from);
        from = slash + 1;
        if (part == u".")
            continue;
        if (part == u"..") {
            dir = at(dir).parent;
            continue;
        }
        if (part.isEmpty())
            return NoLabel;
        shell::StringBuffer::assign(segment, part);
        const std::int32_t found = find(dir, segment);
        // An entry without a sub-directory holds nothing below it.
        if (found < 0 || at(found).subOrCount == 0)
            return NoLabel;
        dir = at(found).subOrCount;
    }
    const QStringView last = rest.sliced(from);
    if (last.isEmpty())
        return NoLabel;
    shell::StringBuffer::assign(segment, last);
    const std::int32_t found = find(dir, segment);
    return found < 0 || found == dir ? NoLabel : valueOf(at(found));
}

QString Tree::daV(std::int32_t index) const
{
    return valueOf(node(index));
}

void Tree::daV(std::int32_t index, const QString& value)
{
    (void)node(index);
    writeValue(index, value);
}

QString Tree::daL(std::int32_t index) const
{
    return m_labels[static_cast<size_t>(node(index).label)];
}

std::int32_t Tree::makeHead(std::int32_t entry, std::int32_t parent)
{
    Node dir;
    dir.label = intern(kSlash);
    dir.value = m_values.put(m_labels[static_cast<size_t>(at(entry).label)]);
    dir.parent = parent;
    dir.dupOrOwner = entry;
    const std::int32_t head = newNode(dir);
    change(entry).subOrCount = head;
    return head;
}

std::int32_t Tree::enter(std::int32_t entry)
{
    if (at(entry).subOrCount == 0)
        return makeHead(entry, m_current);
    return at(entry).subOrCount;
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
    m_current = at(m_current).parent;
}

void Tree::ChIndex(std::int32_t head)
{
    static_cast<void>(node(head)); // throws outside the table
    m_current = head;
}

void Tree::ChRootTree()
{
    m_current = 0;
}

QString Tree::TreeName() const
{
    return valueOf(at(m_current));
}

QString Tree::RootValue() const
{
    if (m_current == 0)
        return valueOf(at(0));
    return valueOf(at(at(m_current).dupOrOwner));
}

void Tree::RootValue(const QString& value)
{
    const std::int32_t owner = m_current == 0 ? 0 : at(m_current).dupOrOwner;
    writeValue(owner, value);
}

std::int32_t Tree::Count() const
{
    return at(m_current).subOrCount;
}

std::int32_t Tree::LetList(std::vector<LetRow>& rows) const
{
    rows.clear();
    const Node& head = at(m_current);
    rows.push_back({ m_labels[static_cast<size_t>(head.label)], valueOf(head) });
    for (std::int32_t i = head.first; i != 0; i = at(i).next)
        rows.push_back({ m_labels[static_cast<size_t>(at(i).label)], valueOf(at(i)) });
    std::stable_sort(
        rows.begin(), rows.end(), [](const LetRow& a, const LetRow& b) { return a[0] < b[0]; });
    return static_cast<std::int32_t>(rows.size()) - 1;
}

QString Tree::Enumerate(std::int32_t& cursor, std::int32_t& previous, QString& value) const
{
    std::int32_t next = -1;
    if (cursor == 0)
        next = at(m_current).first;
    else if (cursor > 0 && cursor < nodeCount())
        next = at(cursor).next;
    previous = cursor;
    if (next <= 0) {
        cursor = -1;
        value.clear();
        return {};
    }
    cursor = next;
    value = valueOf(at(next));
    return m_labels[static_cast<size_t>(at(next).label)];
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

Tree::Mark Tree::mark()
{
    Mark mark;
    mark.nodes = m_nodeCount;
    mark.values = m_values.mark();
    mark.labels = m_labels.size();
    mark.undo = m_undo.size();
    mark.indexed = m_indexed.size();
    mark.current = m_current;
    mark.depth = m_marks.size();
    mark.serial = ++m_markSerial;
    m_marks.push_back(mark);
    return mark;
}

void Tree::rollback(const Mark& mark)
{
    // A mark that is no longer kept (released, or rolled back over) has nothing to return to.
    if (!kept(mark))
        return;
    m_marks.resize(mark.depth + 1);
    for (std::size_t i = m_undo.size(); i-- > mark.undo;) {
        if (m_undo[i].first < mark.nodes)
            at(m_undo[i].first) = m_undo[i].second;
    }
    m_undo.resize(mark.undo);
    for (std::size_t i = mark.indexed; i < m_indexed.size(); ++i)
        m_index.remove(m_indexed[i]);
    m_indexed.resize(mark.indexed);
    for (std::size_t i = mark.labels; i < m_labels.size(); ++i)
        m_labelIds.remove(m_labels[i]);
    m_labels.resize(mark.labels);
    m_values.rollback(mark.values);
    dropNodesFrom(mark.nodes);
    m_current = mark.current;
}

void Tree::release(const Mark& mark)
{
    if (!kept(mark))
        return;
    m_marks.resize(mark.depth);
    if (m_marks.empty()) {
        m_undo.clear();
        m_indexed.clear();
    }
}

std::size_t Tree::footprint() const
{
    std::size_t labels = 0;
    for (const QString& label : m_labels)
        labels += sizeof(QString) + static_cast<std::size_t>(label.capacity()) * sizeof(QChar);
    return m_blocks.size() * NodeBlockSize * sizeof(Node) + m_values.capacity() * sizeof(char16_t)
        + labels + static_cast<std::size_t>(m_index.capacity()) * 2 * sizeof(quint64)
        + m_undo.capacity() * sizeof(m_undo.front()) + m_indexed.capacity() * sizeof(quint64);
}

// The blocks past the last node in use go back to the heap, but for one kept for the next nodes.
void Tree::dropNodesFrom(std::int32_t count)
{
    m_nodeCount = count;
    const auto needed = static_cast<size_t>((count + NodeBlockSize - 1) >> NodeBlockBits);
    if (m_blocks.size() > needed + 1)
        m_blocks.resize(needed + 1);
}

std::int32_t Tree::entryOf(std::int32_t head, const QString& name) const
{
    (void)node(head);
    if (name == kSlash)
        return -1;
    return find(head, name);
}

std::int32_t Tree::directoryOf(std::int32_t head, const QString& name) const
{
    const std::int32_t entry = entryOf(head, name);
    if (entry < 0 || at(entry).subOrCount == 0)
        return -1;
    return at(entry).subOrCount;
}

std::int32_t Tree::repeatCount(std::int32_t entry) const
{
    return node(entry).dupOrOwner;
}

void Tree::setRepeatCount(std::int32_t entry, std::int32_t count)
{
    (void)node(entry);
    change(entry).dupOrOwner = count;
}

std::int32_t Tree::graft(const Tree& from, std::int32_t entry)
{
    (void)from.node(entry);
    // (entry in `from`, head of the directory it goes into here); deep documents need no deep
    // call stack.
    std::vector<std::pair<std::int32_t, std::int32_t>> pending { { entry, m_current } };
    std::int32_t copy = -1;
    while (!pending.empty()) {
        const auto [source, head] = pending.back();
        pending.pop_back();
        const Node& theirs = from.at(source);
        const std::int32_t index = link(head, from.m_labels[static_cast<size_t>(theirs.label)]);
        at(index).value = m_values.put(from.m_values.view(theirs.value));
        at(index).dupOrOwner = theirs.dupOrOwner;
        if (copy < 0)
            copy = index;
        if (theirs.subOrCount == 0)
            continue;
        const std::int32_t sub = makeHead(index, head);
        // Pushed last to first, so that the entries are linked in their order.
        std::vector<std::int32_t> children;
        for (std::int32_t i = from.at(theirs.subOrCount).first; i != 0; i = from.at(i).next)
            children.push_back(i);
        for (auto i = children.rbegin(); i != children.rend(); ++i)
            pending.emplace_back(*i, sub);
    }
    return copy;
}

}
