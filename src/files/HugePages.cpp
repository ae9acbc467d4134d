#include "files/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace HugePages {

void advise(const void* data, std::size_t bytes)
{
    constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(hugePage - 1);
    if (data == nullptr || end <= first)
        return;
    // Only a hint: where the kernel declines, the block is simply faulted in as usual.
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

} // namespace HugePages
