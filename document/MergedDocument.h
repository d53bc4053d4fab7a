#pragma once

#include "document/PagedDocument.h"

#include <cstdint>
#include <memory>

namespace vorlix::document {

// The result of the last merge as the preview and the print job use it.
struct MergedDocument {
    // The paged document: the head line with the page count and page starts, then the pages.
    std::shared_ptr<const PagedDocument> ManuScript;
    // The merge succeeded and ManuScript holds its result.
    bool fMaScOn = false;
    // The last print job of it ran to its end.
    bool fPrCpOn = false;
    // The number of pages, as the last preview or print job read it.
    std::int32_t Page = 0;

    // New text came in: the result is gone (the page count stays until it is read again).
    void forget()
    {
        ManuScript.reset();
        fMaScOn = false;
        fPrCpOn = false;
    }
};

}
