#pragma once

namespace vorlix::render {

// Keeps the large buffers that writing a page stream allocates and frees page after page (the
// PDF engine's content stream) inside the heap instead of mapping and unmapping them each time:
// without it every page pays for fresh page faults, which halves PDF output speed. Affects the
// process's allocator once; the memory kept is bounded by the largest page buffer.
void keepPageBuffersInHeap();

}
