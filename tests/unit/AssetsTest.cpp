// The shipped data files, checked for what the game relies on: gem pictures that take a colour
// tint and blend cleanly, opaque full-screen pictures, a face that covers ASCII, a chime the
// sound output accepts and music that loops without a gap. Runs in data/, like the game.

#include "board/Gem.h"
#include "gfx/GemArt.h"
#include "gfx/PngTexture.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

enum GemKind { Fill, Outline, OutlineWhite };

// The files the game loads for a gem's pictures, so that a slot given a picture of the wrong
// kind, or none, fails here.
std::string gemPath(int sides, GemKind kind) {
    return GemArt::path(GemArt::kKindsPerShape * (sides - Gem::kMinSides) + kind);
}

PngImage load(const std::string& path) {
    PngImage image;
    EXPECT_TRUE(decodePngFile(path.c_str(), 4096, true, image)) << path;
    return image;
}

const unsigned char* pixel(const PngImage& image, unsigned x, unsigned y) {
    return &image.pixels[(static_cast<size_t>(y) * image.width + x) * image.channels];
}

unsigned alphaAt(const PngImage& image, unsigned x, unsigned y) {
    return image.channels == 4 ? pixel(image, x, y)[3] : 255;
}

double luminance(const unsigned char* p) {
    return (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255.0;
}

bool isPowerOfTwo(unsigned v) {
    return v != 0 && (v & (v - 1)) == 0;
}

// A square RGBA sprite: transparent in all four corners, so the square never shows.
void expectSpriteFrame(const PngImage& image, const std::string& path) {
    ASSERT_EQ(image.channels, 4u) << path;
    EXPECT_EQ(image.width, image.height) << path;
    EXPECT_TRUE(isPowerOfTwo(image.width)) << path;
    const unsigned last = image.width - 1;
    EXPECT_EQ(alphaAt(image, 0, 0), 0u) << path;
    EXPECT_EQ(alphaAt(image, last, 0), 0u) << path;
    EXPECT_EQ(alphaAt(image, 0, last), 0u) << path;
    EXPECT_EQ(alphaAt(image, last, last), 0u) << path;
}

std::vector<unsigned char> readBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint32_t le16(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

} // namespace

TEST(GemImages, BodiesAreOpaquePolygonsThatReachTheSquaresEdge) {
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const std::string path = gemPath(sides, Fill);
        const PngImage fill = load(path);
        expectSpriteFrame(fill, path);
        if (fill.channels != 4) {
            continue;
        }
        const unsigned c = fill.width / 2;
        EXPECT_EQ(alphaAt(fill, c, c), 255u) << path;
        // Gems sit about 6.6 units apart but are drawn 5 wide: the body must fill its square
        // nearly to the edge, or the board looks sparse. Every shape has a corner at the top.
        unsigned top = 0;
        while (top < fill.height && alphaAt(fill, c, top) < 128) {
            ++top;
        }
        EXPECT_LE(top, fill.height / 32) << path;
    }
}

TEST(GemImages, BodiesArePaleAndNeutralSoThatTheTintDecidesTheColour) {
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const std::string path = gemPath(sides, Fill);
        const PngImage fill = load(path);
        ASSERT_EQ(fill.channels, 4u) << path;
        double sum = 0.0;
        size_t count = 0;
        int worstCast = 0;
        double darkestEdge = 1.0;
        for (unsigned y = 0; y < fill.height; ++y) {
            for (unsigned x = 0; x < fill.width; ++x) {
                const unsigned char* p = pixel(fill, x, y);
                if (p[3] == 255) {
                    sum += luminance(p);
                    ++count;
                    worstCast = std::max({worstCast, std::abs(p[0] - p[1]), std::abs(p[1] - p[2])});
                } else if (p[3] > 0) {
                    // Filtering mixes these into the edge: black here would draw a dark fringe.
                    darkestEdge = std::min(darkestEdge, luminance(p));
                }
            }
        }
        ASSERT_GT(count, 0u) << path;
        // Green at full strength times the body must still read as bright green, and a faded
        // gem (tint 0.4) as grey rather than black.
        EXPECT_GT(sum / count, 0.7) << path;
        EXPECT_LE(worstCast, 3) << path;
        EXPECT_GT(darkestEdge, 0.3) << path;
    }
}

TEST(GemImages, RimsLieOnTheBodysEdgeAndTheWhiteRimMatchesTheDarkOne) {
    for (int sides = Gem::kMinSides; sides <= Gem::kMaxSides; ++sides) {
        const PngImage fill = load(gemPath(sides, Fill));
        const std::string darkPath = gemPath(sides, Outline);
        const std::string whitePath = gemPath(sides, OutlineWhite);
        const PngImage dark = load(darkPath);
        const PngImage white = load(whitePath);
        expectSpriteFrame(dark, darkPath);
        expectSpriteFrame(white, whitePath);
        ASSERT_EQ(dark.width, fill.width) << darkPath;
        ASSERT_EQ(white.width, fill.width) << whitePath;
        ASSERT_EQ(dark.channels, 4u);
        ASSERT_EQ(white.channels, 4u);

        const double half = fill.width / 2.0;
        EXPECT_EQ(alphaAt(dark, fill.width / 2, fill.width / 2), 0u) << darkPath;
        size_t rim = 0;
        size_t strays = 0; // opaque rim texels off the body or away from its edge
        double darkSum = 0.0;
        double whiteSum = 0.0;
        int alphaMismatch = 0;
        for (unsigned y = 0; y < fill.height; ++y) {
            for (unsigned x = 0; x < fill.width; ++x) {
                alphaMismatch =
                    std::max(alphaMismatch, std::abs(static_cast<int>(alphaAt(dark, x, y)) -
                                                     static_cast<int>(alphaAt(white, x, y))));
                if (alphaAt(dark, x, y) != 255) {
                    continue;
                }
                ++rim;
                const double r = std::hypot(x + 0.5 - half, y + 0.5 - half);
                strays += alphaAt(fill, x, y) == 0 || r < half * 0.7;
                darkSum += luminance(pixel(dark, x, y));
                whiteSum += luminance(pixel(white, x, y));
            }
        }
        ASSERT_GT(rim, fill.width * 2u) << darkPath;
        EXPECT_EQ(strays, 0u) << darkPath;
        EXPECT_LE(alphaMismatch, 2) << whitePath;
        EXPECT_LT(darkSum / rim, 0.6) << darkPath;    // darker than the body under the same tint
        EXPECT_GT(whiteSum / rim, 0.85) << whitePath; // reads white on a dead gem
    }
}

