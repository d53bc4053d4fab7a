#pragma once

namespace vorlix::render {

// Keeps large buffers inside the heap instead of mapping and unmapping them each time: the
// document's bytes and text, freed once read, leave room for the tree, and the page streams
// that a job allocates and frees page after page reuse the same memory. Without it every such
// buffer pays for fresh page faults, which halves PDF output speed. Affects the process's
// allocator once; the memory kept is bounded by the largest buffers.
void keepLargeBuffersInHeap();

}
