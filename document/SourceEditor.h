#pragma once

#include <QString>

namespace vorlix::document {

// The source editor as the document object sees it: a text with CR LF line ends (so that caret
// positions count characters as the error positions do), a selection and a font size. The main
// window implements it over its editor widget; tests use a plain string.
class SourceEditor {
public:
    virtual ~SourceEditor() = default;

    [[nodiscard]] virtual QString text() const = 0; // the whole text, CR LF line ends
    virtual void setText(const QString& text) = 0; // replaces it; the caret goes to 0
    [[nodiscard]] virtual int selectionStart() const = 0; // the caret, 0-based
    virtual void setSelectionStart(int position) = 0; // moves the caret, selecting nothing
    [[nodiscard]] virtual int selectionLength() const = 0;
    virtual void setSelectionLength(int length) = 0; // selects from the caret on
    // Replaces the selection (or inserts at the caret) and puts the caret after the new text.
    virtual void replaceSelection(const QString& text) = 0;
    virtual void setFontSize(int points) = 0; // the editor's font size (menu/fontsize)
};

}
