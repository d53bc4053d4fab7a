#include "document/PagedDocument.h"

#include "shell/Deflate.h"

#include <algorithm>
#include <new>

namespace vorlix::document {

namespace {

    // Characters gathered before a block is packed: large enough that the likeness of one page
    // to the next packs well, small enough that unpacking one for a page stays cheap.
    constexpr qsizetype kBlockCharacters = 64 * 1024;
    // Unpacked blocks kept for the next pages: a few per rendering thread.
    constexpr std::size_t kCachedBlocks = 8;
    // The fastest level packs a merged document about sixfold; higher ones gain little on it.
    constexpr int kLevel = 1;

}

PagedDocument::PagedDocument() = default;
PagedDocument::~PagedDocument() = default;

void PagedDocument::append(QStringView text)
{
    bool full = false;
    {
        const std::lock_guard lock(m_lock);
        m_pending.append(text);
        m_size += text.size();
        full = m_pending.size() >= kBlockCharacters;
    }
    if (full)
        pack();
}

// Only the merge's thread changes the pending text, so it packs it without holding the readers
// back and takes the lock only to swap the result in.
void PagedDocument::pack()
{
    if (m_pending.isEmpty())
        return;
    Block block;
    block.packed = shell::Deflate::compressRaw(
        m_pending.utf16(), static_cast<size_t>(m_pending.size()) * sizeof(char16_t), kLevel);
    const std::lock_guard lock(m_lock);
    block.start = m_size - m_pending.size();
    block.length = m_pending.size();
    m_blocks.push_back(std::move(block));
    m_pending.resize(0);
}

void PagedDocument::pagesComplete(const std::vector<qsizetype>& starts)
{
    const auto complete = static_cast<std::int32_t>(std::max<std::size_t>(starts.size(), 2) - 2);
    Pieces head;
    bool firstPage = false;
    {
        const std::lock_guard lock(m_lock);
        if (m_ended || complete <= m_complete)
            return;
        m_starts.insert(m_starts.end(),
            starts.begin() + static_cast<std::ptrdiff_t>(std::min(m_starts.size(), starts.size())),
            starts.end());
        firstPage = m_complete == 0;
        if (firstPage)
            head = piecesOf(0, std::max<qsizetype>(0, startOf(1) - 1));
    }
    // The head is final once the first page is: a part glued onto the page's start may still
    // take back the head's last ",".
    QString headText = firstPage ? assemble(head) : QString();
    {
        const std::lock_guard lock(m_lock);
        if (firstPage)
            m_head = std::move(headText);
        m_complete = complete;
    }
    m_grown.notify_all();
}

void PagedDocument::finish(std::vector<qsizetype> starts, StatementMap map)
{
    pack();
    Pieces head;
    {
        const std::lock_guard lock(m_lock);
        m_pending.squeeze();
        m_starts = std::move(starts);
        m_map = std::move(map);
        head = piecesOf(0, std::max<qsizetype>(0, startOf(1) - 1));
    }
    QString headText = assemble(head);
    {
        const std::lock_guard lock(m_lock);
        m_head = std::move(headText);
        m_complete = m_starts.empty() ? 0 : static_cast<std::int32_t>(m_starts.size() - 1);
        m_ended = true;
    }
    m_grown.notify_all();
}

void PagedDocument::abandon()
{
    {
        const std::lock_guard lock(m_lock);
        if (m_ended)
            return;
        m_starts.clear();
        m_head.clear();
        m_complete = 0;
        m_ended = true;
    }
    m_grown.notify_all();
}

void PagedDocument::waitForEnd() const
{
    std::unique_lock lock(m_lock);
    m_grown.wait(lock, [this] { return m_ended; });
}

bool PagedDocument::ended() const
{
    const std::lock_guard lock(m_lock);
    return m_ended;
}

std::int32_t PagedDocument::pagesSoFar() const
{
    const std::lock_guard lock(m_lock);
    return m_complete;
}

std::int32_t PagedDocument::pageCount() const
{
    waitForEnd();
    const std::lock_guard lock(m_lock);
    return m_starts.empty() ? 0 : static_cast<std::int32_t>(m_starts.size() - 1);
}

qsizetype PagedDocument::bodySize() const
{
    waitForEnd();
    return bodySizeSoFar();
}

qsizetype PagedDocument::bodySizeSoFar() const
{
    const std::lock_guard lock(m_lock);
    return m_size;
}

bool PagedDocument::waitForPage(std::int32_t j) const
{
    if (j < 1)
        return false;
    std::unique_lock lock(m_lock);
    m_grown.wait(lock, [this, j] { return m_ended || j <= m_complete; });
    return j <= m_complete;
}

// Positions as the header line gives them, then the body's length after the last page: the
// interpreter has always read a page as running up to the position before the next one.
qsizetype PagedDocument::startOf(std::int32_t i) const
{
    if (i < 0)
        return 0;
    const auto index = static_cast<std::size_t>(i);
    if (index < m_starts.size())
        return m_starts[index];
    return index == m_starts.size() ? m_size : 0;
}

std::optional<StatementMap::Place> PagedDocument::placeOf(
    const shell::Report::StatementProblem& problem, const QString& face) const
{
    if (problem.page < 0)
        return std::nullopt;
    waitForEnd();
    if (problem.page > pageCount())
        return std::nullopt;
    // The map never changes after the end.
    const QString text = problem.page == 0 ? head() : page(problem.page);
    return m_map.find(problem.page, text, problem.offset, face);
}

std::size_t PagedDocument::mapBytes() const
{
    waitForEnd();
    return m_map.storedBytes();
}

QString PagedDocument::head() const
{
    std::unique_lock lock(m_lock);
    m_grown.wait(lock, [this] { return m_ended || m_complete >= 1; });
    return m_head;
}

QString PagedDocument::page(std::int32_t j) const
{
    Pieces pieces;
    {
        // Page 0 is the head, which is final with page 1.
        std::unique_lock lock(m_lock);
        m_grown.wait(lock, [this, j] { return m_ended || std::max(j, 1) <= m_complete; });
        const qsizetype start = startOf(j);
        const qsizetype length = startOf(j + 1) - start;
        if (start < 1 || length <= 0 || start > m_size)
            return {};
        pieces = piecesOf(start - 1, start - 1 + length);
    }
    return assemble(pieces);
}

PagedDocument::Pieces PagedDocument::piecesOf(qsizetype from, qsizetype to) const
{
    Pieces pieces;
    pieces.from = std::clamp<qsizetype>(from, 0, m_size);
    pieces.to = std::clamp<qsizetype>(to, pieces.from, m_size);
    if (pieces.from == pieces.to)
        return pieces;
    // The first block that ends after `from`.
    auto it = std::upper_bound(
        m_blocks.begin(), m_blocks.end(), pieces.from, [](qsizetype position, const Block& block) {
            return position < block.start + block.length;
        });
    for (; it != m_blocks.end() && it->start < pieces.to; ++it)
        pieces.blocks.push_back(*it);
    pieces.pendingStart = m_size - m_pending.size();
    if (pieces.to > pieces.pendingStart) {
        const qsizetype begin = std::max(pieces.from, pieces.pendingStart) - pieces.pendingStart;
        pieces.pending = m_pending.mid(begin, pieces.to - pieces.pendingStart - begin);
    }
    return pieces;
}

QString PagedDocument::assemble(const Pieces& pieces) const
{
    QString result;
    if (pieces.from == pieces.to)
        return result;
    result.reserve(pieces.to - pieces.from);
    for (const Block& block : pieces.blocks) {
        const auto text = unpacked(block);
        const qsizetype begin = std::max(pieces.from, block.start) - block.start;
        const qsizetype end = std::min(pieces.to, block.start + block.length) - block.start;
        result.append(QStringView(*text).mid(begin, end - begin));
    }
    result.append(pieces.pending);
    return result;
}

std::shared_ptr<const QString> PagedDocument::unpacked(const Block& block) const
{
    {
        const std::lock_guard lock(m_cacheLock);
        for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
            if (it->start == block.start) {
                m_cache.splice(m_cache.begin(), m_cache, it);
                return m_cache.front().text;
            }
        }
    }
    auto text = std::make_shared<QString>(block.length, Qt::Uninitialized);
    if (!shell::Deflate::decompressRaw(
            block.packed, text->data(), static_cast<size_t>(block.length) * sizeof(char16_t)))
        throw std::bad_alloc();
    const std::lock_guard lock(m_cacheLock);
    m_cache.push_front({ block.start, text });
    if (m_cache.size() > kCachedBlocks)
        m_cache.pop_back();
    return text;
}

