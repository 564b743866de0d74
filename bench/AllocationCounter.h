#pragma once
// Counts heap allocations, so benchmarks can show that a steady frame allocates nothing: those
// made through the global operator new (the game's own), and every malloc, calloc and realloc in
// the process (the GL driver's as well).

#include <cstddef>

// Allocations made through operator new since the program started.
std::size_t allocationCount();

// Calls to malloc, calloc and realloc since the program started, from any library or thread.
std::size_t mallocCount();
