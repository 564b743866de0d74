#include "gfx/PngTexture.h"

#include "gfx/GlScope.h"
#include "support/GlContext.h"
#include "support/PngWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string tempPath(const char* name) {
    return std::string("/tmp/hexaglint-png-") + name;
}

// A 4 x 2 image: the top row red, the bottom row blue, alpha 255 on the left and 0 on the right.
std::vector<unsigned char> twoRows() {
    std::vector<unsigned char> p;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            p.insert(p.end(), {static_cast<unsigned char>(y == 0 ? 255 : 0), 0,
                               static_cast<unsigned char>(y == 0 ? 0 : 255),
                               static_cast<unsigned char>(x < 2 ? 255 : 0)});
        }
    }
    return p;
}

} // namespace

TEST(PngDecode, KeepsRowsTopFirstAndAlphaOnlyWhenAsked) {
    const std::string path = tempPath("rows.png");
    ASSERT_TRUE(writePng(path, 4, 2, 4, twoRows()));

    PngImage rgba;
    ASSERT_TRUE(decodePngFile(path.c_str(), 1024, true, rgba));
    EXPECT_EQ(rgba.width, 4u);
    EXPECT_EQ(rgba.height, 2u);
    EXPECT_EQ(rgba.channels, 4u);
    EXPECT_EQ(rgba.pixels[0], 255); // top row red
    EXPECT_EQ(rgba.pixels[2], 0);
    EXPECT_EQ(rgba.pixels[16 + 2], 255); // bottom row blue
    EXPECT_EQ(rgba.pixels[3 * 4 + 3], 0);

    PngImage rgb;
    ASSERT_TRUE(decodePngFile(path.c_str(), 1024, false, rgb));
    EXPECT_EQ(rgb.channels, 3u);
    EXPECT_EQ(rgb.pixels.size(), 4u * 2u * 3u);
    std::remove(path.c_str());
}

TEST(PngDecode, RefusesMissingDamagedAndForeignFiles) {
    PngImage image;
    EXPECT_FALSE(decodePngFile("/tmp/hexaglint-png-does-not-exist.png", 1024, true, image));
    EXPECT_FALSE(decodePngFile(nullptr, 1024, true, image));

    const std::string path = tempPath("whole.png");
    ASSERT_TRUE(writePng(path, 4, 2, 4, twoRows()));
    std::vector<unsigned char> bytes = readBytes(path);
    std::remove(path.c_str());

    // Cut short, corrupted in the image data, and not a PNG at all.
    std::vector<unsigned char> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
    EXPECT_FALSE(decodePng(truncated.data(), truncated.size(), 1024, true, image));
    std::vector<unsigned char> corrupted = bytes;
    for (std::size_t i = 40; i < corrupted.size() - 12; ++i) {
        corrupted[i] ^= 0x5a;
    }
    EXPECT_FALSE(decodePng(corrupted.data(), corrupted.size(), 1024, true, image));
    const std::string text = "GIF89a, certainly not a PNG";
    EXPECT_FALSE(decodePng(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1024,
                           true, image));
    EXPECT_FALSE(decodePng(bytes.data(), 0, 1024, true, image));

    EXPECT_TRUE(decodePng(bytes.data(), bytes.size(), 1024, true, image));
}

TEST(PngDecode, RefusesHugeHeadersBeforeAllocating) {
    PngImage image;
    // Wider than the largest texture, and within it but with an absurd pixel count: both are
    // refused at the header, so neither allocates gigabytes for rows the file does not hold.
    std::vector<unsigned char> wide = pngWithHeaderOnly(20000, 1);
    EXPECT_FALSE(decodePng(wide.data(), wide.size(), 16384, true, image));
    std::vector<unsigned char> huge = pngWithHeaderOnly(16384, 16384);
    EXPECT_FALSE(decodePng(huge.data(), huge.size(), 16384, true, image));
    std::vector<unsigned char> overflow = pngWithHeaderOnly(0x7fffffff, 0x7fffffff);
    EXPECT_FALSE(decodePng(overflow.data(), overflow.size(), 0xffffffffu, true, image));
    std::vector<unsigned char> empty = pngWithHeaderOnly(0, 4);
    EXPECT_FALSE(decodePng(empty.data(), empty.size(), 16384, true, image));
    // Whole, but wider than any picture the game loads, however large a texture GL would take.
    const std::string path = tempPath("wide.png");
    ASSERT_TRUE(writePng(path, kMaxPictureSide + 1, 1, 3, std::vector<unsigned char>(3 * 4097)));
    EXPECT_FALSE(decodePngFile(path.c_str(), 16384, true, image));
    std::remove(path.c_str());
}

