#include "shell/Deflate.h"

#include <array>
#include <libdeflate.h>
#include <memory>
#include <new>

namespace vorlix::shell {

namespace {

    struct CompressorFree {
        void operator()(libdeflate_compressor* compressor) const
        {
            libdeflate_free_compressor(compressor);
        }
    };
    struct DecompressorFree {
        void operator()(libdeflate_decompressor* decompressor) const
        {
            libdeflate_free_decompressor(decompressor);
        }
    };

    libdeflate_compressor& threadCompressor(int level)
    {
        thread_local std::array<std::unique_ptr<libdeflate_compressor, CompressorFree>, 13>
            compressors;
        auto& compressor = compressors.at(static_cast<std::size_t>(level));
        if (!compressor)
            compressor.reset(libdeflate_alloc_compressor(level));
        if (!compressor)
            throw std::bad_alloc();
        return *compressor;
    }

    libdeflate_decompressor& threadDecompressor()
    {
        thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
            libdeflate_alloc_decompressor());
        if (!decompressor)
            throw std::bad_alloc();
        return *decompressor;
    }

}

QByteArray Deflate::compress(QByteArrayView data)
{
    libdeflate_compressor& compressor = threadCompressor(StreamLevel);
    const auto size = static_cast<std::size_t>(data.size());
    QByteArray out(static_cast<qsizetype>(libdeflate_zlib_compress_bound(&compressor, size)),
        Qt::Uninitialized);
    const std::size_t written
        = libdeflate_zlib_compress(&compressor, data.data(), size, out.data(), out.size());
    out.truncate(static_cast<qsizetype>(written));
    return out;
}

QByteArray Deflate::compressRaw(const void* data, std::size_t size, int level)
{
    libdeflate_compressor& compressor = threadCompressor(level);
    QByteArray out(static_cast<qsizetype>(libdeflate_deflate_compress_bound(&compressor, size)),
        Qt::Uninitialized);
    const std::size_t written = libdeflate_deflate_compress(
        &compressor, data, size, out.data(), static_cast<std::size_t>(out.size()));
    if (written == 0)
        throw std::bad_alloc();
    out.truncate(static_cast<qsizetype>(written));
    out.squeeze();
    return out;
}

bool Deflate::decompressRaw(const QByteArray& packed, void* out, std::size_t size)
{
    return libdeflate_deflate_decompress(&threadDecompressor(), packed.constData(),
               static_cast<std::size_t>(packed.size()), out, size, nullptr)
        == LIBDEFLATE_SUCCESS;
}

}
