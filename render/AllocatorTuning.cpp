#include "render/AllocatorTuning.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ on glibc systems

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vorlix::render {

namespace {

#if defined(__GLIBC__)
    constexpr std::uintptr_t kHeapStep = 64 * 1024 * 1024;
    constexpr std::uintptr_t kHugePage = 2 * 1024 * 1024;

    // Grows the heap by a whole step now and asks the kernel to back it with huge pages where it
    // allows them on request. The document read, the tree and the writer's buffers then fault in
    // a page per 2 MB instead of per 4 KB. Nothing happens when the heap is not where the break
    // is (another allocator, or a heap that had to be mapped elsewhere).
    void backHeapByHugePages()
    {
        void* probe = std::malloc(1024 * 1024);
        const auto start = reinterpret_cast<std::uintptr_t>(probe);
        const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
        const std::uintptr_t begin = (start + kHugePage - 1) & ~(kHugePage - 1);
        if (probe != nullptr && end > begin && end - start <= 2 * kHeapStep)
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        std::free(probe);
    }
#endif

}

void keepLargeBuffersInHeap()
{
#if defined(__GLIBC__)
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapStep));
        mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
        backHeapByHugePages();
        return true;
    }();
    (void)tuned;
#endif
}

}
