#include "lang/BarcodeEncoder.h"

#include "shell/CodePage.h"

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

    // What libzint's failures mean to a user.
    struct Reason {
        int code;
        const char* text;
    };
    constexpr Reason Reasons[] = {
        { ZINT_ERROR_TOO_LONG, "データの長さが合いません" },
        { ZINT_ERROR_INVALID_DATA, "データが正しくありません" },
        { ZINT_ERROR_INVALID_CHECK, "チェックディジットが違います" },
        { ZINT_ERROR_INVALID_OPTION, "指定が正しくありません" },
    };

    // libzint's own words follow the reason ("Invalid check digit '0', expecting '4'"), without
    // its message number.
    QString reasonOf(int code, const char* text)
    {
        static const QRegularExpression number(QStringLiteral("^(Error|Warning) \\d+: "));
        const QString detail = QString::fromUtf8(text).remove(number);
        QString reason = QStringLiteral("符号にできません");
        for (const Reason& known : Reasons) {
            if (known.code == code)
                reason = QString::fromUtf8(known.text);
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

    // The data as libzint takes it. QR Code takes text that Shift_JIS (CP932) can write as those
    // bytes, with kanji compression, so that Japanese goes in kanji mode as Japanese readers
    // expect; any other text goes as UTF-8, for which libzint chooses an ECI where it must.
    struct Input {
        QByteArray bytes;
        int mode = UNICODE_MODE;
        int option3 = 0;
    };

    Input inputOf(const BarcodeKind& kind, const QString& data)
    {
        if (kind.symbology == BARCODE_GS1_128) {
            // Application identifiers in round brackets, as they are printed; square ones too.
            return { data.toUtf8(), data.startsWith(u'[') ? GS1_MODE : GS1_MODE | GS1PARENS_MODE };
        }
        if (isQr(kind)) {
            bool ok = false;
            QByteArray shiftJis = shell::toCp932(data, &ok);
            if (ok)
                return { std::move(shiftJis), DATA_MODE, ZINT_FULL_MULTIBYTE };
        }
        return { data.toUtf8() };
    }

    // The request as libzint's symbol settings.
    ZintSymbol prepare(const BarcodeKind& kind, const QString& data, const Input& input,
        double barHeight, std::int32_t option)
    {
        ZintSymbol symbol(ZBarcode_Create());
        if (!symbol)
            return symbol;
        symbol->symbology = kind.symbologyFor(data);
        symbol->scale = VectorScale;
        symbol->input_mode = input.mode;
        symbol->option_3 = input.option3;
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

    bool isDark(const zint_symbol& symbol, int row, int column)
    {
        return (symbol.encoded_data[row][column >> 3] >> (column & 7)) & 1;
    }

    // The modules of a 2D code, straight from libzint's module rows: each row's runs of dark
    // modules, and a run that repeats the one above it joined to that one, so that the page holds
    // a rectangle per shape rather than per module row.
    BarcodeSymbol matrixOf(const zint_symbol& symbol)
    {
        BarcodeSymbol matrix;
        matrix.squareModules = true;
        std::vector<std::size_t> above;
        std::vector<std::size_t> current;
        double top = 0.0;
        for (int row = 0; row < symbol.rows; ++row) {
            const double height = symbol.row_height[row] > 0.0f
                ? double { symbol.row_height[row] }
                : double { symbol.height } / symbol.rows;
            current.clear();
            std::size_t next = 0;
            for (int column = 0; column < symbol.width;) {
                if (!isDark(symbol, row, column)) {
                    ++column;
                    continue;
                }
                int end = column;
                while (end < symbol.width && isDark(symbol, row, end))
                    ++end;
                while (next < above.size() && matrix.bars[above[next]].left() < column)
                    ++next;
                if (next < above.size() && matrix.bars[above[next]].left() == column
                    && matrix.bars[above[next]].width() == end - column) {
                    QRectF& joined = matrix.bars[above[next]];
                    joined.setHeight(joined.height() + height);
                    current.push_back(above[next]);
                } else {
                    matrix.bars.emplace_back(column, top, end - column, height);
                    current.push_back(matrix.bars.size() - 1);
                }
                column = end;
            }
            std::swap(above, current);
            top += height;
        }
        return matrix;
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
        symbol.squareModules = kind.shape == Shape::Postal;
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
    const Input input = inputOf(kind, data);
    ZintSymbol symbol = prepare(kind, data, input, barHeight, option);
    if (!symbol)
        return { {}, reasonOf(ZINT_ERROR_MEMORY, "") };
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.bytes.constData());
    const int length = static_cast<int>(input.bytes.size());
    // 2D codes need only libzint's modules; the others its layout of bars, guards and text.
    if (kind.shape == Shape::Matrix) {
        const int code = ZBarcode_Encode(symbol.get(), bytes, length);
        if (code >= ZINT_ERROR)
            return { {}, reasonOf(code, symbol->errtxt) };
        return { matrixOf(*symbol), {} };
    }
    const int code = ZBarcode_Encode_and_Buffer_Vector(symbol.get(), bytes, length, 0);
    // Warnings (an ECI chosen by libzint, a height off the standard) still give a symbol.
    if (code >= ZINT_ERROR || !symbol->vector)
        return { {}, reasonOf(code, symbol->errtxt) };
    return { symbolOf(*symbol->vector, kind, barHeight), {} };
}

}
