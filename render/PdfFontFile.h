#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vorlix::render {

// Finds the file a font was read from, so that the PDF writer reads its outlines from disk when
// it embeds the font instead of holding them in memory for the whole export: fontconfig lists
// the files of the family, and the one whose head table is the font's is the file.
class PdfFontFile {
public:
    struct Location {
        QString path;
        int index = 0; // the face in a collection
    };

    [[nodiscard]] static std::optional<Location> locate(
        const QString& family, const QByteArray& head);
    // The head table of one face of a font file; empty when it cannot be read.
    [[nodiscard]] static QByteArray headOf(const QString& path, int index);
};

}
