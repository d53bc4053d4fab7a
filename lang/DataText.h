#pragma once

#include "shell/Trim.h"

#include <QString>
#include <QStringView>
#include <algorithm>

// How the formats read a value of a data document: blanks around it do not count, and the
// full-width digits and signs that Japanese data often holds (１２３，４５６．７８,
// ２０２６／１２／９) are read as their ASCII forms.
namespace vorlix::lang::DataText {

[[nodiscard]] inline bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

[[nodiscard]] inline QChar halfWidth(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'０' && u <= u'９')
        return QChar(u'0' + (u - u'０'));
    switch (u) {
    case u'＋':
        return QChar(u'+');
    case u'－':
    case u'\u2212': // the minus sign
        return QChar(u'-');
    case u'，':
        return QChar(u',');
    case u'．':
        return QChar(u'.');
    case u'／':
        return QChar(u'/');
    case u'：':
        return QChar(u':');
    default:
        return c;
    }
}

// The value without the blanks around it; `buffer` holds its ASCII forms when it had full-width
// ones, and the view returned points into it or into the value.
[[nodiscard]] inline QStringView normalised(QStringView value, QString& buffer)
{
    QStringView text = shell::trimmedBy(value, isBlank);
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 127; }))
        return text;
    buffer.resize(text.size());
    std::transform(text.begin(), text.end(), buffer.begin(), halfWidth);
    return buffer;
}

}
