#include "render/VerticalLayout.h"

#include "render/HbFont.h"
#include "render/VerticalFace.h"

#include <QFontMetricsF>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>
#include <hb.h>
#include <memory>

namespace vorlix::render {

namespace {

    // Characters whose fallback font was found, per thread, before the list starts over.
    constexpr qsizetype MaxFallbacks = 4096;

    // A stretch of the text drawn one way in one font: upright characters in the font that has
    // them, lying ones in the line's font with Qt's own fallbacks.
    struct Segment {
        qsizetype from = 0;
        qsizetype to = 0;
        bool upright = false;
        QRawFont font;
    };

    struct BufferFree {
        void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
    };

    // A whole number of 64ths of a pixel, the unit of Qt's advances.
    double quantized(double pixels)
    {
        return std::round(pixels * 64.0) / 64.0;
    }

    bool isMark(char32_t c)
    {
        const QChar::Category category = QChar::category(c);
        return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing;
    }

    // The font that draws an upright character: the line's own, else the one Qt falls back on.
    QRawFont uprightFont(const QFont& font, const QRawFont& primary, char32_t c)
    {
        if (primary.isValid() && primary.supportsCharacter(c))
            return primary;
        thread_local QHash<QString, QRawFont> fallbacks;
        const QString key = font.key() + u'\n' + QString::number(c);
        const auto found = fallbacks.constFind(key);
        if (found != fallbacks.constEnd())
            return *found;
        QRawFont chosen;
        QTextLayout layout(QString::fromUcs4(&c, 1), font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        if (line.isValid()) {
            for (const QGlyphRun& run : line.glyphRuns()) {
                if (run.rawFont().supportsCharacter(c))
                    chosen = run.rawFont();
            }
        }
        if (fallbacks.size() >= MaxFallbacks)
            fallbacks.clear();
        fallbacks.insert(key, chosen);
        return chosen;
    }

    template <typename Visit>
    void forEachSegment(const QFont& font, const QString& text, Visit visit)
    {
        const QRawFont primary = QRawFont::fromFont(font);
        Segment current;
        for (qsizetype at = 0; at < text.size();) {
            char32_t c = text[at].unicode();
            qsizetype units = 1;
            if (text[at].isHighSurrogate() && at + 1 < text.size()
                && text[at + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[at], text[at + 1]);
                units = 2;
            }
            Segment next { at, at + units, false, {} };
            if (at > 0 && isMark(c)) {
                // A mark goes with the character it belongs to.
                next.upright = current.upright;
                next.font = current.font;
            } else if (VerticalFace::standsUpright(c)) {
                next.font = uprightFont(font, primary, c);
                next.upright = next.font.isValid();
            }
            if (at > 0 && next.upright == current.upright
                && (!next.upright || next.font == current.font)) {
                current.to = next.to;
            } else {
                if (at > 0)
                    visit(current);
                current = next;
            }
            at += units;
        }
        if (!text.isEmpty())
            visit(current);
    }

    // Upright glyphs of a segment shaped top to bottom; pen is where the segment starts along
    // the line and moves past it.
    VerticalLayout::Run shapeUpright(
        const QString& text, const Segment& segment, double stretch, double& pen)
    {
        const std::shared_ptr<const HbFont> hb = HbFont::of(segment.font);
        const double scale = segment.font.pixelSize() / hb->unitsPerEm();
        const std::unique_ptr<hb_buffer_t, BufferFree> buffer(hb_buffer_create());
        hb_buffer_add_utf16(buffer.get(), reinterpret_cast<const std::uint16_t*>(text.utf16()),
            static_cast<int>(text.size()), static_cast<unsigned>(segment.from),
            static_cast<int>(segment.to - segment.from));
        hb_buffer_set_direction(buffer.get(), HB_DIRECTION_TTB);
        hb_buffer_guess_segment_properties(buffer.get());
        // Vertical shaping applies vert by itself; vrt2 replaces it where the font has it.
        const hb_feature_t alternates[] = { { HB_TAG('v', 'e', 'r', 't'), 0, 0, ~0u },
            { HB_TAG('v', 'r', 't', '2'), 1, 0, ~0u } };
        const bool useAlternates = hb->hasVerticalAlternates();
        hb_shape(
            hb->font(), buffer.get(), useAlternates ? alternates : nullptr, useAlternates ? 2 : 0);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer.get(), &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer.get(), &count);

        VerticalLayout::Run run;
        run.upright = true;
        run.from = segment.from;
        run.to = segment.to;
        QList<quint32> glyphs;
        QList<QPointF> origins;
        for (unsigned i = 0; i < count; ++i) {
            glyphs.append(infos[i].codepoint);
            // Font units point up; the frame's y runs down the line.
            origins.append(QPointF(
                positions[i].x_offset * scale * stretch, pen - positions[i].y_offset * scale));
            pen += quantized(-positions[i].y_advance * scale);
            const qsizetype cluster = infos[i].cluster;
            const bool first = i == 0 || infos[i - 1].cluster != infos[i].cluster;
            qsizetype end = segment.to;
            for (unsigned k = i + 1; k < count; ++k) {
                if (infos[k].cluster != infos[i].cluster) {
                    end = infos[k].cluster;
                    break;
                }
            }
            run.texts.push_back(first ? text.mid(cluster, end - cluster) : QString());
        }
        run.glyphs.setRawFont(segment.font);
        run.glyphs.setGlyphIndexes(glyphs);
        run.glyphs.setPositions(origins);
        return run;
    }

