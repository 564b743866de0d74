// Fuzz target for the PNG decoder behind every sprite. Each input goes through both the memory and
// the file entry point, which must agree, and every image they accept must be well formed down to
// the last level of the mipmap chain that pngBind uploads. A second pass repairs every chunk's
// checksum first: the libraries are not instrumented, so without it nearly every mutation would
// end at libpng's first CRC check and never reach the image decoding.

#include "gfx/PngTexture.h"

#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// pngBind passes the context's GL_MAX_TEXTURE_SIZE; this is what Mesa's software driver reports.
constexpr unsigned kMaxSide = 16384;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "PNG decoder check failed: %s\n", what);
        std::abort();
    }
}

// The input as a file on no disk, so that the file entry point reads exactly the same bytes.
class InputFile {
  public:
    InputFile() : fd_(memfd_create("png-fuzz-input", MFD_CLOEXEC)) {
        check(fd_ >= 0, "memfd_create");
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~InputFile() { close(fd_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const char* write(const std::uint8_t* data, std::size_t size) {
        check(ftruncate(fd_, 0) == 0, "ftruncate");
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            check(n > 0, "pwrite");
            done += static_cast<std::size_t>(n);
        }
        return path_.c_str();
    }

  private:
    int fd_ = -1;
    std::string path_;
};

std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// A copy of the input with the CRC of every whole chunk after the signature recomputed.
std::vector<std::uint8_t> withRepairedChecksums(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::uint32_t length = bigEndian(&bytes[at]);
        if (length > bytes.size() - at - 12) {
            break;
        }
        const uLong crc = crc32(0L, &bytes[at + 4], static_cast<uInt>(length) + 4);
        std::uint8_t* out = &bytes[at + 8 + length];
        out[0] = static_cast<std::uint8_t>(crc >> 24);
        out[1] = static_cast<std::uint8_t>(crc >> 16);
        out[2] = static_cast<std::uint8_t>(crc >> 8);
        out[3] = static_cast<std::uint8_t>(crc);
        at += 12 + std::size_t{length};
    }
    return bytes;
}

void checkImage(const PngImage& image, bool keepAlpha) {
    check(image.width >= 1 && image.width <= kMaxSide, "width in range");
    check(image.height >= 1 && image.height <= kMaxSide, "height in range");
    check(image.channels == 4 || image.channels == 3, "RGB or RGBA");
    check(keepAlpha || image.channels == 3, "alpha dropped on request");
    check(image.pixels.size() == std::size_t{image.width} * image.height * image.channels,
          "pixels fill the image");

    PngImage level;
    for (const PngImage* above = &image; above->width > 1 || above->height > 1; above = &level) {
        PngImage next = halveImage(*above);
        check(next.width == (above->width > 1 ? above->width / 2 : 1), "mipmap width");
        check(next.height == (above->height > 1 ? above->height / 2 : 1), "mipmap height");
        check(next.channels == image.channels, "mipmap channels");
        check(next.pixels.size() == std::size_t{next.width} * next.height * next.channels,
              "mipmap pixels");
        level = std::move(next);
    }
}

void decodeBothWays(const std::uint8_t* data, std::size_t size, bool keepAlpha) {
    static InputFile file;
    PngImage fromMemory;
    const bool memoryOk = decodePng(data, size, kMaxSide, keepAlpha, fromMemory);
    PngImage fromFile;
    const bool fileOk = decodePngFile(file.write(data, size), kMaxSide, keepAlpha, fromFile);
    check(memoryOk == fileOk, "memory and file entry points agree on acceptance");
    if (!memoryOk) {
        return;
    }
    check(fromMemory.width == fromFile.width && fromMemory.height == fromFile.height &&
              fromMemory.channels == fromFile.channels && fromMemory.pixels == fromFile.pixels,
          "memory and file entry points decode the same image");
    checkImage(fromMemory, keepAlpha);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const bool keepAlpha : {true, false}) {
        decodeBothWays(data, size, keepAlpha);
    }
    const std::vector<std::uint8_t> repaired = withRepairedChecksums(data, size);
    if (repaired.size() >= 8 && !std::equal(repaired.begin(), repaired.end(), data)) {
        for (const bool keepAlpha : {true, false}) {
            decodeBothWays(repaired.data(), repaired.size(), keepAlpha);
        }
    }
    return 0;
}
