#pragma once

#include "lang/PagedText.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

namespace vorlix::document {

// The merged paged document, kept compressed: the body arrives in order, in pieces that no longer
// change, and is packed into blocks of some tens of thousands of characters, each deflated on its
// own. The head and a page are unpacked when the interpreter asks for them (the last few blocks
// stay unpacked for the next page); the whole text is only ever written out a block at a time.
// Ten thousand invoices take a few megabytes instead of thirty.
class PagedDocument final : public lang::PagedText {
public:
    PagedDocument();
    ~PagedDocument() override;

    // ---- Building (the merge) ----
    // Appends the next part of the body.
    void append(QStringView text);
    // Ends the body: `starts` holds the head's start (1) and every page's start in the body,
    // 1-based, as the header line gives them.
    void finish(std::vector<qsizetype> starts);

    // ---- Reading ----
    [[nodiscard]] std::int32_t pageCount() const override;
    [[nodiscard]] qsizetype bodySize() const override { return m_size; }
    [[nodiscard]] QString head() const override;
    [[nodiscard]] QString page(std::int32_t j) const override;
    // The header line "head,<pages>,<starts...>;" and its CR LF.
    [[nodiscard]] QString headerLine() const;
    // Hands the whole text, header line first, to `write` in pieces; stops and returns false as
    // soon as `write` does.
    bool write(const std::function<bool(QStringView)>& write) const;
    // The whole text at once (tests and small documents).
    [[nodiscard]] QString text() const;
    // Bytes the document keeps (for measurements).
    [[nodiscard]] std::size_t storedBytes() const;

private:
    struct Block {
        qsizetype start = 0; // where its text begins in the body (0-based)
        qsizetype length = 0; // characters
        QByteArray packed;
    };
    struct Unpacked {
        std::size_t block;
        std::shared_ptr<const QString> text;
    };

    std::vector<Block> m_blocks;
    QString m_pending; // the body not yet packed
    QString m_head; // unpacked once: every page needs it
    qsizetype m_size = 0;
    std::vector<qsizetype> m_starts;
    mutable std::mutex m_cacheLock;
    mutable std::list<Unpacked> m_cache; // the blocks unpacked last, most recent first

    void pack();
    [[nodiscard]] std::shared_ptr<const QString> unpacked(std::size_t block) const;
    // The body from `from` (0-based) up to `to`, clipped to the body.
    [[nodiscard]] QString slice(qsizetype from, qsizetype to) const;
    // Start of page i in the body, 0-based; the body's end after the last page.
    [[nodiscard]] qsizetype startOf(std::int32_t i) const;
};

}
