#pragma once

#include <QWidget>

namespace vorlix::window {

class SourceEdit;

// The margin left of the editor's text that shows the line numbers.
class LineNumberArea final : public QWidget {
    Q_OBJECT

public:
    explicit LineNumberArea(SourceEdit* editor);

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SourceEdit* m_editor;
};

}
