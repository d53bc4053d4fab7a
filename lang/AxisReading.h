#pragma once

#include "lang/TokenCutter.h"

#include <QString>

// How the chart commands with open-ended argument lists read their values. `next` hands out the
// statement's next token (type and text); `toDouble` converts a number token the way every
// statement argument is converted.
namespace vorlix::lang::axisreading {

using ToDouble = double (*)(const QString&);

// The next loop value; false, with the token consumed, when it is not a number.
template <typename Next> [[nodiscard]] bool nextNumber(Next& next, ToDouble toDouble, double& value)
{
    QString token;
    if (next(token) != TokenType::TkNumber)
        return false;
    value = toDouble(token);
    return true;
}

// The pair loop of "ap", "am" and "at", up to the end of the statement. A pair whose first token
// is a number but whose second is not is skipped and reading goes on, into the next statement
// when the pair was cut off by the ";"; a pair starting with anything else skips one more token
// and stops when that one ends the statement.
template <typename Next, typename OnPoint>
void readAxisPairs(Next& next, ToDouble toDouble, OnPoint&& onPoint)
{
    QString token;
    TokenType type = next(token);
    while (!endsStatement(type)) {
        if (type == TokenType::TkNumber) {
            const double x = toDouble(token);
            if (next(token) == TokenType::TkNumber)
                onPoint(x, toDouble(token));
        } else if (endsStatement(next(token))) {
            break;
        }
        type = next(token);
    }
}

}
