#pragma once

#include <QWidget>

namespace vorlix::window {

// The splitter between editor and preview ("Bord"). It reports the pointer's position in its
// parent while it is dragged and where it was released; the window arranges the panes.
class Splitter final : public QWidget {
    Q_OBJECT

public:
    explicit Splitter(QWidget* parent = nullptr);

    [[nodiscard]] bool dragging() const { return m_dragging; }

signals:
    void dragStarted();
    void dragged(int x);
    void released(int x);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] int parentX(const QMouseEvent* event) const;

    bool m_dragging = false;
};

}
