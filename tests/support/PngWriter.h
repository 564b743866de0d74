#pragma once
// Writing small PNG files for tests: made-up images of known content, and damaged ones.

#include <string>
#include <vector>

// Writes an 8-bit RGB (channels 3) or RGBA (channels 4) image, rows top first.
bool writePng(const std::string& path, unsigned width, unsigned height, unsigned channels,
              const std::vector<unsigned char>& pixels);

// The bytes of a PNG whose header claims width x height but which holds almost no image data.
std::vector<unsigned char> pngWithHeaderOnly(unsigned width, unsigned height);

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readBytes(const std::string& path);
