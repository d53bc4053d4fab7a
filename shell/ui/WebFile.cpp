#include "shell/ui/WebFile.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlix::shell {

WebFile::WebFile(QWidget* parent)
    : QDialog(parent)
    , m_label(new QLabel(QStringLiteral("接続中"), this))
    , m_cancel(new QPushButton(QStringLiteral("キャンセル(&C)"), this))
{
    setModal(true);
    setWindowTitle(QApplication::applicationDisplayName());
    auto* layout = new QVBoxLayout(this);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMinimumWidth(240);
    layout->addWidget(m_label);
    layout->addWidget(m_cancel, 0, Qt::AlignCenter);

    connect(m_cancel, &QPushButton::clicked, this, &WebFile::reject);
    connect(&m_exchange, &WebExchange::requestSent, this, [this] {
        m_label->setText(QStringLiteral("ダウンロード中"));
        m_label->repaint();
    });
    connect(&m_exchange, &WebExchange::finished, this,
        [this](bool success) { QDialog::done(success ? QDialog::Accepted : QDialog::Rejected); });
}

bool WebFile::Connect(const QString& host, const QString& folder, const QString& name)
{
    m_label->setText(QStringLiteral("接続中"));
    m_exchange.start(host, folder, name);
    exec();
    return m_exchange.state() == WebExchange::State::Finished;
}

void WebFile::reject()
{
    m_exchange.cancel();
}

void installWebFile()
{
    setWebFetcherFactory([]() -> std::unique_ptr<WebFetcher> {
        // A dialog needs a widget application; without one the exchange runs on its own.
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return std::make_unique<WebExchange>();
        return std::make_unique<WebFile>();
    });
}

}