QString PagedDocument::headerLine() const
{
    waitForEnd();
    const std::lock_guard lock(m_lock);
    QString line
        = QStringLiteral("head,") + QString::number(m_starts.empty() ? 0 : m_starts.size() - 1);
    for (const qsizetype start : m_starts)
        line += QLatin1Char(',') + QString::number(start);
    line += QStringLiteral(";\r\n");
    return line;
}

bool PagedDocument::write(const std::function<bool(QStringView)>& write) const
{
    if (!write(headerLine()))
        return false;
    std::vector<Block> blocks;
    QString pending;
    {
        const std::lock_guard lock(m_lock);
        blocks = m_blocks;
        pending = m_pending;
    }
    for (const Block& block : blocks) {
        if (!write(*unpacked(block)))
            return false;
    }
    return pending.isEmpty() || write(pending);
}

QString PagedDocument::text() const
{
    QString result;
    write([&result](QStringView piece) {
        result.append(piece);
        return true;
    });
    return result;
}

std::size_t PagedDocument::storedBytes() const
{
    const std::lock_guard lock(m_lock);
    std::size_t total = static_cast<std::size_t>(m_pending.capacity() + m_head.capacity()) * 2;
    for (const Block& block : m_blocks)
        total += static_cast<std::size_t>(block.packed.capacity());
    return total;
}

}
