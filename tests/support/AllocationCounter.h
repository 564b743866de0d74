#pragma once
// Counts heap allocations, so that a test can hold a steady frame to allocating nothing and the
// benchmarks can show what a frame costs: those made through the global operator new (the game's
// own), and every malloc, calloc and realloc in the process (the GL driver's as well). Linked
// into a program, it replaces the allocator for the whole program.

#include <cstddef>

// Allocations made through operator new since the program started.
std::size_t allocationCount();

// Calls to malloc, calloc and realloc since the program started, from any library or thread.
std::size_t mallocCount();
