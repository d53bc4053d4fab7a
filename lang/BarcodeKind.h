#pragma once

#include <QString>
#include <string_view>

namespace vorlix::lang {

// One kind of symbol the "bc" statement draws: the names a face writes, the symbology libzint
// encodes it with and what its data must look like before libzint sees it.
struct BarcodeKind {
    // How a kind is laid out and what its option means.
    enum class Shape {
        // Bars with the digits of EAN, JAN and UPC below them: guard bars reach into the digits.
        Retail,
        // Bars of a given height, the human-readable text below them.
        Linear,
        // Square modules in rows (QR Code, Data Matrix, PDF417): no height, no text.
        Matrix,
        // The Japan Post customer barcode: three bar heights of a fixed proportion.
        Postal,
    };

    std::string_view name;
    std::string_view alias;
    Shape shape;
    // The libzint symbology (BARCODE_...).
    int symbology;
    // The module in face units when the statement gives 0; 0 where a module must be given.
    double standardModule;
    // Why the data cannot be this kind's ("数字以外の文字 'x' があります"); empty when it may be.
    QString (*check)(const QString& data);

    // The symbology for this data: ITF with 13 digits is ITF-14, which adds its check digit.
    [[nodiscard]] int symbologyFor(const QString& data) const;
    // The kind a face names, with any mix of capitals; nullptr for an unknown name.
    [[nodiscard]] static const BarcodeKind* find(const QString& name);
};

}
