// Building the type face at start-up: FreeType rasterising the 128 characters at 72 pixels and
// uploading them as textures and display lists, finished on the GPU; and the same for a window at
// twice the picture's size, which rasterises them at 144 pixels.

#include "support/GlContext.h"
#include "ui/Font.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

namespace {

// The game's face, found from this file so the benchmark runs from any folder.
std::string faceFile() {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind("/bench/")) + "/data/fonts/FORTE.TTF";
}

void fontInitAt(benchmark::State& state, float glyphScale) {
    if (!ensureGlContext()) {
        state.SkipWithError("no X display");
        return;
    }
    const std::string file = faceFile();
    for (auto _ : state) {
        Font::instance()->init(file.c_str(), 72, "", glyphScale);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * Font::kGlyphCount);
}
void fontInit(benchmark::State& state) {
    fontInitAt(state, 1.0f);
}
BENCHMARK(fontInit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fontInitAt, twice, 2.0f)->Unit(benchmark::kMillisecond);

} // namespace
