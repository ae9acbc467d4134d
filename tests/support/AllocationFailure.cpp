#include "AllocationFailure.h"

#include <cstdlib>
#include <new>

namespace {
// Per thread: only the arming thread's allocations count, so a driver's worker thread that
// allocates meanwhile neither fails nor uses up the allowance.
thread_local bool armed = false;
thread_local bool hasFired = false;
thread_local std::size_t allowed = 0;

void* allocate(std::size_t size)
{
    if (armed) {
        if (allowed == 0) {
            armed = false;
            hasFired = true;
            throw std::bad_alloc();
        }
        --allowed;
    }
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
} // namespace

namespace testsupport::allocationFailure {
void arm(std::size_t allocationsToAllow)
{
    allowed = allocationsToAllow;
    hasFired = false;
    armed = true;
}
void disarm() { armed = false; }
bool fired() { return hasFired; }
} // namespace testsupport::allocationFailure

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
// Every form that the replaced ones pair with, so no block is freed by another allocator.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
