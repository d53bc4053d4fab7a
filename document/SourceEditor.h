#pragma once

#include <QString>

namespace vorlix::document {

// The source editor as the document object sees it: a text with CR LF line ends (so that caret
// positions count characters as the error positions do), a selection and a font size. The main
// window implements it over its editor widget; tests use a plain string.
class SourceEditor {
public:
    virtual ~SourceEditor() = default;

    [[nodiscard]] virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    // Caret (selection start, 0-based) and selection length.
    [[nodiscard]] virtual int selectionStart() const = 0;
    virtual void setSelectionStart(int position) = 0;
    [[nodiscard]] virtual int selectionLength() const = 0;
    virtual void setSelectionLength(int length) = 0;
    // Replaces the selection (or inserts at the caret) and puts the caret after the new text.
    virtual void replaceSelection(const QString& text) = 0;
    virtual void setFontSize(int points) = 0;
};

}
