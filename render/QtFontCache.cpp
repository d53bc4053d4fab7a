#include "render/QtFontCache.h"

#include "render/FontSubstitutions.h"
#include "render/VerticalFace.h"
#include "render/VerticalLayout.h"
#include "shell/Convert.h"

#include <algorithm>
#include <cmath>

namespace vorlix::render {

namespace {

    constexpr int probePixelSize = 1000;
    constexpr std::size_t maxEntries = 256;
    // Longer texts are runs being wrapped, measured prefix by prefix and seldom again.
    constexpr qsizetype maxMeasuredLength = 256;
    // About 128 KiB of text per thread; past it the measurements start over.
    constexpr qsizetype maxMeasuredCharacters = 64 * 1024;

    int toDevice(double value)
    {
        return static_cast<int>(shell::roundHalfEven(value));
    }

    void applyOptions(QFont& font)
    {
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setKerning(false);
    }

    // A vertical face is found by the name of the face it turns.
    QFont baseFont(const QString& faceName)
    {
        QFont font(VerticalFace::familyOf(faceName));
        applyOptions(font);
        return font;
    }

}

QtFontCache::QtFontCache()
{
    installFontSubstitutions();
}

// One per thread: a print job's workers measure while the writing thread paints, and fonts and
// their metrics are cheap to make again but must not be shared between threads.
QtFontCache& QtFontCache::shared()
{
    thread_local QtFontCache cache;
    return cache;
}

const QtFontCache::Entry& QtFontCache::get(const LogFont& description)
{
    return entryFor(description);
}

QSize QtFontCache::extent(const LogFont& description, const QString& text)
{
    const double height = entryFor(description).metrics.height();
    return { toDevice(advance(description, text)), toDevice(height) };
}

double QtFontCache::advance(const LogFont& description, const QString& text)
{
    Entry& entry = entryFor(description);
    const auto known = entry.advances.constFind(text);
    if (known != entry.advances.constEnd())
        return *known;
    const double width = entry.vertical ? VerticalLayout::measure(entry.font, text)
                                        : entry.metrics.horizontalAdvance(text);
    if (text.size() > maxMeasuredLength)
        return width;
    if (m_measuredCharacters + text.size() > maxMeasuredCharacters)
        forgetMeasurements();
    entry.advances.insert(text, width);
    m_measuredCharacters += text.size();
    return width;
}

qsizetype QtFontCache::measuredTexts() const
{
    qsizetype count = 0;
    for (const auto& entry : m_entries)
        count += entry->advances.size();
    return count;
}

void QtFontCache::forgetMeasurements()
{
    for (const auto& entry : m_entries)
        entry->advances.clear();
    m_measuredCharacters = 0;
}

QtFontCache::Entry& QtFontCache::entryFor(const LogFont& description)
{
    // The last font asked for is by far the most frequent.
    if (m_last && m_last->description == description)
        return *m_last;
    for (const auto& entry : m_entries) {
        if (entry->description == description) {
            m_last = entry.get();
            return *entry;
        }
    }
    // Pages use a handful of fonts; a document that keeps making new ones starts the cache over.
    if (m_entries.size() >= maxEntries) {
        m_entries.clear();
        m_last = nullptr;
        m_measuredCharacters = 0;
    }
    QFont font = makeFont(description);
    m_entries.push_back(std::make_unique<Entry>(Entry { description, font, QFontMetricsF(font),
        VerticalFace::isVertical(description.lfFaceName), {} }));
    m_last = m_entries.back().get();
    return *m_last;
}

QFont QtFontCache::pointFont(const QString& faceName, double pointSize, bool bold, bool italic)
{
    installFontSubstitutions();
    QFont font = baseFont(faceName);
    if (pointSize > 0.0)
        font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

double QtFontCache::emPerCell(const QString& faceName)
{
    const auto found = m_emPerCell.constFind(faceName);
    if (found != m_emPerCell.constEnd())
        return *found;
    QFont probe = baseFont(faceName);
    probe.setPixelSize(probePixelSize);
    const double cell = QFontMetricsF(probe).height();
    const double ratio = cell > 0.0 ? probePixelSize / cell : 1.0;
    m_emPerCell.insert(faceName, ratio);
    return ratio;
}

QFont QtFontCache::makeFont(const LogFont& description)
{
    QFont font = baseFont(description.lfFaceName);
    int pixels = 16;
    if (description.lfHeight > 0)
        pixels = static_cast<int>(
            shell::roundHalfEven(description.lfHeight * emPerCell(description.lfFaceName)));
    else if (description.lfHeight < 0)
        pixels = -description.lfHeight;
    font.setPixelSize(std::max(pixels, 1));
    font.setWeight(static_cast<QFont::Weight>(
        std::clamp(description.lfWeight == 0 ? 400 : description.lfWeight, 100, 900)));
    font.setItalic(description.lfItalic);
    font.setUnderline(description.lfUnderline);
    font.setStrikeOut(description.lfStrikeOut);
    if (description.lfWidth != 0) {
        // As wide as the grid step was measured: along the line, upright in a vertical face.
        const QString grid = QStringLiteral("○");
        const double natural = (VerticalFace::isVertical(description.lfFaceName)
                                       ? VerticalLayout::measure(font, grid)
                                       : QFontMetricsF(font).horizontalAdvance(grid))
            / 2.0;
        if (natural > 0.0) {
            const int stretch = static_cast<int>(
                shell::roundHalfEven(100.0 * std::abs(description.lfWidth) / natural));
            if (std::abs(stretch - 100) > 1)
                font.setStretch(std::clamp(stretch, 1, 4000));
        }
    }
    return font;
}

}
