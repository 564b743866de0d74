#include "gfx/PngTexture.h"

#include "files/DataFile.h"
#include "gfx/GlScope.h"

#include <GL/gl.h>
#include <png.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

struct MemorySource {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > source->size - source->offset) {
        png_error(png, "unexpected end of data");
    }
    std::memcpy(out, source->data + source->offset, count);
    source->offset += count;
}

// Everything the decoder touches between setjmp and a possible longjmp lives here, outside the
// frames that libpng's error path skips, so no destructor is ever jumped over.
struct DecodeState {
    PngImage* image = nullptr;
    std::vector<png_bytep> rows;
    unsigned maxSide = 0;
    bool keepAlpha = true;
};

// Every ancillary chunk libpng knows apart from tRNS. The decoder applies no gamma, colour profile
// or background, so these change nothing it produces; skipping them unread matters because libpng
// allocates a buffer of the size a text, profile or calibration chunk claims before it finds the
// file too short for it, so a few bytes that claim two gigabytes would cost two gigabytes.
constexpr png_byte kIgnoredChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                      "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
constexpr int kIgnoredChunkCount = sizeof kIgnoredChunks / 5;

// The part of decoding that may longjmp. Returns false for an image it refuses by size.
bool readImage(png_structp png, png_infop info, DecodeState& state) {
    png_set_user_limits(png, state.maxSide, state.maxSide);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, kIgnoredChunkCount);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (width == 0 || height == 0 || width > state.maxSide || height > state.maxSide) {
        return false;
    }

    png_set_strip_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if (!state.keepAlpha) {
        png_set_strip_alpha(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const unsigned channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || rowBytes != std::size_t{width} * channels ||
        rowBytes > std::numeric_limits<std::size_t>::max() / height) {
        return false;
    }

    PngImage& image = *state.image;
    image.pixels.resize(rowBytes * height);
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        state.rows[y] = image.pixels.data() + rowBytes * y;
    }
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);

    image.width = width;
    image.height = height;
    image.channels = channels;
    return true;
}

// Runs the decoder with libpng's setjmp error discipline; source installs the reader.
template <typename InstallSource>
bool decodeWith(InstallSource installSource, unsigned maxSide, bool keepAlpha, PngImage& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }

    PngImage image;
    DecodeState state;
    state.image = &image;
    state.maxSide = std::min(maxSide, kMaxPictureSide);
    state.keepAlpha = keepAlpha;

    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        installSource(png);
        ok = readImage(png, info, state);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (ok) {
        out = std::move(image);
    }
    return ok;
}

// One row of the next mipmap level from two rows of this one, C bytes a texel (or, for C = 0,
// channels bytes): each texel is the rounded mean of a 2 x 2 block. A row one texel wide pairs
// its texel with itself. A fixed C lets the compiler unroll the inner loop.
template <unsigned C>
void halveRow(const unsigned char* upper, const unsigned char* lower, unsigned sourceWidth,
              unsigned char* out, unsigned width, unsigned channels = C) {
    const unsigned n = C != 0 ? C : channels;
    const unsigned next = sourceWidth > 1 ? n : 0;
    for (unsigned x = 0; x < width; ++x, upper += 2 * n, lower += 2 * n, out += n) {
        for (unsigned k = 0; k < n; ++k) {
            out[k] = static_cast<unsigned char>(
                (upper[k] + upper[next + k] + lower[k] + lower[next + k] + 2) / 4);
        }
    }
}

// halveImage into an image whose pixel storage is reused, so a whole chain needs two buffers.
// The loops are specialised for the decoder's three and four bytes a texel: the three backdrops'
// chains are most of the work.
void halveInto(const PngImage& image, PngImage& half) {
    half.width = std::max(1u, image.width / 2);
    half.height = std::max(1u, image.height / 2);
    half.channels = image.channels;
    const std::size_t rowBytes = std::size_t{half.width} * half.channels;
    half.pixels.resize(rowBytes * half.height);
    const std::size_t sourceRowBytes = std::size_t{image.width} * image.channels;
    const std::size_t lowerOffset = image.height > 1 ? sourceRowBytes : 0;
    for (unsigned y = 0; y < half.height; ++y) {
        const unsigned char* upper = image.pixels.data() + 2 * std::size_t{y} * sourceRowBytes;
        const unsigned char* lower = upper + lowerOffset;
        unsigned char* out = half.pixels.data() + y * rowBytes;
        switch (image.channels) {
        case 3:
            halveRow<3>(upper, lower, image.width, out, half.width);
            break;
        case 4:
            halveRow<4>(upper, lower, image.width, out, half.width);
            break;
        default:
            halveRow<0>(upper, lower, image.width, out, half.width, image.channels);
            break;
        }
    }
}

