#pragma once

#include "render/PdfFontFile.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QRawFont;

namespace vorlix::render {

// One font file as the PDF writer embeds it: its tables read once through the raw font Qt drew
// with (whatever file it came from, fallback fonts included), the metrics the font dictionaries
// need, and the subset of the glyphs a document used, made with glyph ids kept so that the ids
// the page workers wrote stay valid. Immutable once made: every thread may read it.
class PdfFont {
public:
    // The identity under which the same file is shared, whatever style it was asked for in.
    [[nodiscard]] static QString keyOf(const QRawFont& font, bool vertical = false);
    // Reads the font behind the raw font; nothing when it has no outlines we can embed. A
    // vertical font is the same file written for vertical writing: its glyphs stand upright on
    // their vertical origin and advance down the page.
    [[nodiscard]] static std::shared_ptr<const PdfFont> fromRawFont(
        const QRawFont& font, bool vertical = false);

    [[nodiscard]] const QString& key() const { return m_key; }
    [[nodiscard]] const QByteArray& postScriptName() const { return m_postScriptName; }
    // CFF outlines (embedded as OpenType) rather than TrueType ones.
    [[nodiscard]] bool isCff() const { return m_cff; }
    // A glyph's advance in thousandths of the em, as the font's W array gives it.
    [[nodiscard]] int width(std::uint32_t glyph) const;
    [[nodiscard]] bool isVertical() const { return m_vertical; }
    // A glyph's vertical metrics in thousandths of the em, as the font's W2 array gives them:
    // its advance down the page (negative) and where its vertical origin lies from its
    // horizontal one.
    struct VerticalMetrics {
        int advance = -1000;
        int originX = 500;
        int originY = 880;
    };
    [[nodiscard]] VerticalMetrics verticalMetrics(std::uint32_t glyph) const;
    // The weight class of the file (400 regular, 700 bold).
    [[nodiscard]] int weightClass() const { return m_weightClass; }
    [[nodiscard]] bool italicFace() const { return m_italic; }
    // Metrics in thousandths of the em.
    [[nodiscard]] int ascent() const { return m_ascent; }
    [[nodiscard]] int descent() const { return m_descent; }
    [[nodiscard]] int capHeight() const { return m_capHeight; }
    [[nodiscard]] const std::array<int, 4>& boundingBox() const { return m_bbox; }
    [[nodiscard]] double italicAngle() const { return m_italicAngle; }

    // The font program holding only the glyphs given (sorted, unique), with their ids kept;
    // empty when the subsetter refused the font.
    [[nodiscard]] QByteArray subset(const std::vector<std::uint32_t>& glyphs) const;

private:
    [[nodiscard]] int toThousandths(int units) const;
    void readMetrics(const QRawFont& font);
    void readVerticalMetrics(const QRawFont& font);

    QString m_key;
    QByteArray m_postScriptName;
    // Where the font's file is; when it is not known, the tables embedded, by tag (the file is
    // only made whole for the subsetter).
    PdfFontFile::Location m_location;
    std::vector<std::pair<std::uint32_t, QByteArray>> m_tables;
    std::vector<std::uint16_t> m_advances;
    std::vector<VerticalMetrics> m_verticalMetrics;
    bool m_vertical = false;
    bool m_cff = false;
    bool m_italic = false;
    int m_unitsPerEm = 1000;
    int m_weightClass = 400;
    int m_ascent = 800;
    int m_descent = -200;
    int m_capHeight = 700;
    std::array<int, 4> m_bbox {};
    double m_italicAngle = 0.0;
};

}
