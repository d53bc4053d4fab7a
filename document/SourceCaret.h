#pragma once

#include <QString>
#include <cstdint>

namespace vorlix::document {

class SourceEditor;

// The caret operations on the source editor that the main window and the error report use.
// Positions are 0-based and count the characters of the editor's CR LF text. Without an attached
// editor every operation does nothing (DefaultLine gives the empty string, PLT 0).
class SourceCaret {
public:
    void setEditor(SourceEditor* editor) { m_editor = editor; }

    // The caret position, and moving it (kept inside the text).
    [[nodiscard]] std::int32_t PLT() const;
    void setPLT(std::int32_t position);
    // The caret to the start of the text, of the previous line, of the next line; on the last
    // line (no CR LF after the caret) nextPLT appends one and moves to the end.
    void topPLT();
    void prevPLT();
    void nextPLT();
    // Selects the caret's line (without its CR LF) and returns it.
    QString DefaultLine();
    // Inserts text and CR LF as a new line before the caret's line.
    void AddItem(const QString& text);

private:
    // Moves the caret to the start of its line and returns that position.
    std::int32_t LineStart();

    SourceEditor* m_editor = nullptr;
};

}
