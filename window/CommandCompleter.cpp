#include "window/CommandCompleter.h"

#include "lang/CommandList.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextBlock>

namespace vorlix::window {

namespace {

    constexpr int WordRole = Qt::UserRole + 1;

    // A statement's first word follows the start of the text, a ";" or blanks and line ends
    // that come after one of those.
    bool startsStatement(const QString& text, qsizetype position)
    {
        for (qsizetype i = position - 1; i >= 0; --i) {
            const QChar c = text.at(i);
            if (c == u';')
                return true;
            if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r'
                && c != QChar::ParagraphSeparator)
                return false;
        }
        return true;
    }

}

CommandCompleter::CommandCompleter(QPlainTextEdit& editor)
    : QObject(&editor)
    , m_editor(editor)
    , m_model(new QStandardItemModel(this))
    , m_completer(new QCompleter(this))
{
    for (const lang::CommandInfo& info : lang::CommandInfos) {
        const QString word = QString::fromLatin1(info.word);
        auto* item = new QStandardItem(description(word));
        item->setData(word, WordRole);
        item->setEditable(false);
        m_model->appendRow(item);
    }
    m_completer->setModel(m_model);
    m_completer->setCompletionRole(WordRole);
    m_completer->setCaseSensitivity(Qt::CaseSensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setWidget(&editor);
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
        [this](const QModelIndex& index) { insert(index.data(WordRole).toString()); });
}

QStringList CommandCompleter::words(const QString& prefix)
{
    QStringList found;
    for (const lang::CommandInfo& info : lang::CommandInfos) {
        const QString word = QString::fromLatin1(info.word);
        if (word.startsWith(prefix))
            found << word;
    }
    return found;
}

QString CommandCompleter::description(const QString& word)
{
    const lang::CommandInfo* info = lang::findCommandInfo(word.toStdString());
    if (!info)
        return word;
    return QStringLiteral("%1,%2  %3")
        .arg(word, QString::fromUtf8(info->arguments), QString::fromUtf8(info->summaryJa));
}

QString CommandCompleter::prefixAtCaret() const
{
    const QTextCursor caret = m_editor.textCursor();
    const QString line = caret.block().text();
    qsizetype start = caret.positionInBlock();
    while (start > 0 && line.at(start - 1).isLetter() && line.at(start - 1).unicode() < 0x80)
        --start;
    return line.mid(start, caret.positionInBlock() - start);
}

bool CommandCompleter::atStatementStart() const
{
    const QTextCursor caret = m_editor.textCursor();
    const qsizetype wordStart = caret.position() - prefixAtCaret().size();
    const QString before = m_editor.document()->toPlainText().left(wordStart).right(4096);
    return startsStatement(before, before.size());
}

bool CommandCompleter::complete()
{
    if (!atStatementStart())
        return false;
    const QString prefix = prefixAtCaret();
    const QStringList found = words(prefix);
    if (found.isEmpty())
        return false;
    if (found.size() == 1) {
        insert(found.first());
        return true;
    }
    m_completer->setCompletionPrefix(prefix);
    QRect at = m_editor.cursorRect();
    QAbstractItemView* list = m_completer->popup();
    at.setWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width());
    m_completer->complete(at);
    return true;
}

void CommandCompleter::insert(const QString& word)
{
    QTextCursor caret = m_editor.textCursor();
    caret.movePosition(
        QTextCursor::Left, QTextCursor::KeepAnchor, static_cast<int>(prefixAtCaret().size()));
    caret.insertText(word + u',');
    m_editor.setTextCursor(caret);
}

}
