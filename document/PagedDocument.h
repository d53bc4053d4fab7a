#pragma once

#include "document/StatementMap.h"
#include "lang/PagedText.h"
#include "shell/Report.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vorlix::document {

// The merged paged document, kept compressed: the body arrives in order, in pieces that no longer
// change, and is packed into blocks of some tens of thousands of characters, each deflated on its
// own. The head and a page are unpacked when the interpreter asks for them (the last few blocks
// stay unpacked for the next page); the whole text is only ever written out a block at a time.
// Ten thousand invoices take a few megabytes instead of thirty.
//
// It may be read while the merge still writes it, from other threads: a reader of a page waits
// until the merge has gone past that page (or has ended), and whatever needs the whole document
// (the page count, the size, the text) waits for the end.
class PagedDocument final : public lang::PagedText {
public:
    PagedDocument();
    ~PagedDocument() override;

    // ---- Building (the merge, on one thread) ----
    // Appends the next part of the body.
    void append(QStringView text);
    // The body appended so far holds every page before the last start in `starts` (the head's
    // start, 1, then each page's, 1-based): readers waiting for those pages go on.
    void pagesComplete(const std::vector<qsizetype>& starts);
    // Ends the body: `starts` holds the head's start (1) and every page's start in the body,
    // 1-based, as the header line gives them; `map` tells where its statements came from.
    void finish(std::vector<qsizetype> starts, StatementMap map = {});
    // The merge stopped without finishing (it threw): the document ends with no pages, and
    // every reader stops waiting.
    void abandon();

    // ---- Reading ----
    // These wait for the end of the document.
    [[nodiscard]] std::int32_t pageCount() const override;
    [[nodiscard]] qsizetype bodySize() const override;
    // These wait until the merge has gone past page 1, or page j.
    [[nodiscard]] QString head() const override;
    [[nodiscard]] QString page(std::int32_t j) const override;
    [[nodiscard]] bool waitForPage(std::int32_t j) const override;
    [[nodiscard]] qsizetype bodySizeSoFar() const override;
    // The merge has ended (finished or abandoned).
    [[nodiscard]] bool ended() const;
    // Pages complete so far, without waiting.
    [[nodiscard]] std::int32_t pagesSoFar() const;

    // Where in the face the statement of an interpreter problem came from (waits for the end);
    // none for a problem outside the document's text or a statement the merge wrote itself.
    [[nodiscard]] std::optional<StatementMap::Place> placeOf(
        const shell::Report::StatementProblem& problem, const QString& face) const;
    // Bytes the statement map keeps (for measurements).
    [[nodiscard]] std::size_t mapBytes() const;

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
        qsizetype start;
        std::shared_ptr<const QString> text;
    };
    // What a part of the body is made of, taken under the lock and read outside it.
    struct Pieces {
        qsizetype from = 0;
        qsizetype to = 0;
        std::vector<Block> blocks;
        QString pending; // the part that is not packed yet
        qsizetype pendingStart = 0;
    };

    mutable std::mutex m_lock;
    mutable std::condition_variable m_grown;
    std::vector<Block> m_blocks;
    QString m_pending; // the body not yet packed
    QString m_head; // unpacked once: every page needs it
    qsizetype m_size = 0;
    std::vector<qsizetype> m_starts;
    StatementMap m_map;
    std::int32_t m_complete = 0; // pages the merge has gone past
    bool m_ended = false;
    mutable std::mutex m_cacheLock;
    mutable std::list<Unpacked> m_cache; // the blocks unpacked last, most recent first

    void pack();
    void waitForEnd() const;
    [[nodiscard]] std::shared_ptr<const QString> unpacked(const Block& block) const;
    // The body from `from` (0-based) up to `to`, clipped to the body; under the lock.
    [[nodiscard]] Pieces piecesOf(qsizetype from, qsizetype to) const;
    [[nodiscard]] QString assemble(const Pieces& pieces) const;
    // Start of page i in the body, 1-based; the body's end after the last page; under the lock.
    [[nodiscard]] qsizetype startOf(std::int32_t i) const;
};

}
