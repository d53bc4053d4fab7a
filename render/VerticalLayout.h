#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QString>
#include <QTransform>
#include <vector>

namespace vorlix::render {

// A text in a vertical face laid out along its line, as such faces are drawn: full-width
// characters stand upright, in the font's vertical forms (vert, or vrt2 where the font has it),
// centred across the line and each advancing by its vertical advance; half-width characters lie
// along the line exactly as in a horizontal run. Coordinates are the line's: x along it from its
// start, y across it from the top of the cell, before the font's escapement turns the line.
// Advances are whole 64ths of a pixel, as Qt's own, so that the parts of a text add up to it.
class VerticalLayout {
public:
    struct Run {
        // Lying runs: positions in the line, on the baseline one ascent below the cell's top.
        // Upright runs: positions in the upright frame (uprightFrame()).
        QGlyphRun glyphs;
        bool upright = false;
        // The characters of the text the run draws.
        qsizetype from = 0;
        qsizetype to = 0;
        // Upright runs: the characters each glyph stands for (empty for the further glyphs of
        // one character).
        std::vector<QString> texts;
    };

    // The advance of the text along the line: what layOut(font, text).advance is.
    [[nodiscard]] static double measure(const QFont& font, const QString& text);
    [[nodiscard]] static VerticalLayout layOut(const QFont& font, const QString& text);

    // Maps the upright frame into the line: the line's frame turned a quarter counter-clockwise
    // about the middle of the cell's start, so that its y runs along the line and its x towards
    // the top of the cell. Upright glyphs stand on its baseline as in horizontal text.
    [[nodiscard]] QTransform uprightFrame() const;
    [[nodiscard]] bool hasUpright() const;

    std::vector<Run> runs;
    double advance = 0.0;
    // Half the cell's height: where upright glyphs are centred across the line.
    double centre = 0.0;
    // How much the font is widened (its stretch): upright glyphs are widened across the line.
    double stretch = 1.0;
};

}
