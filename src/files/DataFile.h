#pragma once
// Opening the game's data files (pictures, sounds, the type face): only regular files of a sane
// size are opened at all, so that a FIFO, a device or a runaway file in the data folder is taken
// as a missing file instead of blocking start-up or filling memory.

#include <cstdint>
#include <cstdio>
#include <vector>

// The largest data file the game reads. Its largest file, the music, is under a mebibyte; this is
// far above anything it ships, and far below what would hurt to read.
constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{64} << 20;

// Opens path for reading in binary when it is a regular file (after links) of at most
// kMaxDataFileBytes. Null for anything else: missing, unreadable, a folder, a FIFO, a device or
// a larger file. Never waits: a FIFO without a writer is refused at once.
std::FILE* openDataFile(const char* path);

// The whole of a data file that openDataFile accepts, in contents; false, with contents empty,
// when it refuses the file or reading it fails.
bool readDataFile(const char* path, std::vector<unsigned char>& contents);
