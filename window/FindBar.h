#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace vorlix::window {

class SourceEdit;

// The find row above the editor (Ctrl+F): Enter finds the next occurrence, Shift+Enter the
// previous one, Escape closes the row and gives the focus back to the text.
class FindBar final : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(SourceEdit& editor, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit& field() { return *m_field; }
    // Shows the row with the editor's selection as the text to find.
    void open();
    void close();
    // Finds the text; false (and a note in the row) when it does not occur.
    bool findNext(bool backwards = false);

signals:
    void visibilityChanged(bool visible);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SourceEdit& m_editor;
    QLineEdit* m_field;
    QLabel* m_note;
};

}
