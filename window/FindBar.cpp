#include "window/FindBar.h"

#include "window/SourceEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vorlix::window {

FindBar::FindBar(SourceEdit& editor, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_field(new QLineEdit(this))
    , m_note(new QLabel(this))
{
    setObjectName(QStringLiteral("FindBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    auto* caption = new QLabel(QStringLiteral("検索："), this);
    auto* previous = new QToolButton(this);
    previous->setText(QStringLiteral("▲"));
    auto* next = new QToolButton(this);
    next->setText(QStringLiteral("▼"));
    auto* closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("×"));
    layout->addWidget(caption);
    layout->addWidget(m_field, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_note);
    layout->addWidget(closeButton);
    m_field->installEventFilter(this);
    connect(previous, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    connect(m_field, &QLineEdit::textEdited, m_note, &QLabel::clear);
    hide();
}

void FindBar::open()
{
    const QString selected = m_editor.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_field->setText(selected);
    m_note->clear();
    show();
    m_field->selectAll();
    m_field->setFocus();
    emit visibilityChanged(true);
}

void FindBar::close()
{
    hide();
    m_editor.setFocus();
    emit visibilityChanged(false);
}

bool FindBar::findNext(bool backwards)
{
    const bool found = m_editor.find(m_field->text(), backwards);
    m_note->setText(found ? QString() : QStringLiteral("見つかりません"));
    return found;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}