// The files named to decodePngFilesAhead and the worker that decodes them, in the order given.
// The worker decodes each file outside the lock into an image of its own and hands it over under
// the lock, where pngBind's thread takes it; a picture decoded for a list that has been replaced
// meanwhile is dropped. The worker ends when it finds its list done, and is joined by the pngBind
// that finds it so or by the next list; made once and never destroyed, the object outlives a
// worker that is still running when the process exits.
class DecodeAhead {
  public:
    DecodeAhead() = default;
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    void start(const char* const* paths, std::size_t count) {
        std::vector<std::string> named(paths, paths + count);
        std::lock_guard<std::mutex> lock(mutex_);
        if (started_ && named == named_) {
            return;
        }
        started_ = true;
        named_ = std::move(named);
        // The earlier list's pictures that nobody took go now, with their pixels.
        entries_.clear();
        entries_.resize(named_.size());
        for (std::size_t i = 0; i < named_.size(); ++i) {
            entries_[i].path = named_[i];
        }
        finished_ = 0;
        ++list_;
        if (running_) {
            return; // the worker turns to the new list after the file in hand
        }
        // A worker that found its list done has left its loop, so it is joined at once.
        if (worker_.joinable()) {
            worker_.join();
        }
        try {
            worker_ = std::thread(&DecodeAhead::run, this);
            running_ = true;
        } catch (const std::system_error&) {
            // No thread to be had: pngBind reads every file itself.
            entries_.clear();
        }
    }

    // When path was named and not taken yet: waits for its outcome and returns true, with
    // decoded telling whether image holds the picture. Otherwise false, and pngBind reads the file.
    bool take(const char* path, bool& decoded, PngImage& image) {
        bool taken = false;
        bool workerDone = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            std::size_t i = 0;
            while (i < entries_.size() && (entries_[i].taken || entries_[i].path != path)) {
                ++i;
            }
            if (i == entries_.size()) {
                return false;
            }
            done_.wait(lock, [this, i] { return finished_ > i; });
            Entry& entry = entries_[i];
            entry.taken = true;
            taken = entry.outcome != Outcome::Unavailable;
            decoded = entry.outcome == Outcome::Decoded;
            image = std::move(entry.image);
            entry.image = PngImage();
            workerDone = finished_ == entries_.size();
        }
        // The worker has left its loop or is about to; joining it frees its stack at once.
        if (workerDone && worker_.joinable()) {
            worker_.join();
        }
        return taken;
    }

  private:
    enum class Outcome { Decoded, Refused, Unavailable };
    struct Entry {
        std::string path;
        Outcome outcome = Outcome::Unavailable;
        PngImage image;
        bool taken = false;
    };

    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (finished_ < entries_.size()) {
            const std::size_t i = finished_;
            const unsigned list = list_;
            const std::string path = entries_[i].path;
            lock.unlock();
            PngImage image;
            Outcome outcome = Outcome::Unavailable;
            try {
                outcome = decodePngFile(path.c_str(), kMaxPictureSide, true, image)
                              ? Outcome::Decoded
                              : Outcome::Refused;
            } catch (const std::exception&) {
                // pngBind then reads the file itself, as it would have.
                image = PngImage();
            }
            lock.lock();
            if (list == list_) {
                entries_[i].outcome = outcome;
                entries_[i].image = std::move(image);
                finished_ = i + 1;
                done_.notify_all();
            }
        }
        running_ = false;
    }

    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::string> named_;
    std::vector<Entry> entries_;
    std::size_t finished_ = 0;
    unsigned list_ = 0; // counts the lists named, so the worker knows a picture of an old one
    bool started_ = false;
    bool running_ = false;
    std::thread worker_;
};

DecodeAhead& decodeAhead() {
    static DecodeAhead* const ahead = new DecodeAhead();
    return *ahead;
}

