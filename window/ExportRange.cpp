#include "window/ExportRange.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace vorlix::window {

ExportRange::ExportRange(
    std::int32_t pageCount, std::int32_t from, std::int32_t to, QWidget* parent)
    : QDialog(parent)
    , m_pageCount(std::max<std::int32_t>(1, pageCount))
{
    setWindowTitle(QStringLiteral("出力するページ"));
    buildControls(m_pageCount);
    const int first = std::clamp<std::int32_t>(from, 1, m_pageCount);
    const int last = std::clamp<std::int32_t>(to, first, m_pageCount);
    m_from->setValue(first);
    m_to->setValue(last);
    const bool range = first > 1 || last < m_pageCount;
    (range ? m_range : m_all)->setChecked(true);
}

void ExportRange::buildControls(std::int32_t pageCount)
{
    auto* group = new QGroupBox(QStringLiteral("ページ範囲"), this);
    m_all = new QRadioButton(QStringLiteral("すべて(&A)"), group);
    m_all->setObjectName(QStringLiteral("printAll"));
    m_range = new QRadioButton(QStringLiteral("ページ指定(&G)"), group);
    m_range->setObjectName(QStringLiteral("printRange"));
    m_from = new QSpinBox(group);
    m_from->setObjectName(QStringLiteral("from"));
    m_to = new QSpinBox(group);
    m_to->setObjectName(QStringLiteral("to"));
    for (QSpinBox* box : { m_from, m_to }) {
        box->setRange(1, static_cast<int>(pageCount));
        box->setEnabled(false);
        connect(m_range, &QRadioButton::toggled, box, &QWidget::setEnabled);
    }
    // The range never turns round: moving one end past the other takes that one along.
    connect(m_from, &QSpinBox::valueChanged, m_to, [this](int value) {
        if (m_to->value() < value)
            m_to->setValue(value);
    });
    connect(m_to, &QSpinBox::valueChanged, m_from, [this](int value) {
        if (m_from->value() > value)
            m_from->setValue(value);
    });

    auto* grid = new QGridLayout(group);
    grid->addWidget(m_all, 0, 0, 1, 5);
    grid->addWidget(m_range, 1, 0);
    grid->addWidget(m_from, 1, 1);
    auto* until = new QLabel(QStringLiteral("から"), group);
    grid->addWidget(until, 1, 2);
    grid->addWidget(m_to, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("まで (全 %1 ページ)").arg(pageCount), group), 1, 4);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("出力"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

std::int32_t ExportRange::FromPage() const
{
    return m_range->isChecked() ? m_from->value() : 1;
}

std::int32_t ExportRange::ToPage() const
{
    return m_range->isChecked() ? m_to->value() : m_pageCount;
}

}
