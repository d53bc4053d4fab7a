#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QCompleter;
class QPlainTextEdit;
class QStandardItemModel;

namespace vorlix::window {

// Completes command words in a face: at a statement's first word it lists the commands
// that start with what is typed, each with its arguments and what it does, from the same table
// the interpreter, the highlighting and the manual use; choosing one writes the word and its
// comma.
class CommandCompleter final : public QObject {
    Q_OBJECT

public:
    explicit CommandCompleter(QPlainTextEdit& editor);

    // The command words starting with the prefix, in the table's order.
    [[nodiscard]] static QStringList words(const QString& prefix);
    // The line the list shows for a command word: the word, its arguments and its summary.
    [[nodiscard]] static QString description(const QString& word);

    // The letters typed so far of a statement's first word, ending at the caret; empty when the
    // caret is not in a statement's first word.
    [[nodiscard]] QString prefixAtCaret() const;
    [[nodiscard]] bool atStatementStart() const;

    // Shows the list for the word at the caret; a single match is written at once. Returns
    // whether anything was offered.
    bool complete();
    [[nodiscard]] QCompleter& completer() { return *m_completer; }

private:
    void insert(const QString& word);

    QPlainTextEdit& m_editor;
    QStandardItemModel* m_model;
    QCompleter* m_completer;
};

}
