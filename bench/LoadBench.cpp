// Loading the pictures at start-up: the 16 gem images and the 3 backdrops each made into a sprite
// (decoded, mipmap chain built and uploaded, display list compiled, finished on the GPU), and,
// apart, the two parts of that work that are our own: decoding the files and halving the images
// down to 1 x 1.

#include "gfx/GemArt.h"
#include "gfx/PngTexture.h"
#include "gfx/Sprite.h"
#include "support/GlContext.h"

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

std::vector<std::string> imagePaths(Images which) {
    std::vector<std::string> paths;
    if (which != Images::Backdrops) {
        for (int slot = 0; slot < GemArt::kSlotCount; ++slot) {
            // The game's paths start with "./".
            paths.push_back(dataDir() + "/" + (GemArt::path(slot) + 2));
        }
    }
    if (which != Images::Gems) {
        for (const char* name : {"background", "titlescreen", "instructions"}) {
            paths.push_back(dataDir() + "/images/" + name + ".png");
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

void loadSprites(benchmark::State& state, Images which) {
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
            int texture = -1;
            loadSprite(lists[i], texture, paths[i].c_str());
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

void decodeImages(benchmark::State& state, Images which) {
    const std::vector<std::string> paths = imagePaths(which);
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
