#pragma once

namespace vorlix::render {

// Keeps large buffers inside the heap instead of mapping and unmapping them each time: the
// document's bytes and text, freed once read, leave room for the tree, and the page streams
// that a job allocates and frees page after page reuse the same memory. Without it every such
// buffer pays for fresh page faults, which halves PDF output speed. The heap also grows 64 MB at
// a time, backed by huge pages where the system grants them on request, so that the start-up's
// reading faults a page per 2 MB. Affects the process's allocator once; the memory kept is
// bounded by the largest buffers and one step of heap.
void keepLargeBuffersInHeap();

}
