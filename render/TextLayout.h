#pragma once

#include "render/GdiTypes.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace vorlix::render {

class PageRecorder;
class RunAdvances;

// Which part of a text stands at the point: its start, its middle or its end along the
// baseline. The numbers are those of the face language's "sf".
enum class TextAlign : int {
    Start = 0,
    Centre = 1,
    End = 2,
};

// The direction of the current font: text advances along its baseline, turned counter-clockwise
// by orientation degrees.
struct TextDirection {
    std::int32_t orientation = 0;
    double sinA = 0.0;
    double cosA = 1.0;
};

// Lays out one text call at the device current point, in device units: plain runs (LPK), wrapped
// by measurement when a line width is given, and marked-up text (PrintLn): ^ raised and _ lowered
// at 0.7 size, ! bold, | italic, # a mathematical letter enlarged to the height of capitals, {}
// groups, backslash escapes and line breaks. A new line goes back to the line start and down by
// 1.1 times the height of the font in use; breaks fall on any character.
//
// A variant font (raised, lowered, bold, italic, enlarged) is selected for its group only: the
// font before it comes back when the group ends, also when the statement fails inside it.
class TextLayout {
public:
    // Text drawn on device from point, which the layout moves, in the direction of the current
    // font; font is the description in use (lfHeight = H the height and lfWidth = W half the
    // width of a full-width glyph).
    TextLayout(PageRecorder& device, Point& point, TextDirection direction, const LogFont& font);

    // LPK: plain text. Without a line width it is drawn where the point is and the point does not
    // move; with one it wraps by measurement and the point ends after the text.
    void LPK(const QString& text, std::optional<std::int32_t> lineWidth);
    // PrintLn: marked-up text; without a line width it never wraps.
    void PrintLn(const QString& text, std::optional<std::int32_t> lineWidth);
    // Plain text placed along the baseline so that its start, middle or end is at the point, as
    // wide as it is measured for drawing; the point does not move.
    void alignedText(const QString& text, TextAlign align);

private:
    class FontVariant;

    // AdvanceText: moves the point dx along the baseline and dy across it (downwards).
    void AdvanceText(std::int32_t dx, std::int32_t dy);
    // OutText: draws a run, then moves after it (0), to a new line (1) or not at all (other).
    void OutText(const QString& text, int after);
    // OutWrapped: draws a run, wrapping it at the line width by measurement.
    void OutWrapped(const QString& text);
    // The number of characters of the run's part from start (length long, width wide) that go
    // on the line, at least one.
    [[nodiscard]] qsizetype fittingLength(
        const RunAdvances& advances, qsizetype start, qsizetype length, int width) const;
    // OutGridChar: one character on the fixed grid of the font in use.
    void OutGridChar(QChar ch);
    // OutLetter: one mathematical letter, enlarged by its class.
    void OutLetter(QChar ch);
    // OutMarkup: reads the mark-up from pos to the end of the group or text.
    void OutMarkup(qsizetype& pos, const QString& text);
    void NewLine();
    // A new line when a grid character or letter used the line up: the next line starts there.
    void breakLine();

    PageRecorder& m_device;
    Point& m_point;
    TextDirection m_direction;
    LogFont m_font;
    // Line width in device units (0 or less: no wrapping), where the line began, what is left.
    std::int32_t m_lineWidth = 0;
    Point m_lineStart;
    std::int32_t m_remaining = 0;
    int m_depth = 0;
};

}
