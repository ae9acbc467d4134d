#include "HeapPeak.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VERDANTH_HEAP_HOOKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VERDANTH_HEAP_HOOKS 1
#endif

#ifdef VERDANTH_HEAP_HOOKS
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// GCC's runtime has these without shipping their header.
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                              void (*freeHook)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* pointer);
int __sanitizer_get_ownership(const volatile void* pointer);
}
#endif

namespace {
// The hooks are process-wide C callbacks, so the counters must be too.
struct Counters {
    std::size_t inUse = 0;
    std::size_t peak = 0;
    std::size_t windowStart = 0;
};
Counters counters;

void onMalloc(const volatile void*, std::size_t size)
{
    counters.inUse += size;
    if (counters.inUse > counters.peak)
        counters.peak = counters.inUse;
}

void onFree(const volatile void* pointer)
{
    if (pointer == nullptr || !__sanitizer_get_ownership(pointer))
        return;
    const std::size_t size = __sanitizer_get_allocated_size(pointer);
    counters.inUse = size > counters.inUse ? 0 : counters.inUse - size;
}

bool installHooks()
{
    return __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
}
const bool hooksInstalled = installHooks();
} // namespace

HeapPeak::HeapPeak()
{
    counters.windowStart = counters.inUse;
    counters.peak = counters.inUse;
}

HeapPeak::~HeapPeak() = default;

bool HeapPeak::available() { return hooksInstalled; }

std::size_t HeapPeak::bytes() const { return counters.peak - counters.windowStart; }

#else

HeapPeak::HeapPeak() = default;
HeapPeak::~HeapPeak() = default;
bool HeapPeak::available() { return false; }
std::size_t HeapPeak::bytes() const { return 0; }

#endif
