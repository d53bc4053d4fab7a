#include "render/RunAdvances.h"

#include "render/PageRecorder.h"
#include "shell/Convert.h"

#include <QHash>

namespace vorlix::render {

RunAdvances::RunAdvances(const PageRecorder& device, const QString& text)
    : m_device(device)
    , m_text(text)
{
    const qsizetype length = text.size();
    m_prefix.resize(static_cast<std::size_t>(length) + 1);
    // A run repeats few characters: each distinct one is asked for once.
    QHash<char32_t, double> known;
    const auto advanceOf = [&](qsizetype at, qsizetype units) {
        const char32_t key = units == 2 ? QChar::surrogateToUcs4(text[at], text[at + 1])
                                        : char32_t(text[at].unicode());
        auto found = known.constFind(key);
        if (found == known.constEnd())
            found = known.insert(key, m_device.textAdvance(text.mid(at, units)));
        return *found;
    };
    for (qsizetype at = 0; at < length;) {
        const double before = m_prefix[static_cast<std::size_t>(at)];
        // A part may end between the halves of a pair, measured as a lone half.
        m_prefix[static_cast<std::size_t>(at) + 1] = before + advanceOf(at, 1);
        if (text[at].isHighSurrogate() && at + 1 < length && text[at + 1].isLowSurrogate()) {
            m_prefix[static_cast<std::size_t>(at) + 2] = before + advanceOf(at, 2);
            at += 2;
        } else {
            at += 1;
        }
    }
    if (m_prefix.back() != m_device.textAdvance(text))
        m_prefix.clear();
}

int RunAdvances::width(qsizetype from, qsizetype to) const
{
    if (m_prefix.empty())
        return m_device.textExtent(m_text.mid(from, to - from)).width();
    const double advance
        = m_prefix[static_cast<std::size_t>(to)] - m_prefix[static_cast<std::size_t>(from)];
    return static_cast<int>(shell::roundHalfEven(advance));
}

}
