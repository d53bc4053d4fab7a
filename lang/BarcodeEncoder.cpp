#include "lang/BarcodeEncoder.h"

#include <zint.h>

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <memory>

namespace vorlix::lang {

namespace {

    using Shape = BarcodeKind::Shape;

    struct SymbolDeleter {
        void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
    };
    using ZintSymbol = std::unique_ptr<zint_symbol, SymbolDeleter>;

    // At this scale libzint's vector output counts one unit per module.
    constexpr float VectorScale = 0.5f;
    // How far the guard bars of EAN and UPC reach into the digits below the other bars.
    constexpr float GuardDescent = 5.0f;
    // The customer barcode's long bar is six modules high, its timing bar two.
    constexpr float PostalHeight = 6.0f;
    // The text of other linear symbols keeps a module's space below the bars.
    constexpr double TextGap = 1.0;
    constexpr int QrLevelM = 2;
    constexpr int QrLevelH = 4;

    // libzint's own words follow the reason ("Invalid check digit '0', expecting '4'"), without
    // its message number.
    QString reasonOf(int code, const char* text)
    {
        static const QRegularExpression number(QStringLiteral("^(Error|Warning) \\d+: "));
        const QString detail = QString::fromUtf8(text).remove(number);
        QString reason;
        switch (code) {
        case ZINT_ERROR_TOO_LONG:
            reason = QStringLiteral("データの長さが合いません");
            break;
        case ZINT_ERROR_INVALID_DATA:
            reason = QStringLiteral("データが正しくありません");
            break;
        case ZINT_ERROR_INVALID_CHECK:
            reason = QStringLiteral("チェックディジットが違います");
            break;
        case ZINT_ERROR_INVALID_OPTION:
            reason = QStringLiteral("指定が正しくありません");
            break;
        default:
            reason = QStringLiteral("符号にできません");
            break;
        }
        return detail.isEmpty() ? reason : reason + QStringLiteral("（") + detail + u'）';
    }

    bool isQr(const BarcodeKind& kind)
    {
        return kind.symbology == BARCODE_QRCODE;
    }

    bool hasText(const BarcodeKind& kind)
    {
        return kind.shape == Shape::Retail || kind.shape == Shape::Linear;
    }

    // Why the option does not fit the kind; empty when it does.
    QString optionError(const BarcodeKind& kind, std::int32_t option)
    {
        if (hasText(kind) && option != 0 && option != 1)
            return QStringLiteral("オプション %1 は使えません（0 は文字なし、1 は文字あり）")
                .arg(option);
        if (isQr(kind) && (option < 0 || option > QrLevelH))
            return QStringLiteral("誤り訂正レベル %1 はありません（1 から 4 で L、M、Q、H）")
                .arg(option);
        if (!hasText(kind) && !isQr(kind) && option != 0)
            return QStringLiteral("この種類にオプションはありません");
        return {};
    }

    // The request as libzint's symbol settings.
    ZintSymbol prepare(
        const BarcodeKind& kind, const QString& data, double barHeight, std::int32_t option)
    {
        ZintSymbol symbol(ZBarcode_Create());
        if (!symbol)
            return symbol;
        symbol->symbology = kind.symbologyFor(data);
        symbol->scale = VectorScale;
        symbol->input_mode = UNICODE_MODE;
        if (kind.symbology == BARCODE_GS1_128) {
            // Application identifiers in round brackets, as they are printed; square ones too.
            symbol->input_mode = data.startsWith(u'[') ? GS1_MODE : GS1_MODE | GS1PARENS_MODE;
        }
        symbol->show_hrt = hasText(kind) && option == 1 ? 1 : 0;
        // The bearer frame of ITF-14 surrounds its quiet zones; every other symbol starts at its
        // first bar.
        if (symbol->symbology != BARCODE_ITF14)
            symbol->output_options |= BARCODE_NO_QUIET_ZONES;
        switch (kind.shape) {
        case Shape::Retail:
            symbol->guard_descent = symbol->show_hrt ? GuardDescent : 0.0f;
            symbol->height = static_cast<float>(barHeight);
            break;
        case Shape::Linear:
            symbol->height = static_cast<float>(barHeight);
            break;
        case Shape::Postal:
            // Rows of two modules each, as Japan Post draws them; libzint's own proportion is
            // 3:2:3.
            symbol->output_options |= COMPLIANT_HEIGHT;
            symbol->height = PostalHeight;
            break;
        case Shape::Matrix:
            break;
        }
        if (isQr(kind))
            symbol->option_1 = option == 0 ? QrLevelM : option;
        return symbol;
    }

    BarcodeSymbol::Text::Align alignOf(int halign)
    {
        switch (halign) {
        case 1:
            return BarcodeSymbol::Text::Align::Left;
        case 2:
            return BarcodeSymbol::Text::Align::Right;
        default:
            return BarcodeSymbol::Text::Align::Centre;
        }
    }

    // libzint's vector output moved so that the bars start at (0, 0).
    BarcodeSymbol symbolOf(const zint_vector& vector, const BarcodeKind& kind, double barHeight)
    {
        BarcodeSymbol symbol;
        symbol.squareModules = kind.shape == Shape::Matrix || kind.shape == Shape::Postal;
        double left = std::numeric_limits<double>::max();
        double top = std::numeric_limits<double>::max();
        double bottom = 0.0;
        for (const zint_vector_rect* r = vector.rectangles; r; r = r->next) {
            left = std::min(left, double { r->x });
            top = std::min(top, double { r->y });
            bottom = std::max(bottom, double { r->y } + r->height);
        }
        for (const zint_vector_rect* r = vector.rectangles; r; r = r->next)
            symbol.bars.emplace_back(r->x - left, r->y - top, r->width, r->height);
        // The digits of EAN and UPC stand between the guard bars, right below the others.
        symbol.textTop = kind.shape == Shape::Retail ? barHeight : bottom - top + TextGap;
        for (const zint_vector_string* s = vector.strings; s; s = s->next) {
            symbol.texts.push_back(
                { QString::fromUtf8(reinterpret_cast<const char*>(s->text), s->length), s->x - left,
                    alignOf(s->halign) });
        }
        return symbol;
    }

}

BarcodeResult BarcodeEncoder::encode(
    const BarcodeKind& kind, const QString& data, double barHeight, std::int32_t option)
{
    if (data.isEmpty())
        return { {}, QStringLiteral("データがありません") };
    if (QString reason = kind.check(data); !reason.isEmpty())
        return { {}, reason };
    if (QString reason = optionError(kind, option); !reason.isEmpty())
        return { {}, reason };
    if (hasText(kind) && !(barHeight > 0.0))
        return { {}, QStringLiteral("バーの高さがありません") };
    ZintSymbol symbol = prepare(kind, data, barHeight, option);
    if (!symbol)
        return { {}, reasonOf(ZINT_ERROR_MEMORY, "") };
    const QByteArray bytes = data.toUtf8();
    const int code = ZBarcode_Encode_and_Buffer_Vector(symbol.get(),
        reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<int>(bytes.size()),
        0);
    // Warnings (a Shift_JIS text without ECI, an ECI chosen by libzint) still give a symbol.
    if (code >= ZINT_ERROR || !symbol->vector)
        return { {}, reasonOf(code, symbol->errtxt) };
    return { symbolOf(*symbol->vector, kind, barHeight), {} };
}

}
