#pragma once

#include <QString>
#include <cstdint>
#include <exception>

namespace vorlix::shell {

// A run-time error of a statement or a store operation: the number and text that the interpreter
// prints on the page ("DControl/GoDoc/OnErr>6:...") and that callers turn into report fields.
// It is thrown where the program raises and caught exactly where the program catches.
class RunError : public std::exception {
public:
    enum Number : int {
        InvalidArgument = 5, // an argument out of its range
        Overflow = 6, // a number that does not fit its type
        SubscriptOutOfRange = 9, // an index beyond a table
        DivisionByZero = 11,
        TypeMismatch = 13, // a text where a number belongs
        FileNotFound = 53,
    };

    RunError(int number, QString description, QString source = {});

    [[nodiscard]] int number() const { return m_number; }
    [[nodiscard]] const QString& description() const { return m_description; }
    [[nodiscard]] const QString& source() const { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

    // A standard error with the text statements have always reported for it.
    static RunError standard(Number number) { return { number, standardDescription(number) }; }
    static RunError invalidArgument() { return standard(InvalidArgument); }
    static RunError overflow() { return standard(Overflow); }
    static RunError subscriptOutOfRange() { return standard(SubscriptOutOfRange); }
    static RunError divisionByZero() { return standard(DivisionByZero); }
    static RunError typeMismatch() { return standard(TypeMismatch); }
    static RunError fileNotFound() { return standard(FileNotFound); }

    // A limit of this program's own was passed: the overflow error, with a text that names the
    // limit and its size ("方眼の線が上限の 1000000 本を超えました。").
    static RunError limitExceeded(const QString& what, std::int64_t size, const QString& unit);

    // The text of a standard error number ("オーバーフローしました。" for 6); empty for others.
    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

}
