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

    bool isBlank(QChar c)
    {
        return c.unicode() <= 32 || c == QChar::ParagraphSeparator || c.unicode() == 0x3000;
    }

    // Whether a statement's first word may begin at the end of the text: at its start, after a
    // ";", or after blanks, line ends and comments that come after one of those. Strings and
    // comments are cut as the token cutter cuts them: a string runs to its closing quote, a
    // comment from "#" to its line end.
    bool startsStatement(QStringView text)
    {
        bool start = true;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'"') {
                const qsizetype close = text.indexOf(u'"', i + 1);
                if (close < 0)
                    return false;
                i = close;
                start = false;
            } else if (c == u'#') {
                qsizetype end = i;
                while (end < text.size() && text[end] != u'\n' && text[end] != u'\r'
                    && text[end] != QChar::ParagraphSeparator)
                    ++end;
                if (end == text.size())
                    return false;
                i = end;
            } else if (c == u';') {
                start = true;
            } else if (!isBlank(c)) {
                start = false;
            }
        }
        return start;
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
    // From the start of the text: a string or comment opened earlier decides what follows.
    const QString text = m_editor.document()->toPlainText();
    return startsStatement(QStringView(text).left(wordStart));
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
