#pragma once

#include "document/SourceEditor.h"

#include <QString>

namespace vorlix::window {

class SourceEdit;

// The editor widget as the document object sees it: its text with CR LF line ends, and the caret
// and selection counted in that text, so that error positions and caret operations mean the same
// characters as in the file. The widget itself keeps one character per line end.
class EditorBinding final : public document::SourceEditor {
public:
    explicit EditorBinding(SourceEdit& editor);

    [[nodiscard]] QString text() const override;
    void setText(const QString& text) override;
    [[nodiscard]] int selectionStart() const override;
    void setSelectionStart(int position) override;
    [[nodiscard]] int selectionLength() const override;
    void setSelectionLength(int length) override;
    void replaceSelection(const QString& text) override;
    void setFontSize(int points) override;

    // True while the document object puts a whole new text into the editor.
    [[nodiscard]] bool loading() const { return m_loading; }

    // Position conversions between the CR LF text and the widget.
    [[nodiscard]] int toWidget(int position) const;
    [[nodiscard]] int fromWidget(int position) const;

    // The widget's form of a text: CR LF and lone CR become one line end.
    [[nodiscard]] static QString widgetText(const QString& text);

private:
    SourceEdit& m_editor;
    bool m_loading = false;
};

}
