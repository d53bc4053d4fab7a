#pragma once

#include <QRawFont>
#include <memory>

struct hb_face_t;
struct hb_font_t;

namespace vorlix::render {

// A HarfBuzz font over the tables of the font file behind a raw font, in font units: what
// vertical runs are shaped with, and their metrics read from. Used on the thread that made it.
class HbFont {
public:
    explicit HbFont(const QRawFont& font);
    ~HbFont();
    HbFont(const HbFont&) = delete;
    HbFont& operator=(const HbFont&) = delete;

    // The calling thread's HarfBuzz font for the file behind a raw font, made once.
    [[nodiscard]] static std::shared_ptr<const HbFont> of(const QRawFont& font);

    [[nodiscard]] hb_font_t* font() const { return m_font.get(); }
    [[nodiscard]] int unitsPerEm() const { return m_unitsPerEm; }
    // Whether the font's substitutions have vertical alternates for proportional text (vrt2),
    // which take the place of the plain vertical forms (vert).
    [[nodiscard]] bool hasVerticalAlternates() const { return m_verticalAlternates; }

private:
    struct Free {
        void operator()(hb_face_t* face) const;
        void operator()(hb_font_t* font) const;
    };

    // The raw font the tables are read from while the face lives.
    QRawFont m_raw;
    std::unique_ptr<hb_face_t, Free> m_face;
    std::unique_ptr<hb_font_t, Free> m_font;
    int m_unitsPerEm = 1000;
    bool m_verticalAlternates = false;
};

}
