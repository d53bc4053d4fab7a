#pragma once

#include <cstdint>

namespace vorlix::drovik {

// The most one fetch may receive: far more than any sample sheet or list, and little enough that
// a server sending without end stops in a moment instead of filling the memory.
inline constexpr std::int64_t kReceiveLimit = std::int64_t { 64 } << 20;

// How the downloader's fetches run.
enum class FetchWindow {
    Progress, // each fetch shows the modal progress window
    None, // each fetch runs without a window (unattended runs need no display)
};

// Makes every http:/ open of the file access fetch as chosen, with the receive limit.
void installFetchers(FetchWindow window, std::int64_t receiveLimit = kReceiveLimit);

}
