#pragma once

#include <QTimer>
#include <functional>

class QWidget;

namespace vorlix::test {

// Someone who answers the next modal dialog: once a modal window is shown, `answer` is called with
// it (set its controls, then accept or reject it). Hold one while the code under test runs the
// dialog; it stops watching when it answered or when it ends.
class ModalAnswer {
public:
    // With a class name, only a modal window of that class (or a class derived from it) counts.
    explicit ModalAnswer(
        std::function<void(QWidget& dialog)> answer, const char* className = nullptr);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    // Whether a dialog came and was answered.
    [[nodiscard]] bool answered() const { return m_answered; }

private:
    void look();

    std::function<void(QWidget&)> m_answer;
    const char* m_className;
    QTimer m_timer;
    bool m_answered = false;
};

}
