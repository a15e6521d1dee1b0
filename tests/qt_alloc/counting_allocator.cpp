#include "qt_alloc/counting_allocator.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VANTREL_COUNT_ALLOCATIONS 0
#else
#define VANTREL_COUNT_ALLOCATIONS 1
#endif

namespace {
// Per thread, so that whatever another thread allocates meanwhile is not counted.
thread_local bool counting = false;
thread_local std::int64_t allocations = 0;
}  // namespace

#if VANTREL_COUNT_ALLOCATIONS
// glibc's own entry points; the definitions below take the public names for the whole process.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) {
    if (counting) ++allocations;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    if (counting) ++allocations;
    return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) {
    if (counting) ++allocations;
    return __libc_realloc(memory, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    if (counting) ++allocations;
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    if (counting) ++allocations;
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    if (counting) ++allocations;
    // A power of two at least the size of a pointer, as the interface requires.
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return 22;  // EINVAL
    void* memory = __libc_memalign(alignment, size);
    if (memory == nullptr) return 12;  // ENOMEM
    *out = memory;
    return 0;
}
}
#endif

namespace vantrel {

bool AllocationCountingAvailable() { return VANTREL_COUNT_ALLOCATIONS != 0; }

void StartCountingAllocations() {
    allocations = 0;
    counting = true;
}

std::int64_t StopCountingAllocations() {
    counting = false;
    return allocations;
}

}  // namespace vantrel
