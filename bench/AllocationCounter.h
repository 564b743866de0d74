#pragma once
// Counts heap allocations made through the global operator new, so benchmarks can show that a
// steady frame allocates nothing.

#include <cstddef>

// Allocations made since the program started.
std::size_t allocationCount();