TEST(GemImages, HighlightIsAWhiteTwinkleOnTransparency) {
    const PngImage star = load(GemArt::path(GemArt::kHighlightSlot));
    expectSpriteFrame(star, "Highlight.png");
    ASSERT_EQ(star.channels, 4u);
    const unsigned c = star.width / 2;
    EXPECT_EQ(alphaAt(star, c, c), 255u);
    EXPECT_GT(luminance(pixel(star, c, c)), 0.97);
    // Mostly clear: a twinkle, not a blob.
    size_t covered = 0;
    for (unsigned y = 0; y < star.height; ++y) {
        for (unsigned x = 0; x < star.width; ++x) {
            covered += alphaAt(star, x, y) > 128;
        }
    }
    EXPECT_LT(covered, star.width * star.height / 8);
}

TEST(ScreenImages, AreFourByThreeAndOpaqueEverywhere) {
    for (const char* path :
         {"./images/background.png", "./images/titlescreen.png", "./images/instructions.png"}) {
        const PngImage image = load(path);
        EXPECT_EQ(image.width * 3, image.height * 4) << path;
        EXPECT_GE(image.width, 1024u) << path;
        unsigned lowest = 255;
        for (unsigned y = 0; y < image.height; ++y) {
            for (unsigned x = 0; x < image.width; ++x) {
                lowest = std::min(lowest, alphaAt(image, x, y));
            }
        }
        // The background is drawn with the alpha test on: any clear texel would leave a hole.
        EXPECT_EQ(lowest, 255u) << path;
    }
}

TEST(TypeFace, OpensAndMapsEveryPrintableAsciiCharacter) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, "./fonts/FORTE.TTF", 0, &face), 0);
    for (FT_ULong c = 32; c <= 126; ++c) {
        EXPECT_NE(FT_Get_Char_Index(face, c), 0u) << "character " << static_cast<char>(c);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    // The face's licence asks to travel with it.
    EXPECT_FALSE(readBytes("./fonts/LICENSE-LeckerliOne.txt").empty());
}

TEST(Sounds, GlitterIsAShortCleanSixteenBitWaveAt44100Hz) {
    const std::vector<unsigned char> wav = readBytes("./audio/glitter.wav");
    ASSERT_GE(wav.size(), 44u);
    ASSERT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
    ASSERT_EQ(std::memcmp(wav.data() + 8, "WAVE", 4), 0);
    size_t at = 12;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
    uint32_t format = 0;
    size_t dataAt = 0;
    uint32_t dataSize = 0;
    while (at + 8 <= wav.size()) {
        const uint32_t size = le32(wav, at + 4);
        if (std::memcmp(&wav[at], "fmt ", 4) == 0) {
            format = le16(wav, at + 8);
            channels = le16(wav, at + 10);
            rate = le32(wav, at + 12);
            bits = le16(wav, at + 22);
        } else if (std::memcmp(&wav[at], "data", 4) == 0) {
            dataAt = at + 8;
            dataSize = size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_EQ(format, 1u); // plain PCM
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(bits, 16u);
    ASSERT_TRUE(channels == 1 || channels == 2) << channels;
    ASSERT_GT(dataAt, 0u);
    ASSERT_LE(dataAt + dataSize, wav.size());
    const double seconds = static_cast<double>(dataSize) / (2.0 * channels * rate);
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0);

    int peak = 0;
    for (size_t i = dataAt; i + 1 < dataAt + dataSize; i += 2) {
        peak = std::max(peak, std::abs(static_cast<int16_t>(le16(wav, i))));
    }
    EXPECT_GT(peak, 8000);  // audible
    EXPECT_LT(peak, 32000); // and never clipped
}

TEST(Sounds, MusicIsAnMp3WithTheEncodersGaplessTag) {
    const std::vector<unsigned char> mp3 = readBytes("./audio/backgroundmusic.mp3");
    // 30 to 60 seconds at about 128 kbit/s, and small enough to ship.
    EXPECT_GT(mp3.size(), 400000u);
    EXPECT_LT(mp3.size(), 1100000u);
    ASSERT_GT(mp3.size(), 200u);
    // Starts with an MPEG audio frame.
    EXPECT_EQ(mp3[0], 0xff);
    EXPECT_EQ(mp3[1] & 0xe0, 0xe0);
    // The first frame carries the Info tag with the encoder delay and padding; without it the
    // decoder plays them as silence and the loop gains a gap.
    const std::string head(mp3.begin(), mp3.begin() + 200);
    EXPECT_TRUE(head.find("Info") != std::string::npos || head.find("Xing") != std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);
}