TEST(PngDecode, HalvingAveragesDownToOnePixel) {
    PngImage image;
    image.width = 3;
    image.height = 1;
    image.channels = 3;
    image.pixels = {0, 0, 0, 100, 100, 100, 255, 255, 255};
    PngImage half = halveImage(image);
    EXPECT_EQ(half.width, 1u);
    EXPECT_EQ(half.height, 1u);
    EXPECT_EQ(half.pixels[0], 50);
    PngImage again = halveImage(half);
    EXPECT_EQ(again.width, 1u);
    EXPECT_EQ(again.height, 1u);
}

namespace {

// Bytes that look like noise but are the same on every run.
PngImage noiseImage(unsigned width, unsigned height, unsigned channels) {
    PngImage image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    std::uint32_t state = 12345u + width * 31u + height * 7u + channels;
    for (std::size_t i = 0; i < std::size_t{width} * height * channels; ++i) {
        state = state * 1664525u + 1013904223u;
        image.pixels.push_back(static_cast<unsigned char>(state >> 24));
    }
    return image;
}

// The next level the plain way: the rounded mean of each 2 x 2 block, a side one texel long
// pairing the texel with itself and an odd side dropping its last texel.
PngImage halvedByHand(const PngImage& image) {
    PngImage half;
    half.width = image.width > 1 ? image.width / 2 : 1;
    half.height = image.height > 1 ? image.height / 2 : 1;
    half.channels = image.channels;
    const auto at = [&image](unsigned x, unsigned y, unsigned k) -> unsigned {
        x = x < image.width ? x : image.width - 1;
        y = y < image.height ? y : image.height - 1;
        return image.pixels[(std::size_t{y} * image.width + x) * image.channels + k];
    };
    for (unsigned y = 0; y < half.height; ++y) {
        for (unsigned x = 0; x < half.width; ++x) {
            for (unsigned k = 0; k < image.channels; ++k) {
                const unsigned sum = at(2 * x, 2 * y, k) + at(2 * x + 1, 2 * y, k) +
                                     at(2 * x, 2 * y + 1, k) + at(2 * x + 1, 2 * y + 1, k);
                half.pixels.push_back(static_cast<unsigned char>((sum + 2) / 4));
            }
        }
    }
    return half;
}

} // namespace

TEST(PngDecode, HalvingIsTheBoxFilterAtEveryDepthForOddAndThinImages) {
    const unsigned sizes[][2] = {{8, 6}, {7, 5}, {1, 9}, {9, 1}, {2, 3}, {1, 1}};
    for (unsigned channels = 1; channels <= 4; ++channels) {
        for (const auto& size : sizes) {
            const PngImage image = noiseImage(size[0], size[1], channels);
            const PngImage expected = halvedByHand(image);
            const PngImage half = halveImage(image);
            EXPECT_EQ(half.width, expected.width);
            EXPECT_EQ(half.height, expected.height);
            EXPECT_EQ(half.channels, channels);
            EXPECT_EQ(half.pixels, expected.pixels)
                << size[0] << " x " << size[1] << ", " << channels << " channels";
        }
    }
}

TEST(PngBind, EveryMipmapLevelHoldsTheImageHalvedOnceMore) {
    ASSERT_TRUE(ensureGlContext());
    const PngImage image = noiseImage(12, 5, 4);
    const std::string path = tempPath("chain.png");
    ASSERT_TRUE(writePng(path, image.width, image.height, 4, image.pixels));
    const unsigned name =
        pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR);
    std::remove(path.c_str());
    ASSERT_NE(name, 0u);

    // 12 x 5, 6 x 2, 3 x 1, 1 x 1: each level read back is the one before it halved.
    ClientAttribScope pixelStore(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    PngImage expected = image;
    for (GLint level = 1; level <= 3; ++level) {
        expected = halvedByHand(expected);
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(static_cast<unsigned>(width), expected.width) << "level " << level;
        ASSERT_EQ(static_cast<unsigned>(height), expected.height) << "level " << level;
        std::vector<unsigned char> texels(expected.pixels.size());
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(texels, expected.pixels) << "level " << level;
    }
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST(PngBind, UploadsWithTheAskedParametersAndAFullMipmapChain) {
    ASSERT_TRUE(ensureGlContext());
    const std::string path = tempPath("bind.png");
    ASSERT_TRUE(writePng(path, 4, 2, 4, twoRows()));

    PngInfo info;
    const unsigned name =
        pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, &info, GL_CLAMP, GL_LINEAR, GL_LINEAR);
    std::remove(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(info.width, 4u);
    EXPECT_TRUE(info.alpha);

    GLint boundName = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundName);
    EXPECT_EQ(static_cast<unsigned>(boundName), name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);

    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA);
    // 4 x 2, 2 x 1, 1 x 1.
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2);

    // The top image row is the first texel row, t = 0.
    std::vector<unsigned char> level0(4 * 2 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
    EXPECT_EQ(level0[0], 255);
    EXPECT_EQ(level0[16 + 2], 255);
}

