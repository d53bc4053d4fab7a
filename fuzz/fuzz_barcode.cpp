// Encodes arbitrary data as every kind of symbol the "bc" statement draws: the first byte chooses
// the kind, the second the option, the third the bar height, the rest is the data (UTF-8).
// Encoding either gives a symbol of bars inside the symbol's own box or a reason, never both,
// and the same data always gives the same symbol.
#include "lang/BarcodeEncoder.h"
#include "lang/BarcodeKind.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using vorlix::lang::BarcodeEncoder;
using vorlix::lang::BarcodeKind;
using vorlix::lang::BarcodeResult;

namespace {

constexpr std::array Names { "ean13", "ean8", "upca", "code39", "code128", "gs1-128", "itf", "nw7",
    "qr", "datamatrix", "pdf417", "postal", "jan13", "jan8" };

void fail(const char* what, const char* kind, const QString& data)
{
    std::fprintf(stderr, "%s: kind %s data %s\n", what, kind, data.toUtf8().toHex(' ').constData());
    std::abort();
}

bool sameSymbol(const BarcodeResult& a, const BarcodeResult& b)
{
    if (a.error != b.error || a.symbol.bars != b.symbol.bars
        || a.symbol.texts.size() != b.symbol.texts.size())
        return false;
    for (std::size_t i = 0; i < a.symbol.texts.size(); ++i) {
        if (a.symbol.texts[i].text != b.symbol.texts[i].text
            || a.symbol.texts[i].x != b.symbol.texts[i].x)
            return false;
    }
    return true;
}

void checkBars(const BarcodeResult& result, const char* kind, const QString& data)
{
    if (result.symbol.bars.empty())
        fail("an encoded symbol has no bars", kind, data);
    for (const QRectF& bar : result.symbol.bars) {
        if (!std::isfinite(bar.x()) || !std::isfinite(bar.y()) || !std::isfinite(bar.width())
            || !std::isfinite(bar.height()) || bar.width() <= 0.0 || bar.height() <= 0.0
            || bar.x() < 0.0 || bar.y() < 0.0)
            fail("a bar lies outside the symbol or has no size", kind, data);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const char* name = Names[data[0] % Names.size()];
    const BarcodeKind* kind = BarcodeKind::find(QString::fromLatin1(name));
    if (kind == nullptr)
        fail("a documented kind is unknown", name, {});
    const std::int32_t option = data[1] % 6;
    const double barHeight = 1.0 + data[2] % 100;
    const QString text = QString::fromUtf8(
        reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));
    const BarcodeResult result = BarcodeEncoder::encode(*kind, text, barHeight, option);
    if (result.ok())
        checkBars(result, name, text);
    else if (!result.symbol.bars.empty())
        fail("data that cannot be encoded still gives bars", name, text);
    if (!sameSymbol(result, BarcodeEncoder::encode(*kind, text, barHeight, option)))
        fail("the same data encodes differently", name, text);
    return 0;
}
