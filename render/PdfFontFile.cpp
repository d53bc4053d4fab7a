#include "render/PdfFontFile.h"

#include <QFile>
#include <QtEndian>
#include <fontconfig/fontconfig.h>
#include <memory>

namespace vorlix::render {

namespace {

    std::uint32_t readU32(QFile& file, qint64 at)
    {
        char bytes[4];
        if (!file.seek(at) || file.read(bytes, 4) != 4)
            return 0;
        return qFromBigEndian<std::uint32_t>(bytes);
    }

    std::uint16_t readU16(QFile& file, qint64 at)
    {
        char bytes[2];
        if (!file.seek(at) || file.read(bytes, 2) != 2)
            return 0;
        return qFromBigEndian<std::uint16_t>(bytes);
    }

    struct FontconfigFree {
        void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
        void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
        void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
    };

}

QByteArray PdfFontFile::headOf(const QString& path, int index)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    qint64 offset = 0;
    if (readU32(file, 0) == 0x74746366) { // a collection: "ttcf", then the faces' offsets
        if (index < 0 || static_cast<std::uint32_t>(index) >= readU32(file, 8))
            return {};
        offset = readU32(file, 12 + 4 * qint64(index));
    } else if (index != 0) {
        return {};
    }
    const int tables = readU16(file, offset + 4);
    for (int i = 0; i < tables; ++i) {
        const qint64 record = offset + 12 + 16 * qint64(i);
        if (readU32(file, record) != 0x68656164) // "head"
            continue;
        const std::uint32_t at = readU32(file, record + 8);
        const std::uint32_t length = readU32(file, record + 12);
        if (length > 4096 || !file.seek(at))
            return {};
        return file.read(length);
    }
    return {};
}

std::optional<PdfFontFile::Location> PdfFontFile::locate(
    const QString& family, const QByteArray& head)
{
    if (head.isEmpty())
        return std::nullopt;
    const std::unique_ptr<FcPattern, FontconfigFree> pattern(FcPatternCreate());
    const QByteArray name = family.toUtf8();
    FcPatternAddString(
        pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    const std::unique_ptr<FcObjectSet, FontconfigFree> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, static_cast<char*>(nullptr)));
    const std::unique_ptr<FcFontSet, FontconfigFree> fonts(
        FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts)
        return std::nullopt;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        const QString path = QString::fromUtf8(reinterpret_cast<const char*>(file));
        if (headOf(path, index) == head)
            return Location { path, index };
    }
    return std::nullopt;
}

}
