#pragma once

#include <cstddef>

// Counts the heap allocations made through operator new in this process, and the bytes
// live and at their peak, so the benchmark can hold the frame to zero allocations and the
// loader to its memory bound. C allocations (malloc, calloc, realloc), the GL driver's
// included, are counted apart.
namespace AllocationCounter {

std::size_t allocations(); // operator new calls so far
std::size_t mallocs();     // malloc, calloc and realloc calls so far, operator new's excluded
std::size_t liveBytes();
std::size_t peakBytes();
void resetPeak(); // the peak starts again from what is live now

} // namespace AllocationCounter
