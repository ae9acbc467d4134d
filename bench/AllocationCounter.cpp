#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> mallocCount{0};
}

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);

// Every C allocation of the process, the GL driver's included, goes through these.
void* malloc(std::size_t size)
{
    ++mallocCount;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    ++mallocCount;
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size)
{
    ++mallocCount;
    return __libc_realloc(pointer, size);
}
}

namespace {
std::atomic<std::size_t> allocationCount{0};
std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

// Each block carries its size in front so delete can take it off the live total.
constexpr std::size_t header = alignof(std::max_align_t);

void* allocate(std::size_t size)
{
    void* block = __libc_malloc(size + header);
    if (block == nullptr)
        throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    ++allocationCount;
    const std::size_t now = live += size;
    std::size_t previous = peak.load();
    while (now > previous && !peak.compare_exchange_weak(previous, now)) {
    }
    return static_cast<char*>(block) + header;
}

void release(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    void* block = static_cast<char*>(pointer) - header;
    live -= *static_cast<std::size_t*>(block);
    __libc_free(block);
}
} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* pointer) noexcept { release(pointer); }
void operator delete[](void* pointer) noexcept { release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { release(pointer); }

namespace AllocationCounter {
std::size_t allocations() { return allocationCount.load(); }
std::size_t mallocs() { return mallocCount.load(); }
std::size_t liveBytes() { return live.load(); }
std::size_t peakBytes() { return peak.load(); }
void resetPeak() { peak = live.load(); }
} // namespace AllocationCounter
