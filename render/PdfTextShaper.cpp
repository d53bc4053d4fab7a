#include "render/PdfTextShaper.h"

#include "render/PdfFont.h"
#include "render/PdfFontRegistry.h"
#include "render/QtFontCache.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>

namespace vorlix::render {

namespace {

    // Enough for the captions of a few forms; a cleared cache costs one shaping per text.
    constexpr qsizetype MaxEntries = 1024;

    struct Key {
        std::uint64_t fonts;
        LogFont font;
        QString text;

        friend bool operator==(const Key&, const Key&) = default;
    };

    size_t qHash(const Key& key, size_t seed = 0)
    {
        return qHashMulti(seed, key.text, key.font.lfFaceName, key.font.lfHeight, key.font.lfWidth,
            key.font.lfWeight, key.font.lfItalic, key.font.lfUnderline, key.font.lfStrikeOut,
            key.fonts);
    }

    // Which text each glyph of the run stands for: the characters the font maps straight to it.
    std::vector<std::pair<std::uint32_t, QString>> textsOf(
        const QRawFont& raw, const std::vector<std::uint32_t>& glyphs, const QString& text)
    {
        std::vector<std::pair<std::uint32_t, QString>> texts;
        QHash<std::uint32_t, bool> seen;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString character = text.mid(i, length);
            quint32 glyph = 0;
            int count = 1;
            if (raw.glyphIndexesForChars(character.constData(), length, &glyph, &count) && glyph
                && !seen.contains(glyph)
                && std::find(glyphs.begin(), glyphs.end(), glyph) != glyphs.end()) {
                seen.insert(glyph, true);
                texts.emplace_back(glyph, character);
            }
            i += length;
        }
        // Glyphs no single character maps to (ligatures) are still part of the subset.
        for (const std::uint32_t glyph : glyphs) {
            if (!seen.contains(glyph)) {
                seen.insert(glyph, true);
                texts.emplace_back(glyph, QString());
            }
        }
        return texts;
    }

    PdfTextShaper::Shaped layOut(PdfFontRegistry& fonts, const LogFont& font, const QString& text)
    {
        PdfTextShaper::Shaped shaped;
        const QtFontCache::Entry& entry = QtFontCache::shared().get(font);
        QTextLayout layout(text, entry.font);
        layout.setCacheEnabled(false);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return shaped;
        shaped.width = line.naturalTextWidth();
        // Positions from the baseline: the layout puts it one line ascent below its top.
        const double ascent = line.ascent();
        const QList<QGlyphRun> runs = line.glyphRuns();
        for (const QGlyphRun& glyphRun : runs) {
            const QRawFont raw = glyphRun.rawFont();
            PdfTextShaper::Run run;
            run.font = fonts.get(raw);
            if (!run.font) {
                const QList<quint32> glyphs = glyphRun.glyphIndexes();
                const QList<QPointF> positions = glyphRun.positions();
                for (qsizetype i = 0; i < glyphs.size(); ++i)
                    run.outline.addPath(raw.pathForGlyph(glyphs[i]).translated(
                        positions[i] - QPointF(0.0, ascent)));
                shaped.runs.push_back(std::move(run));
                continue;
            }
            run.pixelSize = raw.pixelSize();
            run.lineThickness = raw.lineThickness();
            const QList<quint32> glyphs = glyphRun.glyphIndexes();
            const QList<QPointF> positions = glyphRun.positions();
            run.glyphs.assign(glyphs.begin(), glyphs.end());
            run.positions.reserve(static_cast<std::size_t>(positions.size()));
            for (const QPointF& position : positions)
                run.positions.emplace_back(position.x(), position.y() - ascent);
            run.texts = textsOf(raw, run.glyphs, text);
            shaped.runs.push_back(std::move(run));
        }
        return shaped;
    }

}

const PdfTextShaper::Shaped& PdfTextShaper::shape(
    PdfFontRegistry& fonts, const LogFont& font, const QString& text)
{
    thread_local QHash<Key, Shaped> cache;
    Key key { fonts.id(), font, text };
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() >= MaxEntries)
        cache.clear();
    return *cache.insert(std::move(key), layOut(fonts, font, text));
}

}
