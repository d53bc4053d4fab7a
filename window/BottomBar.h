#pragma once

#include <QString>
#include <QWidget>

namespace vorlix::window {

// The bottom bar ("BBar"): the printer's name, a separator at the splitter's position, and a
// message of the last render (an interpreter or document problem) right of the separator.
class BottomBar final : public QWidget {
    Q_OBJECT

public:
    explicit BottomBar(QWidget* parent = nullptr);

    void setPrinterName(const QString& name);
    void setSeparator(int x);
    void setMessage(const QString& message);
    [[nodiscard]] const QString& printerName() const { return m_printer; }
    [[nodiscard]] const QString& message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_printer;
    QString m_message;
    int m_separator = 0;
};

}
