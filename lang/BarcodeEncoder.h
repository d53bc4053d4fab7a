#pragma once

#include "lang/BarcodeKind.h"

#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

namespace vorlix::lang {

// A symbol as libzint lays it out, in modules: the bars, from the top left of the first one (no
// quiet zone outside them), and the human-readable text below them.
struct BarcodeSymbol {
    // One piece of the text: the digits of EAN and UPC come in groups between the guard bars.
    struct Text {
        enum class Align { Centre, Left, Right };
        QString text;
        double x = 0.0;
        Align align = Align::Centre;
    };

    std::vector<QRectF> bars;
    // The rows are whole modules (2D codes, the customer barcode) rather than bars of a height.
    bool squareModules = false;
    // Where the text's top is, below the bars.
    double textTop = 0.0;
    std::vector<Text> texts;
};

// What encoding came to: the symbol, or why the data cannot be one.
struct BarcodeResult {
    BarcodeSymbol symbol;
    // The reason in words ("チェックディジットが違います（...）"); empty on success.
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// Encodes data as a symbol of a kind with libzint; no Qt Gui, no page. libzint adds and checks
// the check digits, chooses the QR modes (kanji for Shift_JIS text) and knows every symbology's
// capacity.
class BarcodeEncoder {
public:
    // barHeight is in modules (linear kinds only). option: for linear kinds 1 shows the text
    // and 0 does not; for qr 1 to 4 choose the error correction L, M, Q, H and 0 keeps M; the
    // other kinds take 0 only.
    [[nodiscard]] static BarcodeResult encode(
        const BarcodeKind& kind, const QString& data, double barHeight, std::int32_t option);
};

}
