#include "lang/BarcodeKind.h"

#include <zint.h>

#include <array>
#include <initializer_list>

namespace vorlix::lang {

namespace {

    using Shape = BarcodeKind::Shape;

    // The Japan Post customer barcode at its standard size (10 points): bars 0.6 mm wide.
    constexpr double PostalModule = 6.0;
    constexpr qsizetype PostalCodeDigits = 7;
    constexpr qsizetype Itf14Digits = 13;

    QString strayCharacter(QChar c, const QString& allowed)
    {
        return QStringLiteral("使えない文字「%1」があります（%2）").arg(c, allowed);
    }

    QString nonDigit(const QString& data)
    {
        for (const QChar c : data) {
            if (c < u'0' || c > u'9')
                return strayCharacter(c, QStringLiteral("数字だけ"));
        }
        return {};
    }

    QString digitsOf(const QString& data, std::initializer_list<qsizetype> lengths)
    {
        if (QString stray = nonDigit(data); !stray.isEmpty())
            return stray;
        for (const qsizetype length : lengths) {
            if (data.size() == length)
                return {};
        }
        return QStringLiteral("%1 桁です（%2 桁か %3 桁で書きます）")
            .arg(data.size())
            .arg(*lengths.begin())
            .arg(*(lengths.end() - 1));
    }

    QString ean13(const QString& data)
    {
        return digitsOf(data, { 12, 13 });
    }

    QString ean8(const QString& data)
    {
        return digitsOf(data, { 7, 8 });
    }

    QString upca(const QString& data)
    {
        return digitsOf(data, { 11, 12 });
    }

    // Interleaved 2 of 5 pairs its digits; libzint would put a 0 in front of an odd number.
    QString itf(const QString& data)
    {
        if (QString stray = nonDigit(data); !stray.isEmpty())
            return stray;
        if (data.size() % 2 == 1 && data.size() != Itf14Digits)
            return QStringLiteral("奇数の %1 桁です（偶数桁か、ITF-14 の 13 桁で書きます）")
                .arg(data.size());
        return {};
    }

    // libzint would read small letters as capitals, and the symbol would not say what the face
    // wrote.
    QString code39(const QString& data)
    {
        static const QString allowed
            = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
        for (const QChar c : data) {
            if (!allowed.contains(c))
                return strayCharacter(c, QStringLiteral("英大文字・数字と -. $/+% だけ"));
        }
        return {};
    }

    QString postal(const QString& data)
    {
        const QString code = data.left(PostalCodeDigits);
        if (code.size() < PostalCodeDigits || !nonDigit(code).isEmpty())
            return QStringLiteral("郵便番号の 7 桁の数字で始まっていません");
        return {};
    }

    QString anything(const QString&)
    {
        return {};
    }

    constexpr std::array<BarcodeKind, 12> Kinds = { {
        { "ean13", "jan13", Shape::Retail, BARCODE_EANX, 0.0, ean13 },
        { "ean8", "jan8", Shape::Retail, BARCODE_EANX, 0.0, ean8 },
        { "upca", "", Shape::Retail, BARCODE_UPCA, 0.0, upca },
        { "code39", "", Shape::Linear, BARCODE_CODE39, 0.0, code39 },
        { "code128", "", Shape::Linear, BARCODE_CODE128, 0.0, anything },
        { "gs1-128", "", Shape::Linear, BARCODE_GS1_128, 0.0, anything },
        { "itf", "", Shape::Linear, BARCODE_C25INTER, 0.0, itf },
        { "nw7", "", Shape::Linear, BARCODE_CODABAR, 0.0, anything },
        { "qr", "", Shape::Matrix, BARCODE_QRCODE, 0.0, anything },
        { "datamatrix", "", Shape::Matrix, BARCODE_DATAMATRIX, 0.0, anything },
        { "pdf417", "", Shape::Matrix, BARCODE_PDF417, 0.0, anything },
        { "postal", "", Shape::Postal, BARCODE_JAPANPOST, PostalModule, postal },
    } };

    bool sameName(std::string_view word, const QString& name)
    {
        return !word.empty()
            && QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()))
                   .compare(name, Qt::CaseInsensitive)
            == 0;
    }

}

int BarcodeKind::symbologyFor(const QString& data) const
{
    if (symbology == BARCODE_C25INTER && data.size() == Itf14Digits)
        return BARCODE_ITF14;
    return symbology;
}

const BarcodeKind* BarcodeKind::find(const QString& name)
{
    for (const BarcodeKind& kind : Kinds) {
        if (sameName(kind.name, name) || sameName(kind.alias, name))
            return &kind;
    }
    return nullptr;
}

}
