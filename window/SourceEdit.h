#pragma once

#include <QPlainTextEdit>

namespace vorlix::window {

class CommandCompleter;
class LineNumberArea;
class SourceHighlighter;

// The source editor ("Text1"): plain text with line numbers in a margin, undo and redo, and
// highlighting of the face language or of data documents; in a face, Ctrl+Space completes the
// command word at the start of a statement. Every line end it makes is a real one: Shift+Enter
// ends a line as Enter does, and pasted line separators become line ends, so that what looks
// like two lines is never one statement to the interpreter.
class SourceEdit final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit SourceEdit(QWidget* parent = nullptr);
    ~SourceEdit() override;

    [[nodiscard]] SourceHighlighter& highlighter() { return *m_highlighter; }
    [[nodiscard]] CommandCompleter& completer() { return *m_completer; }

    // Width of the line-number margin for the current number of lines.
    [[nodiscard]] int lineNumberWidth() const;
    void paintLineNumbers(QPaintEvent* event);

    // Finds the text from the caret on (or backwards); selects it and returns true when found,
    // searching round the end of the text once.
    bool find(const QString& text, bool backwards);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void updateMargin();
    void updateLineNumbers(const QRect& rect, int dy);

    LineNumberArea* m_lineNumbers;
    SourceHighlighter* m_highlighter;
    CommandCompleter* m_completer;
};

}
