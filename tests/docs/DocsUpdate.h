#pragma once

#include <QByteArray>
#include <QString>

namespace vorlix::test {

// The manual's generated parts (pictures, merged texts, quoted examples, the command index) are
// rewritten instead of compared when VORLIX_REGENERATE_GOLDEN=1, as scripts/update-docs does.
[[nodiscard]] bool regeneratingDocs();

// Reads a text file as UTF-8; a null string when it cannot be read.
[[nodiscard]] QString readText(const QString& path);
// Writes a text file as UTF-8; false on failure.
[[nodiscard]] bool writeText(const QString& path, const QString& text);

}
