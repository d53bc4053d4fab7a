#include "lang/BarcodeEncoder.h"
#include "lang/BarcodeKind.h"
#include "lang/DControl.h"

#include "render/EMF.h"
#include "shell/RunError.h"

#include <memory>

// "bc": a barcode or 2D code. libzint encodes the data; the bars go to the surface as one
// pattern on a grid of modules, and the human-readable text below them in the current font.
namespace vorlix::lang {

namespace {

    // A statement that cannot draw its symbol fails with the kind as the face wrote it and the
    // reason.
    shell::RunError barcodeError(const QString& kind, const QString& reason)
    {
        return { shell::RunError::InvalidArgument,
            QStringLiteral("バーコード %1: %2").arg(kind, reason) };
    }

    render::TextAlign alignOf(BarcodeSymbol::Text::Align align)
    {
        switch (align) {
        case BarcodeSymbol::Text::Align::Left:
            return render::TextAlign::Start;
        case BarcodeSymbol::Text::Align::Right:
            return render::TextAlign::End;
        case BarcodeSymbol::Text::Align::Centre:
            break;
        }
        return render::TextAlign::Centre;
    }

}

// What a "bc" statement asks for, as written.
struct DControl::BarcodeArguments {
    QString kind;
    double height = 0.0;
    double module = 0.0;
    QString data;
    std::int32_t option = 0;
};

DControl::ExecResult DControl::cmdBc()
{
    const auto t = readTokens<5>();
    const auto x = toI(t[0]);
    const auto y = toI(t[1]);
    BarcodeArguments arguments { t[2], toD(t[3]), toD(t[4]), {}, 0 };
    // The data are the text pieces "s" takes: the first token whatever it is, then every token
    // up to a number, which is the option, or the statement's end.
    QString token;
    bool first = true;
    for (TokenType type = nextToken(token); !endsStatement(type);
         type = nextToken(token), first = false) {
        if (type == TokenType::TkNumber && !first) {
            arguments.option = toI(token);
            break;
        }
        arguments.data += token;
    }
    DrawBarcode(x, y, arguments);
    return ExecResult::Done;
}

void DControl::DrawBarcode(std::int32_t x, std::int32_t y, const BarcodeArguments& request)
{
    const QString& name = request.kind;
    const BarcodeKind* kind = BarcodeKind::find(name);
    if (!kind)
        throw barcodeError(name, QStringLiteral("この種類はありません"));
    double module = request.module;
    if (module == 0.0 && kind->standardModule > 0.0)
        module = kind->standardModule;
    if (!(module > 0.0))
        throw barcodeError(name,
            QStringLiteral("モジュールの幅 %1 は使えません（0 より大きい数で書きます）")
                .arg(request.module));
    BarcodeResult result
        = BarcodeEncoder::encode(*kind, request.data, request.height / module, request.option);
    if (!result.ok())
        throw barcodeError(name, result.error);
    const BarcodeSymbol& symbol = result.symbol;
    m_surface->XY(x, y);
    m_surface->Bars(module,
        std::make_shared<const std::vector<QRectF>>(std::move(result.symbol.bars)),
        symbol.squareModules);
    for (const BarcodeSymbol::Text& text : symbol.texts)
        m_surface->BarText(
            text.text, text.x * module, symbol.textTop * module, alignOf(text.align));
}

}
