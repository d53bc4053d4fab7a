#include "document/RecordLoader.h"

#include <algorithm>

namespace vorlix::document {

namespace {
    const QString kPiece = QStringLiteral("piece");
}

RecordLoader::RecordLoader(Tree& tree, RecordSource& source)
    : m_tree(tree)
    , m_source(source)
    , m_count(std::max<std::int64_t>(0, source.count()))
{
}

// Only the names the reader gives records count: "piece@01" or "piece@+1" is an ordinary entry.
std::int64_t RecordLoader::recordNumber(QStringView name)
{
    if (!name.startsWith(kPiece))
        return 0;
    if (name.size() == kPiece.size())
        return 1;
    const QStringView number = name.sliced(kPiece.size());
    // At most 18 digits, which cannot overflow.
    if (number.size() < 2 || number.size() > 19 || number[0] != u'@' || number[1] == u'0')
        return 0;
    std::int64_t value = 0;
    for (const QChar c : number.sliced(1)) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value + 1;
}

QString RecordLoader::recordName(std::int64_t record)
{
    return record == 1 ? kPiece : kPiece + QLatin1Char('@') + QString::number(record - 1);
}

void RecordLoader::need(std::int64_t record)
{
    if (record < 1 || record > m_count || m_tree.entryOf(0, recordName(record)) >= 0)
        return;
    const std::int32_t current = m_tree.RootIndex();
    m_source.load(m_tree, record);
    ++m_loads;
    m_tree.ChIndex(current);
    if (record == 1)
        countPieces();
}

// Reading the whole document adds "piece" once per record, so its entry counts count - 1
// repeats, and a "let,piece;" at the root goes on from there. A source that enters the record by
// its name leaves that count at 0.
void RecordLoader::countPieces()
{
    const std::int32_t piece = m_tree.entryOf(0, kPiece);
    if (piece >= 0 && m_count > 1 && m_tree.repeatCount(piece) < m_count - 1
        && m_count - 1 <= INT32_MAX)
        m_tree.setRepeatCount(piece, static_cast<std::int32_t>(m_count - 1));
}

void RecordLoader::needAtRoot(std::int32_t dir, QStringView name)
{
    if (dir != 0)
        return;
    if (const std::int64_t record = recordNumber(name); record > 0)
        need(record);
}

void RecordLoader::prepareName(const QString& name)
{
    needAtRoot(m_tree.RootIndex(), name);
}

// Walks the path as a read does, loading on the way, so that ".." back to the root and on into
// another record finds it.
void RecordLoader::preparePath(const QString& path)
{
    if (!path.contains(kPiece))
        return;
    const QStringView rest(path);
    std::int32_t dir = m_tree.RootIndex();
    qsizetype from = 0;
    for (qsizetype slash = rest.indexOf(u'/'); slash >= 0; slash = rest.indexOf(u'/', from)) {
        const QStringView part = rest.sliced(from, slash - from);
        from = slash + 1;
        if (part == u".")
            continue;
        if (part == u"..") {
            dir = m_tree.parentOf(dir);
            continue;
        }
        needAtRoot(dir, part);
        dir = m_tree.directoryOf(dir, part.toString());
        if (dir < 0)
            return;
    }
    needAtRoot(dir, rest.sliced(from));
}

void RecordLoader::beginPage()
{
    m_page = m_tree.mark();
    m_wrote = false;
}

void RecordLoader::endPage()
{
    if (!m_page)
        return;
    if (!m_wrote)
        m_tree.rollback(*m_page);
    m_tree.release(*m_page);
    m_page.reset();
    m_wrote = false;
}

void RecordLoader::endTrial(const Tree::Mark& trial, bool chosen)
{
    if (!chosen)
        m_tree.rollback(trial);
    m_tree.release(trial);
}

}
