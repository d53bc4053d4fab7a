#pragma once

#include <QString>
#include <exception>

namespace vorlix::shell {

// A run-time error of a statement or a store operation: the number and text that the interpreter
// prints on the page ("DControl/GoDoc/OnErr>6:...") and that callers turn into report fields.
// It is thrown where the program raises and caught exactly where the program catches.
class RunError : public std::exception {
public:
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        DivisionByZero = 11,
        TypeMismatch = 13,
        FileNotFound = 53,
    };

    RunError(int number, QString description, QString source = {});

    [[nodiscard]] int number() const { return m_number; }
    [[nodiscard]] const QString& description() const { return m_description; }
    [[nodiscard]] const QString& source() const { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The standard errors with the runtime's own texts.
    static RunError invalidArgument();
    static RunError overflow();
    static RunError subscriptOutOfRange();
    static RunError divisionByZero();
    static RunError typeMismatch();
    static RunError fileNotFound();

    // The runtime's text for a standard error number; empty for other numbers.
    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

}
