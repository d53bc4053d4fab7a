#pragma once

#include <QString>
#include <vector>

namespace vorlix::render {

class PageRecorder;

// The widths of the parts of one run in the font selected on a device, for wrapping it: every
// character is measured once, and a part is as wide as the difference of two prefix advances,
// which is what measuring the part alone gives. A run whose characters are shaped by their
// neighbours (ligatures, joining scripts, combining marks) does not add up so; its parts are
// measured one by one instead.
class RunAdvances {
public:
    // Measures text, which must outlive this object, on device in its selected font.
    RunAdvances(const PageRecorder& device, const QString& text);

    // The width in whole device units of the characters from `from` up to `to` (exclusive).
    [[nodiscard]] int width(qsizetype from, qsizetype to) const;
    [[nodiscard]] const QString& text() const { return m_text; }

private:
    const PageRecorder& m_device;
    const QString& m_text;
    // The advance of each prefix, by its length; empty when the run does not add up.
    std::vector<double> m_prefix;
};

}
