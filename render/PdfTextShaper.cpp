#include "render/PdfTextShaper.h"

#include "render/PdfFont.h"
#include "render/PdfFontRegistry.h"
#include "render/QtFontCache.h"
#include "render/VerticalFace.h"
#include "render/VerticalLayout.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>

namespace vorlix::render {

namespace {

    // Texts kept per generation and thread: enough for the captions of a few forms.
    constexpr qsizetype MaxEntries = 1024;
    // Fonts kept per thread; a document that keeps making new ones starts the cache over.
    constexpr std::size_t MaxFonts = 64;

    // The texts shaped in one font of one document's registry.
    struct FontTexts {
        std::uint64_t fonts;
        LogFont font;
        QHash<QString, PdfTextShaper::Shaped> newer;
        QHash<QString, PdfTextShaper::Shaped> older;
    };

    // Two generations: when the newer one is full the older one is dropped and the newer one
    // becomes it, and a text found in the older one moves back to the newer. The captions that
    // every page prints stay, while the names and amounts of one page pass through. A lookup
    // compares the font with the last one used and hashes the text alone: nothing is copied.
    struct ThreadCache {
        std::vector<std::unique_ptr<FontTexts>> fonts;
        FontTexts* last = nullptr;
        qsizetype newerEntries = 0;

        FontTexts& forFont(std::uint64_t registry, const LogFont& font)
        {
            if (last && last->fonts == registry && last->font == font)
                return *last;
            for (const auto& entry : fonts) {
                if (entry->fonts == registry && entry->font == font)
                    return *(last = entry.get());
            }
            if (fonts.size() >= MaxFonts) {
                fonts.clear();
                newerEntries = 0;
            }
            fonts.push_back(std::make_unique<FontTexts>(FontTexts { registry, font, {}, {} }));
            return *(last = fonts.back().get());
        }

        void age()
        {
            for (const auto& entry : fonts) {
                entry->older = std::move(entry->newer);
                entry->newer = {};
            }
            newerEntries = 0;
        }
    };

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

    // A run of Qt's glyphs in a font, positioned from the baseline; mapped, where given, from
    // the frame the glyphs stand in.
    PdfTextShaper::Run runOf(PdfFontRegistry& fonts, const QGlyphRun& glyphRun, const QString& text,
        double ascent, const QTransform& frame = {})
    {
        const QRawFont raw = glyphRun.rawFont();
        PdfTextShaper::Run run;
        run.font = fonts.get(raw);
        const QList<quint32> glyphs = glyphRun.glyphIndexes();
        const QList<QPointF> positions = glyphRun.positions();
        const QTransform fromBaseline = frame * QTransform::fromTranslate(0.0, -ascent);
        if (!run.font) {
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                run.outline.addPath(
                    fromBaseline.map(raw.pathForGlyph(glyphs[i]).translated(positions[i])));
            return run;
        }
        run.pixelSize = raw.pixelSize();
        run.lineThickness = raw.lineThickness();
        run.glyphs.assign(glyphs.begin(), glyphs.end());
        run.positions.reserve(static_cast<std::size_t>(positions.size()));
        for (const QPointF& position : positions)
            run.positions.push_back(fromBaseline.map(position));
        run.texts = textsOf(raw, run.glyphs, text);
        return run;
    }

    PdfTextShaper::Shaped layOut(PdfFontRegistry& fonts, const LogFont& font, const QString& text)
    {
        PdfTextShaper::Shaped shaped;
        const QtFontCache::Entry& entry = QtFontCache::shared().get(font);
        QTextLayout layout(text, entry.font);
        // Without its cache the layout drops the shaped glyphs at endLayout() and shapes the
        // text a second time for glyphRuns().
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return shaped;
        shaped.width = line.naturalTextWidth();
        // Positions from the baseline: the layout puts it one line ascent below its top.
        for (const QGlyphRun& glyphRun : line.glyphRuns())
            shaped.runs.push_back(runOf(fonts, glyphRun, text, line.ascent()));
        return shaped;
    }

    // Upright glyphs written for vertical writing: each placed by its vertical origin, in the
    // line's frame, which is where the viewer puts it.
    PdfTextShaper::Run uprightRun(PdfFontRegistry& fonts, const VerticalLayout::Run& upright,
        const QTransform& frame, double ascent, double stretch)
    {
        const QRawFont raw = upright.glyphs.rawFont();
        std::shared_ptr<const PdfFont> font = fonts.get(raw, true);
        if (!font)
            return runOf(fonts, upright.glyphs, QString(), ascent, frame);
        PdfTextShaper::Run run;
        run.font = std::move(font);
        run.upright = true;
        run.pixelSize = raw.pixelSize();
        run.lineThickness = raw.lineThickness();
        const QList<quint32> glyphs = upright.glyphs.glyphIndexes();
        const QList<QPointF> positions = upright.glyphs.positions();
        QHash<std::uint32_t, bool> seen;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const std::uint32_t glyph = glyphs[i];
            const PdfFont::VerticalMetrics metrics = run.font->verticalMetrics(glyph);
            // Font units point up, the upright frame's y down.
            const QPointF origin = positions[i]
                + QPointF(metrics.originX * stretch, -metrics.originY) * (run.pixelSize / 1000.0);
            run.glyphs.push_back(glyph);
            run.positions.push_back(frame.map(origin) - QPointF(0.0, ascent));
            if (!seen.contains(glyph)) {
                seen.insert(glyph, true);
                run.texts.emplace_back(glyph, upright.texts[static_cast<std::size_t>(i)]);
            }
        }
        return run;
    }

    PdfTextShaper::Shaped layOutVertical(
        PdfFontRegistry& fonts, const LogFont& font, const QString& text)
    {
        const QtFontCache::Entry& entry = QtFontCache::shared().get(font);
        const VerticalLayout layout = VerticalLayout::layOut(entry.font, text);
        if (!layout.hasUpright())
            return layOut(fonts, font, text);
        PdfTextShaper::Shaped shaped;
        shaped.width = layout.advance;
        const double ascent = entry.metrics.ascent();
        const QTransform frame = layout.uprightFrame();
        for (const VerticalLayout::Run& run : layout.runs) {
            if (run.upright)
                shaped.runs.push_back(uprightRun(fonts, run, frame, ascent, layout.stretch));
            else
                shaped.runs.push_back(
                    runOf(fonts, run.glyphs, text.mid(run.from, run.to - run.from), ascent));
        }
        return shaped;
    }

}

const PdfTextShaper::Shaped& PdfTextShaper::shape(
    PdfFontRegistry& fonts, const LogFont& font, const QString& text)
{
    thread_local ThreadCache cache;
    FontTexts& texts = cache.forFont(fonts.id(), font);
    const auto found = texts.newer.constFind(text);
    if (found != texts.newer.constEnd())
        return *found;
    if (cache.newerEntries >= MaxEntries)
        cache.age();
    ++cache.newerEntries;
    const auto kept = texts.older.find(text);
    if (kept != texts.older.end()) {
        Shaped shaped = std::move(*kept);
        texts.older.erase(kept);
        return *texts.newer.insert(text, std::move(shaped));
    }
    return *texts.newer.insert(text,
        VerticalFace::isVertical(font.lfFaceName) ? layOutVertical(fonts, font, text)
                                                  : layOut(fonts, font, text));
}

}
