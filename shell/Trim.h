#pragma once

#include <QStringView>

namespace vorlix::shell {

// The text without the characters at either end that isBlank accepts. Each reader has its own
// idea of a blank (the number rules count the ideographic space, the settings file only blanks
// and tabs), but trims alike.
template <typename IsBlank> [[nodiscard]] QStringView trimmedBy(QStringView text, IsBlank isBlank)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

}
