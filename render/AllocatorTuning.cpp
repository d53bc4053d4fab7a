#include "render/AllocatorTuning.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vorlix::render {

void keepLargeBuffersInHeap()
{
#if defined(__GLIBC__)
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)tuned;
#endif
}

}
