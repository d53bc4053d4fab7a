#pragma once

#include "document/TextArena.h"
#include "shell/Log.h"

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vorlix::document {

// The in-memory store of a data document: directories of named text values, like a small file
// system. Node indices are handed out in allocation order and never reused until Cls; index 0 is
// the root directory's head. A name added twice to one directory is stored as name@1, name@2, ...
// Absent values read as "NO-LABEL". Large directories keep their names in a hash, so adding and
// finding stay constant-time however many similar names a directory holds.
class Tree {
public:
    // The text that stands for an absent value.
    static inline const QString NoLabel = QStringLiteral("NO-LABEL");

    Tree();

    // Discards every node and starts again with an empty root, which becomes current.
    void Cls();
    // Adds an entry to the current directory (renamed name@k when the name is taken) and returns
    // its node index; "/" adds nothing and returns the directory's head.
    std::int32_t Add(const QString& name);
    // Sets the value of an entry of the current directory, creating it (without renaming).
    void Value(const QString& name, const QString& value);
    // The value found by a relative path ("a", "a/b", "../x", "./x"), or "NO-LABEL".
    [[nodiscard]] QString Value(const QString& path) const;
    // Value and stored label of a node by index; RunError 9 outside the table.
    [[nodiscard]] QString daV(std::int32_t index) const;
    void daV(std::int32_t index, const QString& value);
    [[nodiscard]] QString daL(std::int32_t index) const;
    // Enters the sub-directory of the named entry, creating both as needed; "/" moves up.
    void ChTree(const QString& name);
    // Moves to the enclosing directory; the root stays current at the root.
    void ChUpTree();
    void ChRootTree();
    // Head index of the current directory, and making such a head current again.
    [[nodiscard]] std::int32_t RootIndex() const { return m_current; }
    void ChIndex(std::int32_t head);
    // The current directory's own name ("/" at the root).
    [[nodiscard]] QString TreeName() const;
    // The value of the entry that owns the current directory (the root's own value at the root).
    [[nodiscard]] QString RootValue() const;
    void RootValue(const QString& value);
    // Number of entries in the current directory.
    [[nodiscard]] std::int32_t Count() const;
    // Fills rows of (label, value) for the current directory's head and entries, sorted by label;
    // returns the last row index (the number of entries).
    using LetRow = std::array<QString, 2>;
    std::int32_t LetList(std::vector<LetRow>& rows) const;
    // Steps through the current directory one entry per call: start with cursor 0; returns the
    // entry's name and value, and an empty name with cursor -1 after the last one.
    QString Enumerate(std::int32_t& cursor, std::int32_t& previous, QString& value) const;
    // Writes the current directory to the debug log.
    void ln() const;

    // Total number of nodes in use, heads included.
    [[nodiscard]] std::int32_t nodeCount() const { return m_nodeCount; }
    // Bytes the tree holds for its nodes, values, labels and index (for measurements).
    [[nodiscard]] std::size_t footprint() const;

    // A point the tree can be returned to. Marks nest: a later mark belongs to the earlier ones.
    struct Mark {
        std::int32_t nodes = 0;
        TextArena::Mark values;
        std::size_t labels = 0;
        std::size_t undo = 0;
        std::size_t indexed = 0;
        std::int32_t current = 0;
        std::size_t depth = 0;
        std::uint64_t serial = 0; // tells a kept mark from an older one at the same depth
    };
    // Starts remembering changes; what is added and changed from now on can be rolled back.
    [[nodiscard]] Mark mark();
    // Returns the tree to exactly what it was at the mark (nodes, values, labels, the current
    // directory) and forgets the marks taken after it; the mark itself stays and can be rolled
    // back to again. The cost follows the changes since the mark, not the size of the tree.
    void rollback(const Mark& mark);
    // Keeps everything done since the mark and forgets it and the marks taken after it.
    void release(const Mark& mark);

    // The entry of that name in the directory whose head is `head`, or -1.
    [[nodiscard]] std::int32_t entryOf(std::int32_t head, const QString& name) const;
    // The head of the named entry's sub-directory, or -1 when there is no such entry or it holds
    // no directory.
    [[nodiscard]] std::int32_t directoryOf(std::int32_t head, const QString& name) const;
    // The head of the directory that encloses the one whose head is `head` (the root's is itself).
    [[nodiscard]] std::int32_t parentOf(std::int32_t head) const { return node(head).parent; }
    // How many times the entry's name was added again (so the next Add takes name@count+1), and
    // setting it as a reader that added the name that often would have left it.
    [[nodiscard]] std::int32_t repeatCount(std::int32_t entry) const;
    void setRepeatCount(std::int32_t entry, std::int32_t count);
    // Copies entry `entry` of another tree, with everything below it, into the current directory
    // as it is stored there: labels, values, sub-directories in order and the counts of repeated
    // names. Returns the copy's index.
    std::int32_t graft(const Tree& from, std::int32_t entry);

private:
    // Entries and directory heads share one node; the comments say what a field is for each.
    // Labels are numbers in the label table and values live in the arena, so a node is a few
    // words and a record of a data document costs no allocation of its own.
    struct Node {
        std::int32_t label = 0;
        TextArena::Slot value;
        std::int32_t parent = 0; // entry: its directory's head; head: the enclosing one's (root 0)
        std::int32_t dupOrOwner = 0; // entry: times its name was added again; head: its owner
        std::int32_t subOrCount = 0; // entry: its sub-directory's head; head: number of entries
        std::int32_t first = 0, last = 0; // head: first and last entry in allocation order
        std::int32_t next = 0; // entry: the next one
    };
    // Nodes are kept in blocks that never move: a growing tree is not copied, and its peak is
    // not twice its size.
    static constexpr int NodeBlockBits = 12;
    static constexpr std::int32_t NodeBlockSize = std::int32_t(1) << NodeBlockBits;
    // A directory with up to this many entries is searched along its list; a larger one has its
    // names in the shared index. A record's entries lie side by side, and walking a few dozen of
    // them is cheaper than a hash probe that misses the cache.
    static constexpr std::int32_t SmallDirectory = 48;

    shell::LifeLog m_life { QStringLiteral("Tree") };
    std::vector<std::unique_ptr<Node[]>> m_blocks;
    std::int32_t m_nodeCount = 0;
    TextArena m_values;
    std::vector<QString> m_labels;
    QHash<QString, std::int32_t> m_labelIds;
    // (head, label) of the entries of large directories.
    QHash<quint64, std::int32_t> m_index;
    std::int32_t m_current = 0;
    // The marks being kept, the nodes as they were before their first change since the newest
    // mark, and the index keys added since the oldest one.
    std::vector<Mark> m_marks;
    std::uint64_t m_markSerial = 0;
    std::vector<std::pair<std::int32_t, Node>> m_undo;
    std::vector<quint64> m_indexed;

    [[nodiscard]] Node& at(std::int32_t index)
    {
        return m_blocks[static_cast<size_t>(index >> NodeBlockBits)][index & (NodeBlockSize - 1)];
    }
    [[nodiscard]] const Node& at(std::int32_t index) const
    {
        return m_blocks[static_cast<size_t>(index >> NodeBlockBits)][index & (NodeBlockSize - 1)];
    }
    [[nodiscard]] static quint64 indexKey(std::int32_t head, std::int32_t label)
    {
        return (quint64(quint32(head)) << 32) | quint32(label);
    }
    std::int32_t newNode(Node node);
    // A node about to change: one that existed at the newest mark is remembered first.
    Node& change(std::int32_t index);
    [[nodiscard]] bool remembered(std::int32_t index) const
    {
        return !m_marks.empty() && index < m_marks.back().nodes;
    }
    void writeValue(std::int32_t index, QStringView value);
    void indexEntry(std::int32_t head, std::int32_t entry);
    void dropNodesFrom(std::int32_t count);
    [[nodiscard]] bool kept(const Mark& mark) const
    {
        return mark.depth < m_marks.size() && m_marks[mark.depth].serial == mark.serial;
    }
    std::int32_t makeHead(std::int32_t entry, std::int32_t parent);
    std::int32_t intern(const QString& label);
    // The label's number, or -1 when no node carries it.
    [[nodiscard]] std::int32_t labelOf(const QString& label) const;
    [[nodiscard]] QString valueOf(const Node& node) const { return m_values.get(node.value); }
    // The node of that name in a directory (the head itself for "/"), or -1.
    [[nodiscard]] std::int32_t find(std::int32_t head, const QString& name) const;
    [[nodiscard]] std::int32_t findLabel(std::int32_t head, std::int32_t label) const;
    std::int32_t link(std::int32_t head, const QString& name);
    std::int32_t enter(std::int32_t entry);
    [[nodiscard]] const Node& node(std::int32_t index) const;
};

}