TEST(PngBind, OpaqueFilesBecomeRgbAndFailuresGiveZero) {
    ASSERT_TRUE(ensureGlContext());
    const std::string path = tempPath("opaque.png");
    ASSERT_TRUE(writePng(path, 2, 2, 3, std::vector<unsigned char>(12, 200)));
    const unsigned name =
        pngBind(path.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR);
    std::remove(path.c_str());
    ASSERT_NE(name, 0u);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGB);

    EXPECT_EQ(pngBind("./no/such/file.png", PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP,
                      GL_LINEAR, GL_LINEAR),
              0u);
    const std::string bomb = tempPath("bomb.png");
    ASSERT_TRUE(writeBytes(bomb, pngWithHeaderOnly(100000, 100000)));
    EXPECT_EQ(
        pngBind(bomb.c_str(), PNG_BUILDMIPMAPS, PNG_ALPHA, nullptr, GL_CLAMP, GL_LINEAR, GL_LINEAR),
        0u);
    std::remove(bomb.c_str());
}

namespace {

void appendChunk(std::vector<unsigned char>& png, const char* type,
                 const std::vector<unsigned char>& data) {
    const auto put32 = [&png](std::uint32_t v) {
        png.insert(png.end(),
                   {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
                    static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)});
    };
    put32(static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(
        static_cast<std::uint32_t>(crc32(0L, &png[start], static_cast<uInt>(png.size() - start))));
}

// A 2 x 1 palette image, red then blue, whose tRNS chunk makes the red entry transparent, with
// the given chunks between the palette and the image data.
std::vector<unsigned char>
paletteImage(const std::vector<std::pair<const char*, std::vector<unsigned char>>>& extra) {
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    appendChunk(png, "IHDR", {0, 0, 0, 2, 0, 0, 0, 1, 8, 3, 0, 0, 0});
    appendChunk(png, "PLTE", {255, 0, 0, 0, 0, 255});
    appendChunk(png, "tRNS", {0});
    for (const auto& [type, data] : extra) {
        appendChunk(png, type, data);
    }
    const unsigned char row[] = {0, 0, 1}; // filter byte, then the two palette indices
    std::vector<unsigned char> idat(compressBound(sizeof row));
    uLongf size = idat.size();
    compress(idat.data(), &size, row, sizeof row);
    idat.resize(size);
    appendChunk(png, "IDAT", idat);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace

TEST(PngDecode, AncillaryChunksAreSkippedUnreadButTransparencyIsKept) {
    const std::vector<unsigned char> expected = {255, 0, 0, 0, 0, 0, 255, 255};
    PngImage plain;
    const std::vector<unsigned char> bytes = paletteImage({});
    ASSERT_TRUE(decodePng(bytes.data(), bytes.size(), 1024, true, plain));
    EXPECT_EQ(plain.channels, 4u);
    EXPECT_EQ(plain.pixels, expected);

    // Chunks that libpng's own handlers would read and complain about. Those handlers allocate
    // whatever a chunk's length claims before finding the file too short for it (a hundred-byte
    // file could cost two gigabytes), so none of them may run: the chunks go unread, silently,
    // and change nothing.
    const std::vector<unsigned char> damaged = paletteImage({{"sRGB", {0, 0}},
                                                             {"gAMA", {0, 0, 0, 0}},
                                                             {"pHYs", {1}},
                                                             {"iCCP", {'x', 0, 7, 1, 2, 3}},
                                                             {"tEXt", {0, 'x'}},
                                                             {"zTXt", {'x', 0, 0, 9, 9}}});
    PngImage image;
    testing::internal::CaptureStderr();
    const bool ok = decodePng(damaged.data(), damaged.size(), 1024, true, image);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(ok);
    EXPECT_EQ(image.pixels, expected);
}
