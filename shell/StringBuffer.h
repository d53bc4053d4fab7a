#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>

namespace vorlix::shell {

// Writing into a string the caller owns alone and keeps from use to use. The tokenizers and the
// merge copy millions of short texts into such buffers; when the room is already there, the copy
// is written in place instead of going through the library's general resize and append, which
// cost several times the copy itself. Anything else (a shared or too small buffer) takes the
// ordinary way, so the result is always the same string.
namespace StringBuffer {

    // Replaces the content of `buffer` with `text`, which must not lie inside `buffer`.
    inline void assign(QString& buffer, QStringView text)
    {
        auto& d = buffer.data_ptr();
        const qsizetype n = text.size();
        if (!d.needsDetach() && d.freeSpaceAtEnd() + d.size > n) {
            std::copy_n(text.utf16(), n, d.data());
            d.size = n;
            d.data()[n] = u'\0';
            return;
        }
        buffer.setUnicode(reinterpret_cast<const QChar*>(text.data()), n);
    }

    // Appends `text`, which must not lie inside `buffer`.
    inline void append(QString& buffer, QStringView text)
    {
        auto& d = buffer.data_ptr();
        const qsizetype n = text.size();
        if (!d.needsDetach() && d.freeSpaceAtEnd() > n) {
            std::copy_n(text.utf16(), n, d.data() + d.size);
            d.size += n;
            d.data()[d.size] = u'\0';
            return;
        }
        buffer.append(text);
    }

}

}
