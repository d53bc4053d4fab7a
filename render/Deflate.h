#pragma once

#include <QByteArray>

namespace vorlix::render {

// Compresses streams for the PDF writer with zlib framing (FlateDecode). Each thread keeps its
// own compressor, so the page workers compress in parallel; the same input always gives the same
// bytes.
class Deflate {
public:
    [[nodiscard]] static QByteArray compress(const QByteArray& data);
    [[nodiscard]] static QByteArray compress(const char* data, qsizetype size);
};

}
