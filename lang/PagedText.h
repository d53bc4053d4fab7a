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

    // Number of pages.
    [[nodiscard]] virtual std::int32_t pageCount() const = 0;
    // Characters in the body (the text after the header line).
    [[nodiscard]] virtual qsizetype bodySize() const = 0;
    // The common head every page starts with.
    [[nodiscard]] virtual QString head() const = 0;
    // The text of page j (1-based); empty outside the document.
    [[nodiscard]] virtual QString page(std::int32_t j) const = 0;
};

}
