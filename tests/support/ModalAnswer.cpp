#include "tests/support/ModalAnswer.h"

#include <QApplication>
#include <QWidget>

namespace vorlix::test {

ModalAnswer::ModalAnswer(std::function<void(QWidget& dialog)> answer, const char* className)
    : m_answer(std::move(answer))
    , m_className(className)
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
    m_timer.start();
}

ModalAnswer::~ModalAnswer()
{
    m_timer.stop();
}

void ModalAnswer::look()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible() || (m_className && !dialog->inherits(m_className)))
        return;
    m_timer.stop();
    m_answered = true;
    m_answer(*dialog);
}

}
