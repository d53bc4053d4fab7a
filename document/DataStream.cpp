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
    Held held;
    if (!m_windows.next(held.window))
        return false;
    held.position = m_nextPosition;
    held.countedTo = m_nextPosition;
    m_nextPosition += static_cast<std::int32_t>(held.window.text.size());
    if (m_opening.size() < kOpeningLength)
        m_opening += held.window.text.left(kOpeningLength - m_opening.size());
    text += held.window.text;
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
    Held& held = *std::prev(after);
    const QString& text = held.window.text;
    if (position >= held.position + static_cast<std::int32_t>(text.size())
        || text.at(position - held.position) != u'<')
        return -1;
    if (position < held.countedTo) {
        held.countedTo = held.position;
        held.countedByte = 0;
    }
    const qsizetype before = QStringView(text)
                                 .sliced(held.countedTo - held.position, position - held.countedTo)
                                 .count(u'<');
    const QByteArray& bytes = held.window.bytes;
    qsizetype at = held.countedByte - 1;
    for (qsizetype n = 0; n <= before; ++n) {
        at = bytes.indexOf('<', at + 1);
        if (at < 0)
            return -1;
    }
    held.countedTo = position;
    held.countedByte = at;
    return held.window.byteStart + at;
}

void DataStream::release(std::int32_t position)
{
    while (m_held.size() > 1
        && m_held.front().position + static_cast<std::int32_t>(m_held.front().window.text.size())
            <= position)
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
