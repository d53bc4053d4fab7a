#pragma once

#include <QRect>
#include <QString>
#include <optional>

namespace vorlix::shell {
class InitFile;
}

namespace vorlix::window {

// What the main window keeps in the settings file: the split of the "both" mode (view/bLps), the
// zoom (view/kPsa, written only), the editor's font (menu/fontname) and the window's place in
// twips (menu/left, top, width, height; written only while the window is in its normal state).
struct WindowSettings {
    double splitSaved = 0.4;
    QString fontName = QStringLiteral("Terminal");
    // Left, top, width and height in twips.
    QRect placement { 200, 500, 7000, 6500 };
    // The window has stored a placement of its own: the one read differs from the defaults
    // (which no window places itself at: 7000 twips are no whole number of pixels).
    bool placed = false;

    // Reads the settings (missing keys get their defaults written back).
    [[nodiscard]] static WindowSettings read(shell::InitFile& settings);
    // Writes the zoom, the split and, when given, the window's place.
    static void write(shell::InitFile& settings, double zoom, double splitSaved,
        const std::optional<QRect>& placement);

    // A number as the settings file holds it ("0.4", "1", "1.2").
    [[nodiscard]] static QString decimal(double value);
};

}
