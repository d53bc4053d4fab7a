#pragma once

#include "shell/WebExchange.h"
#include "shell/WebFetcher.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QPushButton;

namespace vorlix::shell {

// The small modal progress window of an HTTP fetch: "接続中" while connecting, "ダウンロード中"
// while receiving, and a cancel button that gives up at once. The exchange itself (socket,
// inactivity timer, request and response) is its WebExchange; the window only shows it.
class WebFile final : public QDialog, public WebFetcher {
    Q_OBJECT

public:
    explicit WebFile(QWidget* parent = nullptr);

    void setOpt1(bool on) override { m_exchange.setOpt1(on); }
    void setPort(int port) override { m_exchange.setPort(port); }
    [[nodiscard]] int port() const override { return m_exchange.port(); }
    // Shows the window modally until the exchange has ended; true when the file arrived whole.
    [[nodiscard]] bool Connect(
        const QString& host, const QString& folder, const QString& name) override;
    [[nodiscard]] std::int64_t FileSize() const override { return m_exchange.FileSize(); }
    [[nodiscard]] QString Read() const override { return m_exchange.Read(); }
    [[nodiscard]] QByteArray ReadB() const override { return m_exchange.ReadB(); }
    [[nodiscard]] int statusCode() const override { return m_exchange.statusCode(); }
    [[nodiscard]] QString failure() const override { return m_exchange.failure(); }

    // The exchange the window shows (its timeout and limits can be changed before Connect).
    [[nodiscard]] WebExchange& exchange() { return m_exchange; }

protected:
    void reject() override;

private:
    WebExchange m_exchange;
    QLabel* m_label = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Lets the file access open http:/ names through WebFile; called once by a program with windows.
void installWebFile();

}
