#pragma once

#include <QPlainTextEdit>

namespace vorlix::window {

class LineNumberArea;
class SourceHighlighter;

// The source editor ("Text1"): plain text with line numbers in a margin, undo and redo, and
// highlighting of the face language or of data documents.
class SourceEdit final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit SourceEdit(QWidget* parent = nullptr);
    ~SourceEdit() override;

    [[nodiscard]] SourceHighlighter& highlighter() { return *m_highlighter; }

    // Width of the line-number margin for the current number of lines.
    [[nodiscard]] int lineNumberWidth() const;
    void paintLineNumbers(QPaintEvent* event);

    // Finds the text from the caret on (or backwards); selects it and returns true when found,
    // searching round the end of the text once.
    bool find(const QString& text, bool backwards);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateMargin();
    void updateLineNumbers(const QRect& rect, int dy);

    LineNumberArea* m_lineNumbers;
    SourceHighlighter* m_highlighter;
};

}
