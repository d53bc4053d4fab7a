#pragma once

#include <memory>

namespace vorlix::shell {

// What the shell needs to know about the application's current printer: its page size in twips
// (1440 to the inch). The printing layer installs one backed by the real printer; until then the
// answer is an A4 portrait page.
class CurrentPrinter {
public:
    virtual ~CurrentPrinter() = default;

    [[nodiscard]] virtual double pageWidthTwips() const = 0;
    [[nodiscard]] virtual double pageHeightTwips() const = 0;

    // The printer every caller asks; never null.
    [[nodiscard]] static const CurrentPrinter& current();
    // Replaces the current printer; an empty pointer restores the A4 default.
    static void setCurrent(std::shared_ptr<const CurrentPrinter> printer);
};

// The answer when no printer is known: A4 portrait (210 x 297 mm).
class DefaultA4Printer final : public CurrentPrinter {
public:
    [[nodiscard]] double pageWidthTwips() const override { return 11906.0; }
    [[nodiscard]] double pageHeightTwips() const override { return 16838.0; }
};

}
