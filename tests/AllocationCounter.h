#pragma once

// Counts every allocation made through operator new in a test program. Include it in exactly one
// source file of the program: it replaces the global operator new and delete, which a program may
// do only once and never inline.
#include <atomic>
#include <cstdlib>
#include <new>

namespace AllocationCounter
{
inline std::atomic<long> allocations{0};

// How many allocations the program has made so far.
inline long count()
{
    return allocations.load();
}
} // namespace AllocationCounter

void* operator new(std::size_t size)
{
    ++AllocationCounter::allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