// The image pngBind uploads: the one decoded ahead when there is one, else read from the file.
// The worker decodes up to the picture cap, so a file it refused would be refused here too; pngBind
// refuses a decoded image larger than its GL's own limit.
bool decodeForTexture(const char* path, unsigned maxSide, bool keepAlpha, PngImage& image) {
    bool decoded = false;
    if (path != nullptr && keepAlpha && decodeAhead().take(path, decoded, image)) {
        return decoded && image.width <= maxSide && image.height <= maxSide;
    }
    return decodePngFile(path, maxSide, keepAlpha, image);
}

} // namespace

void decodePngFilesAhead(const char* const* paths, std::size_t count) {
    decodeAhead().start(paths, count);
}

bool decodePng(const unsigned char* data, std::size_t size, unsigned maxSide, bool keepAlpha,
               PngImage& out) {
    constexpr std::size_t kSignatureSize = 8;
    if (data == nullptr || size < kSignatureSize || png_sig_cmp(data, 0, kSignatureSize) != 0) {
        return false;
    }
    MemorySource source;
    source.data = data;
    source.size = size;
    return decodeWith([&source](png_structp png) { png_set_read_fn(png, &source, readFromMemory); },
                      maxSide, keepAlpha, out);
}

bool decodePngFile(const char* path, unsigned maxSide, bool keepAlpha, PngImage& out) {
    std::FILE* file = openDataFile(path);
    if (file == nullptr) {
        return false;
    }
    constexpr std::size_t kSignatureSize = 8;
    unsigned char signature[kSignatureSize] = {};
    bool ok = std::fread(signature, 1, kSignatureSize, file) == kSignatureSize &&
              png_sig_cmp(signature, 0, kSignatureSize) == 0;
    if (ok) {
        ok = decodeWith(
            [file](png_structp png) {
                png_init_io(png, file);
                png_set_sig_bytes(png, kSignatureSize);
            },
            maxSide, keepAlpha, out);
    }
    std::fclose(file);
    return ok;
}

PngImage halveImage(const PngImage& image) {
    PngImage half;
    halveInto(image, half);
    return half;
}

unsigned pngBind(const char* path, int mipmap, int trans, PngInfo* info, int wrap, int minFilter,
                 int magFilter) {
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    if (maxTextureSize <= 0) {
        return 0;
    }
    PngImage image;
    if (!decodeForTexture(path, static_cast<unsigned>(maxTextureSize), trans == PNG_ALPHA, image)) {
        return 0;
    }
    const unsigned texture = textureFromImage(image, mipmap, wrap, minFilter, magFilter);
    if (info != nullptr) {
        info->width = image.width;
        info->height = image.height;
        info->depth = image.channels * 8;
        info->alpha = image.channels == 4;
    }
    return texture;
}

unsigned textureFromImage(const PngImage& image, int mipmap, int wrap, int minFilter, int magFilter,
                          int internalFormat) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    // Mesa sizes a texture's storage when the first level arrives, from the minification filter
    // set then: under one that reads no mipmaps it makes room for that level alone, and the next
    // level makes it allocate the whole chain anew and later copy the first level across (for a
    // backdrop, 7 MiB held and 3 MiB copied instead of 4 MiB). So the chain goes up under a
    // mipmapping filter and the asked one is set once it is complete.
    const bool chain = mipmap == PNG_BUILDMIPMAPS;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    chain ? GL_LINEAR_MIPMAP_LINEAR : minFilter);

    // Rows are packed tight: an RGB row is rarely a multiple of four bytes.
    ClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;
    const GLint stored = internalFormat != 0 ? internalFormat : static_cast<GLint>(format);
    GLint level = 0;
    glTexImage2D(GL_TEXTURE_2D, level, stored, image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.pixels.data());
    if (chain) {
        // Our own box-filtered chain down to 1 x 1 keeps the image's own size (GLU's builder
        // would first rescale it to powers of two) and is quick. Two buffers take turns as the
        // level being made.
        PngImage scratch[2];
        const PngImage* larger = &image;
        for (unsigned i = 0; larger->width > 1 || larger->height > 1; i ^= 1u) {
            PngImage& smaller = scratch[i];
            halveInto(*larger, smaller);
            ++level;
            glTexImage2D(GL_TEXTURE_2D, level, stored, smaller.width, smaller.height, 0, format,
                         GL_UNSIGNED_BYTE, smaller.pixels.data());
            larger = &smaller;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    }
    return texture;
}
