#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::size_t allocations = 0;
// The driver's rasteriser threads allocate too.
std::atomic<std::size_t> mallocs{0};

} // namespace

std::size_t allocationCount() {
    return allocations;
}

std::size_t mallocCount() {
    return mallocs.load(std::memory_order_relaxed);
}

// glibc's allocator under its own names, so the C entry points can be counted and passed on.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);

void* malloc(std::size_t size) noexcept {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void* realloc(void* p, std::size_t size) noexcept {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
}

// The replacements hand malloc's memory back to free; GCC's check pairs the inlined free with
// operator new and would call that a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
