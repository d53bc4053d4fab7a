#include "render/PngCheck.h"

#include "shell/Log.h"

#include <cstring>
#include <png.h>
#include <vector>

namespace vorlix::render {

namespace {

    struct PngInput {
        const QByteArray& bytes;
        qsizetype at = 0;
        QString message;
        std::vector<png_byte> row;
    };

    PngInput& inputOf(void* pointer)
    {
        return *static_cast<PngInput*>(pointer);
    }

    [[noreturn]] void onError(png_structp png, png_const_charp message)
    {
        inputOf(png_get_error_ptr(png)).message = QString::fromLatin1(message);
        png_longjmp(png, 1);
    }

    void onWarning(png_structp, png_const_charp message)
    {
        shell::WriteLog(
            QStringLiteral("Bitmap/load>libpng warning: ") + QString::fromLatin1(message));
    }

    // The same message as the loader's own reading gives for a file that ends too soon.
    void onRead(png_structp png, png_bytep out, size_t size)
    {
        PngInput& input = inputOf(png_get_io_ptr(png));
        if (static_cast<size_t>(input.bytes.size() - input.at) < size)
            png_error(png, "Read Error");
        std::memcpy(out, input.bytes.constData() + input.at, size);
        input.at += static_cast<qsizetype>(size);
    }

    // Everything libpng may leave by a long jump happens here, in a frame that holds nothing a
    // jump could leave half made.
    bool readWhole(png_structp png, png_infop info, PngInput& input)
    {
        if (setjmp(png_jmpbuf(png)))
            return false;
        // The loader lets benign errors pass as warnings; so does the check.
        png_set_benign_errors(png, 1);
        png_read_info(png, info);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        input.row.resize(png_get_rowbytes(png, info));
        const png_uint_32 height = png_get_image_height(png, info);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(png, input.row.data(), nullptr);
        png_read_end(png, nullptr);
        return true;
    }

}

bool looksLikePng(const QByteArray& bytes)
{
    return bytes.size() >= 8
        && png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8) == 0;
}

std::optional<QString> pngDamage(const QByteArray& bytes)
{
    PngInput input { bytes, 0, {}, {} };
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, onError, onWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    bool whole = false;
    if (info) {
        png_set_read_fn(png, &input, onRead);
        whole = readWhole(png, info, input);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (whole)
        return std::nullopt;
    return input.message.isEmpty() ? QStringLiteral("Read Error") : input.message;
}

}
