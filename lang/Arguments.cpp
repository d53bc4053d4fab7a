#include "lang/DControl.h"

#include "shell/Checked.h"
#include "shell/Convert.h"
#include "shell/RunError.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

// How commands read and convert their arguments. A command never checks token types unless it
// says so: whatever token comes next is converted, so a missing argument takes the ";" (or the
// next statement's word) and the conversion fails with a type mismatch.
namespace vorlix::lang {

using shell::RunError;

namespace {

    // A text that has the shape of a number but no finite value (1E999) overflows rather than
    // mismatching, as the runtime's conversion does.
    [[noreturn]] void throwNotANumber(const QString& text)
    {
        static const QRegularExpression numberShape(QStringLiteral(
            "^[ \\t\\x{3000}]*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?[ \\t\\x{3000}]*$"));
        if (numberShape.match(text).hasMatch())
            throw RunError::overflow();
        throw RunError::typeMismatch();
    }

}

TokenType DControl::nextToken(QString& token)
{
    return m_cutter.getToken(token);
}

QString DControl::argT()
{
    QString token;
    (void)m_cutter.getToken(token);
    return token;
}

std::int32_t DControl::argI()
{
    return toI(argT());
}

double DControl::argD()
{
    return toD(argT());
}

float DControl::argS()
{
    return toS(argT());
}

void DControl::skipToken()
{
    QString token;
    (void)m_cutter.getToken(token);
}

std::int32_t DControl::toI(const QString& text)
{
    if (const auto plain = shell::parsePlainInteger(text))
        return *plain;
    return shell::toInt32(toD(text));
}

double DControl::toD(const QString& text)
{
    const auto value = shell::parseNumber(text);
    if (!value)
        throwNotANumber(text);
    return *value;
}

float DControl::toS(const QString& text)
{
    const double value = toD(text);
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        throw RunError::overflow();
    return static_cast<float>(value);
}

std::int32_t DControl::addChecked(std::int32_t a, std::int32_t b)
{
    return shell::checked::add(a, b);
}

}
