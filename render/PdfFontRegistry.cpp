#include "render/PdfFontRegistry.h"

#include "render/PdfFont.h"

#include <QRawFont>
#include <atomic>

namespace vorlix::render {

PdfFontRegistry::PdfFontRegistry()
{
    static std::atomic<std::uint64_t> next { 1 };
    m_id = next++;
}

std::shared_ptr<const PdfFont> PdfFontRegistry::get(const QRawFont& font, bool vertical)
{
    // Glyphs that no installed face has come in a font without tables (Qt's boxes): nothing to
    // embed, and no family name to ask for.
    if (!font.isValid() || font.fontTable("head").isEmpty())
        return nullptr;
    const QString key = PdfFont::keyOf(font, vertical);
    const std::lock_guard lock(m_lock);
    const auto found = m_fonts.constFind(key);
    if (found != m_fonts.constEnd())
        return *found;
    // Read under the lock: two workers meeting a new font at once read its tables once.
    std::shared_ptr<const PdfFont> made = PdfFont::fromRawFont(font, vertical);
    m_fonts.insert(key, made);
    return made;
}

}