    // Lying glyphs of a segment as Qt lays them out horizontally, moved to where the segment
    // starts and onto the line's baseline.
    void addLying(VerticalLayout& layout, const QString& part, const QFont& font,
        const QFontMetricsF& metrics, double pen)
    {
        QTextLayout lines(part, font);
        lines.setCacheEnabled(true);
        lines.beginLayout();
        QTextLine line = lines.createLine();
        lines.endLayout();
        if (!line.isValid())
            return;
        const QPointF shift(pen, metrics.ascent() - line.ascent());
        for (QGlyphRun glyphRun : line.glyphRuns()) {
            QList<QPointF> positions = glyphRun.positions();
            for (QPointF& position : positions)
                position += shift;
            glyphRun.setPositions(positions);
            VerticalLayout::Run run;
            run.glyphs = glyphRun;
            layout.runs.push_back(std::move(run));
        }
    }

    double stretchOf(const QFont& font)
    {
        return font.stretch() > 0 ? font.stretch() / 100.0 : 1.0;
    }

}

double VerticalLayout::measure(const QFont& font, const QString& text)
{
    const QFontMetricsF metrics(font);
    const double stretch = stretchOf(font);
    double pen = 0.0;
    forEachSegment(font, text, [&](const Segment& segment) {
        if (segment.upright)
            shapeUpright(text, segment, stretch, pen);
        else
            pen += metrics.horizontalAdvance(text.mid(segment.from, segment.to - segment.from));
    });
    return pen;
}

VerticalLayout VerticalLayout::layOut(const QFont& font, const QString& text)
{
    VerticalLayout layout;
    const QFontMetricsF metrics(font);
    const double stretch = stretchOf(font);
    layout.centre = metrics.height() / 2.0;
    layout.stretch = stretch;
    double pen = 0.0;
    forEachSegment(font, text, [&](const Segment& segment) {
        if (segment.upright) {
            layout.runs.push_back(shapeUpright(text, segment, stretch, pen));
            return;
        }
        const QString part = text.mid(segment.from, segment.to - segment.from);
        const std::size_t first = layout.runs.size();
        addLying(layout, part, font, metrics, pen);
        for (std::size_t i = first; i < layout.runs.size(); ++i) {
            layout.runs[i].from = segment.from;
            layout.runs[i].to = segment.to;
        }
        pen += metrics.horizontalAdvance(part);
    });
    layout.advance = pen;
    return layout;
}

QTransform VerticalLayout::uprightFrame() const
{
    return QTransform().translate(0.0, centre).rotate(-90.0);
}

bool VerticalLayout::hasUpright() const
{
    for (const Run& run : runs) {
        if (run.upright)
            return true;
    }
    return false;
}

}
