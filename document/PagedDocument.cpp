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
    m_pending.append(text);
    m_size += text.size();
    if (m_pending.size() >= kBlockCharacters)
        pack();
}

void PagedDocument::pack()
{
    if (m_pending.isEmpty())
        return;
    QByteArray packed = shell::Deflate::compressRaw(
        m_pending.utf16(), static_cast<size_t>(m_pending.size()) * sizeof(char16_t), kLevel);
    Block block;
    block.start = m_size - m_pending.size();
    block.length = m_pending.size();
    block.packed = std::move(packed);
    m_blocks.push_back(std::move(block));
    m_pending.resize(0);
}

void PagedDocument::finish(std::vector<qsizetype> starts)
{
    pack();
    m_pending.squeeze();
    m_starts = std::move(starts);
    m_head = slice(0, std::max<qsizetype>(0, startOf(1) - 1));
}

std::int32_t PagedDocument::pageCount() const
{
    return m_starts.empty() ? 0 : static_cast<std::int32_t>(m_starts.size() - 1);
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

QString PagedDocument::head() const
{
    return m_head;
}

QString PagedDocument::page(std::int32_t j) const
{
    const qsizetype start = startOf(j);
    const qsizetype length = startOf(j + 1) - start;
    if (start < 1 || length <= 0 || start > m_size)
        return {};
    return slice(start - 1, start - 1 + length);
}

std::shared_ptr<const QString> PagedDocument::unpacked(std::size_t block) const
{
    {
        const std::lock_guard lock(m_cacheLock);
        for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
            if (it->block == block) {
                m_cache.splice(m_cache.begin(), m_cache, it);
                return m_cache.front().text;
            }
        }
    }
    const Block& packed = m_blocks[block];
    auto text = std::make_shared<QString>(packed.length, Qt::Uninitialized);
    if (!shell::Deflate::decompressRaw(
            packed.packed, text->data(), static_cast<size_t>(packed.length) * sizeof(char16_t)))
        throw std::bad_alloc();
    const std::lock_guard lock(m_cacheLock);
    m_cache.push_front({ block, text });
    if (m_cache.size() > kCachedBlocks)
        m_cache.pop_back();
    return text;
}

QString PagedDocument::slice(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, m_size);
    to = std::clamp<qsizetype>(to, from, m_size);
    QString result;
    if (from == to)
        return result;
    result.reserve(to - from);
    // The first block that ends after `from`.
    auto it = std::upper_bound(
        m_blocks.begin(), m_blocks.end(), from, [](qsizetype position, const Block& block) {
            return position < block.start + block.length;
        });
    for (; it != m_blocks.end() && it->start < to; ++it) {
        const auto text = unpacked(static_cast<std::size_t>(it - m_blocks.begin()));
        const qsizetype begin = std::max(from, it->start) - it->start;
        const qsizetype end = std::min(to, it->start + it->length) - it->start;
        result.append(QStringView(*text).mid(begin, end - begin));
    }
    const qsizetype pendingStart = m_size - m_pending.size();
    if (to > pendingStart) {
        const qsizetype begin = std::max(from, pendingStart) - pendingStart;
        result.append(QStringView(m_pending).mid(begin, to - pendingStart - begin));
    }
    return result;
}

QString PagedDocument::headerLine() const
{
    QString line = QStringLiteral("head,") + QString::number(pageCount());
    for (const qsizetype start : m_starts)
        line += QLatin1Char(',') + QString::number(start);
    line += QStringLiteral(";\r\n");
    return line;
}

bool PagedDocument::write(const std::function<bool(QStringView)>& write) const
{
    if (!write(headerLine()))
        return false;
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        if (!write(*unpacked(i)))
            return false;
    }
    return m_pending.isEmpty() || write(m_pending);
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
    std::size_t total = static_cast<std::size_t>(m_pending.capacity() + m_head.capacity()) * 2;
    for (const Block& block : m_blocks)
        total += static_cast<std::size_t>(block.packed.capacity());
    return total;
}

}
