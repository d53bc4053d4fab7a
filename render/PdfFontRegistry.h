#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>

class QRawFont;

namespace vorlix::render {

class PdfFont;

// The fonts of one PDF document, shared by the page workers: the first worker that draws with a
// font file reads its tables, the others find it here. Thread-safe.
class PdfFontRegistry {
public:
    PdfFontRegistry();

    // A number no other registry of the process has, for caches that outlive one.
    [[nodiscard]] std::uint64_t id() const { return m_id; }

    // The font behind a raw font, for horizontal or vertical writing; nothing when it cannot be
    // embedded.
    [[nodiscard]] std::shared_ptr<const PdfFont> get(const QRawFont& font, bool vertical = false);

private:
    std::uint64_t m_id;
    std::mutex m_lock;
    QHash<QString, std::shared_ptr<const PdfFont>> m_fonts;
};

}
