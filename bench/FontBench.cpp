// Building the type face at start-up: FreeType rasterising the 128 characters at 72 pixels and
// uploading them as textures and display lists, finished on the GPU.

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

void fontInit(benchmark::State& state) {
    if (!ensureGlContext()) {
        state.SkipWithError("no X display");
        return;
    }
    const std::string file = faceFile();
    for (auto _ : state) {
        Font::instance()->init(file.c_str(), 72);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * Font::kGlyphCount);
}
BENCHMARK(fontInit)->Unit(benchmark::kMillisecond);

} // namespace
