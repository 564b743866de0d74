#include "support/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>

bool writePng(const std::string& path, unsigned width, unsigned height, unsigned channels,
              const std::vector<unsigned char>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

namespace {

void putBigEndian(std::vector<unsigned char>& out, unsigned long value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xff));
    }
}

void putChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
    putBigEndian(out, data.size());
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBigEndian(out, crc32(0, typed.data(), static_cast<uInt>(typed.size())));
}

} // namespace

std::vector<unsigned char> pngWithHeaderOnly(unsigned width, unsigned height) {
    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
    putChunk(out, "IHDR", header);
    // One compressed empty row: far less than the header promises.
    unsigned char row = 0;
    unsigned char packed[64];
    uLongf packedSize = sizeof packed;
    compress(packed, &packedSize, &row, 1);
    putChunk(out, "IDAT", std::vector<unsigned char>(packed, packed + packedSize));
    putChunk(out, "IEND", {});
    return out;
}

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}
