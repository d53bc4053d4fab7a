#include "document/TextArena.h"

#include "shell/RunError.h"

#include <algorithm>

namespace vorlix::document {

namespace {

    // Block numbers above this cannot be written into a slot.
    constexpr std::size_t kMaxBlocks = std::size_t(1) << (32 - TextArena::OffsetBits);

    shell::RunError outOfMemory()
    {
        return { 7, QStringLiteral("メモリが不足しています。") };
    }

}

TextArena::Block& TextArena::blockFor(std::uint32_t length)
{
    if (!m_blocks.empty()) {
        Block& last = m_blocks.back();
        if (last.size - last.used >= length)
            return last;
    }
    if (m_blocks.size() >= kMaxBlocks)
        throw outOfMemory();
    Block block;
    if (length <= BlockSize && m_spare.text) {
        block = std::move(m_spare);
        block.used = 0;
    } else {
        block.size = std::max(BlockSize, length);
        block.text = std::make_unique_for_overwrite<char16_t[]>(block.size);
    }
    m_blocks.push_back(std::move(block));
    return m_blocks.back();
}

TextArena::Slot TextArena::put(QStringView text)
{
    Slot slot;
    if (text.isEmpty())
        return slot;
    if (static_cast<std::uint64_t>(text.size()) > UINT32_MAX)
        throw outOfMemory();
    const auto length = static_cast<std::uint32_t>(text.size());
    Block& block = blockFor(length);
    std::copy_n(text.utf16(), length, block.text.get() + block.used);
    const auto number = static_cast<std::uint32_t>(m_blocks.size() - 1);
    slot.where = (number << OffsetBits) | block.used;
    slot.length = length;
    block.used += length;
    return slot;
}

void TextArena::rewrite(Slot& slot, QStringView text)
{
    if (slot.length == 0 || static_cast<std::uint64_t>(text.size()) > slot.length) {
        slot = put(text);
        return;
    }
    const Block& block = m_blocks[slot.where >> OffsetBits];
    std::copy_n(text.utf16(), text.size(), block.text.get() + (slot.where & (BlockSize - 1)));
    slot.length = static_cast<std::uint32_t>(text.size());
}

QStringView TextArena::view(Slot slot) const
{
    if (slot.length == 0)
        return {};
    const Block& block = m_blocks[slot.where >> OffsetBits];
    return { block.text.get() + (slot.where & (BlockSize - 1)), qsizetype(slot.length) };
}

QString TextArena::get(Slot slot) const
{
    return view(slot).toString();
}

void TextArena::clear()
{
    m_blocks.clear();
    m_spare = {};
}

TextArena::Mark TextArena::mark() const
{
    if (m_blocks.empty())
        return {};
    return { m_blocks.size(), m_blocks.back().used };
}

void TextArena::rollback(Mark mark)
{
    while (m_blocks.size() > mark.blocks) {
        Block& last = m_blocks.back();
        if (last.size == BlockSize && !m_spare.text)
            m_spare = std::move(last);
        m_blocks.pop_back();
    }
    if (!m_blocks.empty())
        m_blocks.back().used = mark.used;
}

std::size_t TextArena::capacity() const
{
    std::size_t total = 0;
    for (const Block& block : m_blocks)
        total += block.size;
    return total;
}

}
