#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vorlix::render {

// Whether bytes start like a PNG file.
[[nodiscard]] bool looksLikePng(const QByteArray& bytes);

// What libpng finds wrong when it reads the whole PNG file (every row and the chunks after them),
// as the picture loader will: a corrupt, cut or empty file gives libpng's message ("Read Error",
// "IDAT: CRC error"), a sound one nothing. The loader's libpng prints such messages on standard
// error by itself; this reading keeps them, so that a file it refuses never reaches the loader.
[[nodiscard]] std::optional<QString> pngDamage(const QByteArray& bytes);

}
