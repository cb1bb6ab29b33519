#include "platform/memory_reuse.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace vorla {

void KeepFreedMemoryForReuse() {
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    // Blocks below 32 MiB (the allocator's limit for this setting) come from the heap rather
    // than mappings of their own, which are returned the moment they are freed; free heap is
    // given back only beyond 64 MiB. Setting them also stops the allocator from moving its
    // own limits, which makes the cost of an opening depend on what happened before.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace vorla
