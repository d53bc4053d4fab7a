#pragma once

#include <QSet>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace vorlix::window {

// Colours the editor's text: for a face program the command words at the start of a statement,
// numbers, strings, "$" and "&" references and comments; for a data document the tags, their
// attributes and comments. One pass over each line with a small state carried from line to line
// (inside a string, a tag or a comment), so that typing touches only the lines it changes.
// A long text is coloured in steps from its start while the window goes on working: lines past
// the coloured part stay plain until the step reaches them.
class SourceHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT

public:
    enum class Mode { None, Face, Data };

    // What a piece of text was coloured as (for the tests and the colours' table).
    enum class Kind { Plain, Command, Number, String, Reference, Comment, Tag, Attribute };

    explicit SourceHighlighter(QTextDocument* document);

    void setMode(Mode mode);
    [[nodiscard]] Mode mode() const { return m_mode; }

    // Lines coloured in one step.
    static constexpr int StepLines = 2000;
    // Starts colouring from the first line again (a new text is coming).
    void restart();
    // Lines coloured so far (every line once the steps are done).
    [[nodiscard]] int colouredLines() const { return m_frontier; }
    [[nodiscard]] bool finished() const;

    // The format used for a kind.
    [[nodiscard]] QTextCharFormat format(Kind kind) const;

    // Whether a word is a command of the page language.
    [[nodiscard]] static bool isCommand(const QString& word);

protected:
    void highlightBlock(const QString& text) override;

private:
    void highlightFace(const QString& text);
    void highlightData(const QString& text);
    void mark(qsizetype start, qsizetype length, Kind kind);
    void step();

    Mode m_mode = Mode::None;
    int m_frontier = StepLines;
    bool m_stepPending = false;
};

}
