#include "document/DataStream.h"

#include <algorithm>
#include <iterator>

namespace vorlix::document {

namespace {
    constexpr qsizetype kOpeningLength = 64;
}

DataStream::DataStream(shell::TextWindows& windows)
    : m_windows(windows)
{
}

bool DataStream::more(QString& text)
{
    shell::TextWindows::Window window;
    if (!m_windows.next(window))
        return false;
    Held held;
    held.position = m_nextPosition;
    held.length = static_cast<std::int32_t>(window.text.size());
    held.byteStart = window.byteStart;
    // Only where the "<" stand is kept: the text itself goes to the cutter, and a value of many
    // windows is then held once instead of twice more (as text and as bytes).
    const QStringView chars(window.text);
    for (qsizetype at = chars.indexOf(u'<'); at >= 0; at = chars.indexOf(u'<', at + 1))
        held.tags.push_back({ static_cast<std::int32_t>(at), 0 });
    qsizetype byte = -1;
    for (auto& tag : held.tags) {
        byte = window.bytes.indexOf('<', byte + 1);
        tag.second = static_cast<std::int32_t>(byte);
    }
    m_nextPosition += held.length;
    if (m_opening.size() < kOpeningLength)
        m_opening += window.text.left(kOpeningLength - m_opening.size());
    text += window.text;
    m_held.push_back(std::move(held));
    return true;
}

std::int64_t DataStream::byteOf(std::int32_t position)
{
    // The window that holds the position: the last one that starts at or before it.
    const auto after = std::upper_bound(m_held.begin(), m_held.end(), position,
        [](std::int32_t wanted, const Held& held) { return wanted < held.position; });
    if (after == m_held.begin())
        return -1;
    const Held& held = *std::prev(after);
    const std::int32_t offset = position - held.position;
    if (offset >= held.length)
        return -1;
    const auto tag = std::lower_bound(held.tags.begin(), held.tags.end(), offset,
        [](const std::pair<std::int32_t, std::int32_t>& t, std::int32_t wanted) {
            return t.first < wanted;
        });
    if (tag == held.tags.end() || tag->first != offset || tag->second < 0)
        return -1;
    return held.byteStart + tag->second;
}

void DataStream::release(std::int32_t position)
{
    while (m_held.size() > 1 && m_held.front().position + m_held.front().length <= position)
        m_held.pop_front();
}

QString DataStream::lineColumn(shell::TextWindows& windows, std::int32_t position)
{
    qsizetype line = 1;
    qsizetype column = 1;
    std::int32_t at = 1;
    shell::TextWindows::Window window;
    while (at < position && windows.next(window)) {
        for (const QChar c : window.text) {
            if (at >= position)
                break;
            ++at;
            ++column;
            if (c == u'\n') {
                ++line;
                column = 1;
            }
        }
    }
    return QStringLiteral("%1:%2").arg(line).arg(column);
}

}
