#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::lang {

// A paged document kept by its owner in whatever form suits it, read a page at a time: the
// interpreter asks for the common head and for the pages it renders, never for the whole text.
// Every method may be called from several threads at once.
class PagedText {
public:
    PagedText() = default;
    PagedText(const PagedText&) = delete;
    PagedText& operator=(const PagedText&) = delete;
    virtual ~PagedText() = default;

    // Number of pages (a growing document's once it has ended).
    [[nodiscard]] virtual std::int32_t pageCount() const = 0;
    // Characters in the body (the text after the header line).
    [[nodiscard]] virtual qsizetype bodySize() const = 0;
    // The common head every page starts with.
    [[nodiscard]] virtual QString head() const = 0;
    // The text of page j (1-based); empty outside the document.
    [[nodiscard]] virtual QString page(std::int32_t j) const = 0;

    // A document may still be growing while it is read (the merge writing it beside the print
    // job): this waits until page j is complete or the document has ended, and tells whether
    // page j exists. A whole document answers at once.
    [[nodiscard]] virtual bool waitForPage(std::int32_t j) const
    {
        return j >= 1 && j <= pageCount();
    }
    // Characters in the body so far, without waiting for the end.
    [[nodiscard]] virtual qsizetype bodySizeSoFar() const { return bodySize(); }
};

}
