#pragma once

#include <cstddef>

// The largest number of heap bytes in use at once while a HeapPeak is alive, counted through
// the sanitizer allocator's hooks. Without AddressSanitizer nothing can be counted and
// `available()` is false.
class HeapPeak {
public:
    HeapPeak();  // starts a window at the bytes in use now
    ~HeapPeak(); // ends it
    HeapPeak(const HeapPeak&) = delete;
    HeapPeak& operator=(const HeapPeak&) = delete;

    static bool available();
    std::size_t bytes() const; // peak within the window above the bytes in use at its start
};
