#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace vorlix::document {

// Keeps many short texts (the values of a data document) back to back in large blocks instead of
// one heap allocation each. A text is found again by its slot; rewriting a slot with a text no
// longer than the old one reuses its room, a longer one moves to the end. The blocks never move,
// so growing costs no copy of what is already stored.
class TextArena {
public:
    struct Slot {
        std::uint32_t where = 0; // block in the high bits, offset in the low ones
        std::uint32_t length = 0;
    };
    // Where the next text would go: the texts stored after it can be forgotten again.
    struct Mark {
        std::size_t blocks = 0;
        std::uint32_t used = 0;
    };

    // Characters in one ordinary block; a longer text gets a block of its own.
    static constexpr int OffsetBits = 18;
    static constexpr std::uint32_t BlockSize = std::uint32_t(1) << OffsetBits;

    // Stores a text and returns its slot; the empty text needs no room.
    [[nodiscard]] Slot put(QStringView text);
    // Replaces the text of a slot, in place when it fits.
    void rewrite(Slot& slot, QStringView text);
    [[nodiscard]] QString get(Slot slot) const;
    [[nodiscard]] QStringView view(Slot slot) const;
    // Forgets every text.
    void clear();
    [[nodiscard]] Mark mark() const;
    // Forgets the texts stored after the mark; slots taken before it stay valid as long as they
    // were not rewritten in place since.
    void rollback(Mark mark);
    // Characters held in blocks, used or not (for measurements).
    [[nodiscard]] std::size_t capacity() const;

private:
    struct Block {
        std::unique_ptr<char16_t[]> text;
        std::uint32_t size = 0;
        std::uint32_t used = 0;
    };
    std::vector<Block> m_blocks;
    // One ordinary block dropped by a rollback, kept for the next one: a merge that loads and
    // drops a record per page does not return a block to the heap and take it back every page.
    Block m_spare;

    Block& blockFor(std::uint32_t length);
};

}
