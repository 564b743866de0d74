// Loading the pictures at start-up: the 16 gem images and the 3 backdrops each made into a sprite
// (decoded, mipmap chain built and uploaded, display list compiled, finished on the GPU), and,
// apart, the two parts of that work that are our own: decoding the files and halving the images
// down to 1 x 1. The _2x cases load the pictures a window at twice the picture's size loads.

#include "gfx/GemArt.h"
#include "gfx/PictureScale.h"
#include "gfx/PngTexture.h"
#include "gfx/Sprite.h"
#include "support/GlContext.h"
#include "ui/BackdropPictures.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

enum class Images { Gems, Backdrops, All };

// The game's data folder, found from this file so the benchmark runs from any folder.
std::string dataDir() {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/bench/")) + "/data";
}

// The 1x files; scale names the files of that scale instead.
std::vector<std::string> imagePaths(Images which, int scale = kNormalPictures) {
    std::vector<std::string> paths;
    if (which != Images::Backdrops) {
        for (int slot = 0; slot < GemArt::kSlotCount; ++slot) {
            // The game's paths start with "./".
            paths.push_back(dataDir() + "/" + scaledPicturePath(GemArt::path(slot) + 2, scale));
        }
    }
    if (which != Images::Gems) {
        for (const char* path : kBackdropPicturePaths) {
            paths.push_back(dataDir() + "/" + scaledPicturePath(path + 2, scale));
        }
    }
    return paths;
}

std::vector<PngImage> decodeAll(const std::vector<std::string>& paths) {
    std::vector<PngImage> images(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        decodePngFile(paths[i].c_str(), kMaxPictureSide, true, images[i]);
    }
    return images;
}

void loadSprites(benchmark::State& state, Images which, int scale = kNormalPictures) {
    if (!ensureGlContext()) {
        state.SkipWithError("no X display");
        return;
    }
    const std::vector<std::string> paths = imagePaths(which);
    std::vector<SpriteList> lists(paths.size(), -1);
    std::vector<GLuint> textures(paths.size(), 0);
    for (auto _ : state) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            lists[i] = -1;
            loadScaledSprite(lists[i], paths[i].c_str(), scale);
            // The texture the sprite was given is the one its loading left bound.
            GLint texture = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
            textures[i] = static_cast<GLuint>(texture);
        }
        glFinish();
        // The game keeps its pictures for good; here they go again so memory stays flat.
        state.PauseTiming();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            glDeleteLists(static_cast<GLuint>(lists[i]), 1);
        }
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glFinish();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK_CAPTURE(loadSprites, all19, Images::All)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadSprites, gems16, Images::Gems)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadSprites, backdrops3, Images::Backdrops)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadSprites, gems16_2x, Images::Gems, kDoublePictures)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadSprites, backdrops3_2x, Images::Backdrops, kDoublePictures)
    ->Unit(benchmark::kMillisecond);

void decodeImages(benchmark::State& state, Images which, int scale = kNormalPictures) {
    const std::vector<std::string> paths = imagePaths(which, scale);
    for (auto _ : state) {
        for (const std::string& path : paths) {
            PngImage image;
            benchmark::DoNotOptimize(decodePngFile(path.c_str(), kMaxPictureSide, true, image));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK_CAPTURE(decodeImages, all19, Images::All)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeImages, gems16, Images::Gems)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeImages, backdrops3, Images::Backdrops)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeImages, gems16_2x, Images::Gems, kDoublePictures)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeImages, backdrops3_2x, Images::Backdrops, kDoublePictures)
    ->Unit(benchmark::kMillisecond);

void mipmapChains(benchmark::State& state, Images which) {
    const std::vector<PngImage> images = decodeAll(imagePaths(which));
    for (auto _ : state) {
        for (const PngImage& image : images) {
            PngImage level = halveImage(image);
            while (level.width > 1 || level.height > 1) {
                level = halveImage(level);
            }
            benchmark::DoNotOptimize(level.pixels.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(images.size()));
}
BENCHMARK_CAPTURE(mipmapChains, all19, Images::All)->Unit(benchmark::kMillisecond);

} // namespace
