// The play frame against the least that its pixels cost: the same picture drawn the cheapest way
// this GL allows. The floor copies the background to the window 1:1 (one quad, orthographic
// projection, nearest texel) and draws every quad of the board (127 bodies, 127 rims and the
// sparkles, where, how turned, how large, in what colour and in the order that the game's own
// placeBoardSprites puts them) from one texture that holds all 16 gem pictures, in one draw call
// from vertex arrays. Before either
// benchmark reports a figure it checks, once, that the floor's picture matches the game's own
// frame of the same board, and refuses to report otherwise.
//
// BM_PlayFrameAgainstFloor times the game's frame and the floor's in turn, frame after frame, so
// that both sides of the ratio see the same load. BM_FloorSteps puts the game's own drawing
// choices back on the floor one at a time, to show where the rest of the play frame goes.

#include "PlayScreen.h"
#include "app/View.h"
#include "board/Board.h"
#include "board/BoardPlane.h"
#include "gfx/BoardDrawing.h"
#include "gfx/GemArt.h"
#include "gfx/PngTexture.h"
#include "gfx/Sprite.h"
#include "ui/Backdrop.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The floor, then the game's own choices added one at a time; the last step is the game's frame.
enum Step : int {
    Floor = 0,
    // The background sampled through the linear filter, as the game samples it.
    LinearBackground,
    // Blending and the alpha test on for the background as well as the gems.
    BlendAndAlphaTest,
    // The perspective camera and the depth test that the game draws under.
    CameraAndDepth,
    // The background as the game uploads it: an RGB texture with its mipmap chain.
    RgbBackground,
    // Each picture its own texture and display list, one draw per picture: the game's frame.
    GameFrame,
    kStepCount
};

const char* const kStepNames[kStepCount] = {
    "floor", "linear", "blend", "camera", "rgb", "game",
};

// The gem pictures sit in a 4 x 4 grid, each with a transparent border texel all round: sampled
// at a picture's edge, the linear filter then mixes in transparent black, as it mixes in the
// border colour of the game's own GL_CLAMP textures.
constexpr int kPictureSide = 64;
constexpr int kAtlasCell = kPictureSide + 2;
constexpr int kAtlasColumns = 4;
constexpr int kAtlasSide = kAtlasColumns * kAtlasCell;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

struct Vertex {
    float s = 0.0f;
    float t = 0.0f;
    float rgba[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float x = 0.0f;
    float y = 0.0f;
};

// The board's quads, four vertices each: every picture the game draws, where and in the order
// the game's own placement puts it, its unit square mapped into the atlas.
class BoardQuads {
  public:
    explicit BoardQuads(const Board& board) {
        placeBoardSprites(board, [this](const BoardSprite& sprite) { place(sprite); });
    }

    const std::vector<Vertex>& vertices() const { return vertices_; }

  private:
    void place(const BoardSprite& sprite) {
        const int slot = slotOf(sprite.list);
        if (slot < 0) {
            return;
        }
        const double left = (slot % kAtlasColumns) * kAtlasCell + 1;
        const double top = (slot / kAtlasColumns) * kAtlasCell + 1;
        // The sprite's matrix: scaled, turned counter-clockwise, moved.
        const double cs = sprite.size * std::cos(sprite.angle * kRadiansPerDegree);
        const double sn = sprite.size * std::sin(sprite.angle * kRadiansPerDegree);
        for (const QuadCorner& corner : kUnitQuad) {
            Vertex v;
            v.s = static_cast<float>((left + corner.s * kPictureSide) / kAtlasSide);
            v.t = static_cast<float>((top + corner.t * kPictureSide) / kAtlasSide);
            std::copy(sprite.colour.begin(), sprite.colour.end(), v.rgba);
            v.x = static_cast<float>(sprite.x + cs * corner.x - sn * corner.y);
            v.y = static_cast<float>(sprite.y + sn * corner.x + cs * corner.y);
            vertices_.push_back(v);
        }
    }

    // The atlas slot of a gem picture's list: GemArt knows which file each list shows.
    static int slotOf(SpriteList list) {
        const GemArt* art = gemArt();
        for (int slot = 0; slot < GemArt::kSlotCount; ++slot) {
            if (art->slot(slot) == list) {
                return slot;
            }
        }
        return -1;
    }

    std::vector<Vertex> vertices_;
};

// The floor's textures and vertices, made once; draw() gives one frame at a step of the ladder.
class SamePixels {
  public:
    explicit SamePixels(const Board& board) : quads_(board) {
        // The game's own files, read from the data folder the benchmarks run in; the background
        // is the backdrops' first.
        PngImage background;
        ok_ = decodePngFile(Backdrop::path(0), kMaxPictureSide, true, background);
        // Four bytes a texel, as the window's pixels are; GL adds the opaque alpha.
        copyTexture_ =
            textureFromImage(background, PNG_NOMIPMAPS, GL_CLAMP, GL_NEAREST, GL_NEAREST, GL_RGBA);
        linearTexture_ =
            textureFromImage(background, PNG_NOMIPMAPS, GL_CLAMP, GL_LINEAR, GL_LINEAR, GL_RGBA);
        rgbTexture_ =
            textureFromImage(background, PNG_BUILDMIPMAPS, GL_CLAMP, GL_LINEAR, GL_LINEAR);

        PngImage atlas;
        atlas.width = kAtlasSide;
        atlas.height = kAtlasSide;
        atlas.channels = 4;
        atlas.pixels.assign(std::size_t{kAtlasSide} * kAtlasSide * 4, 0);
        for (int slot = 0; slot < GemArt::kSlotCount; ++slot) {
            PngImage picture;
            ok_ = decodePngFile(GemArt::path(slot), kMaxPictureSide, true, picture) &&
                  picture.width == kPictureSide && picture.height == kPictureSide &&
                  picture.channels == 4 && ok_;
            if (!ok_) {
                continue;
            }
            const std::size_t left = (slot % kAtlasColumns) * kAtlasCell + 1;
            const std::size_t top = (slot / kAtlasColumns) * kAtlasCell + 1;
            for (int y = 0; y < kPictureSide; ++y) {
                std::copy_n(&picture.pixels[std::size_t{4} * kPictureSide * y], 4 * kPictureSide,
                            &atlas.pixels[4 * ((top + y) * kAtlasSide + left)]);
            }
        }
        atlasTexture_ = textureFromImage(atlas, PNG_NOMIPMAPS, GL_CLAMP, GL_LINEAR, GL_LINEAR);
    }

    bool ok() const { return ok_; }

    void draw(Step step, bool withBoard = true) const {
        const bool camera = step >= CameraAndDepth;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        if (!camera) {
            glLoadIdentity();
            glOrtho(BoardPlane::kLeft, BoardPlane::kRight, BoardPlane::kBottom, BoardPlane::kTop,
                    -1.0, 1.0);
        }
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        if (camera) {
            View::instance()->applyTransform();
        } else {
            glLoadIdentity();
            glDisable(GL_DEPTH_TEST);
        }

        const bool blendAll = step >= BlendAndAlphaTest;
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_GREATER, 0.0f);
        if (blendAll) {
            glEnable(GL_BLEND);
            glEnable(GL_ALPHA_TEST);
        }
        glBindTexture(GL_TEXTURE_2D, step >= RgbBackground      ? rgbTexture_
                                     : step >= LinearBackground ? linearTexture_
                                                                : copyTexture_);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        // The unit square stretched over the plane's rectangle, as the backdrop is.
        const double width = BoardPlane::kRight - BoardPlane::kLeft;
        const double height = BoardPlane::kTop - BoardPlane::kBottom;
        glBegin(GL_QUADS);
        for (const QuadCorner& corner : kUnitQuad) {
            glTexCoord2f(corner.s, corner.t);
            glVertex2d(BoardPlane::kLeft + (corner.x + 0.5) * width,
                       BoardPlane::kBottom + (corner.y + 0.5) * height);
        }
        glEnd();

        if (withBoard) {
            drawBoardQuads();
        }

        // Back to the state the game's frames expect.
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

  private:
    void drawBoardQuads() const {
        // Blending is what the gems' soft edges need.
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, atlasTexture_);
        const std::vector<Vertex>& vertices = quads_.vertices();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices[0].s);
        glColorPointer(4, GL_FLOAT, sizeof(Vertex), vertices[0].rgba);
        glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &vertices[0].x);
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

    BoardQuads quads_;
    bool ok_ = false;
    GLuint copyTexture_ = 0;
    GLuint linearTexture_ = 0;
    GLuint rgbTexture_ = 0;
    GLuint atlasTexture_ = 0;
};

void drawStep(const SamePixels& floor, const Board& board, Step step) {
    if (step == GameFrame) {
        drawPlayFrame(board);
    } else {
        floor.draw(step);
    }
}

using Picture = std::vector<unsigned char>;

Picture readWindow() {
    Picture pixels(std::size_t{BoardPlane::kPictureWidth} * BoardPlane::kPictureHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, BoardPlane::kPictureWidth, BoardPlane::kPictureHeight, GL_RGB,
                 GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

// How far two pictures are apart: the share of pixels whose channels all lie within kClose
// levels, and the largest difference of any channel.
struct Difference {
    double closeShare = 0.0;
    int largest = 0;
};
constexpr int kClose = 2;

Difference compare(const Picture& a, const Picture& b) {
    Difference difference;
    std::size_t close = 0;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int worst = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            worst = std::max(worst, std::abs(static_cast<int>(a[i + k]) - b[i + k]));
        }
        close += worst <= kClose ? 1 : 0;
        difference.largest = std::max(difference.largest, worst);
    }
    difference.closeShare = static_cast<double>(close) / static_cast<double>(a.size() / 3);
    return difference;
}

// What a step's picture may differ from the game's by: edges drawn from slightly different
// vertex positions, and texels weighed by slightly different filter weights. A missing or
// misplaced gem, a wrong colour or a wrong picture changes thousands of pixels by far more.
constexpr double kMinCloseShare = 0.999;
// The gems' pictures cover about 30% of the window: without the board, at most 90% of the
// pixels may stay as they are.
constexpr double kMaxBoardlessShare = 0.9;

// The check, made once: every step's picture against the game's own frame, and the game's frame
// against the background alone (so that a board that failed to show cannot pass).
struct Verdict {
    bool ok = false;
    std::string why;
    Difference floor;
};

const Verdict& verdict(const SamePixels& floor, const Board& board) {
    static const Verdict result = [&floor, &board] {
        Verdict v;
        if (!floor.ok()) {
            v.why = "the floor could not read the game's pictures";
            return v;
        }
        drawPlayFrame(board);
        glFinish();
        const Picture game = readWindow();
        glutSwapBuffers();
        // The same frame without its board must look clearly different.
        floor.draw(Floor, false);
        glFinish();
        const Picture background = readWindow();
        glutSwapBuffers();
        if (compare(background, game).closeShare > kMaxBoardlessShare) {
            v.why = "the game's frame shows no board";
            return v;
        }
        char line[160];
        for (int step = Floor; step < GameFrame; ++step) {
            floor.draw(static_cast<Step>(step));
            glFinish();
            const Difference d = compare(readWindow(), game);
            glutSwapBuffers();
            std::snprintf(line, sizeof line, "%s%s: %.4f%% of pixels within %d, largest %d",
                          step == Floor ? "" : "; ", kStepNames[step], 100.0 * d.closeShare, kClose,
                          d.largest);
            v.why += line;
            if (step == Floor) {
                v.floor = d;
            }
            if (d.closeShare < kMinCloseShare) {
                v.why = "the floor's picture is not the game's (" + v.why + ")";
                return v;
            }
        }
        v.ok = true;
        std::fprintf(stderr, "%s\n", v.why.c_str());
        return v;
    }();
    return result;
}

SamePixels& samePixels(const Board& board) {
    static SamePixels* const floor = new SamePixels(board);
    return *floor;
}

struct FrameCost {
    double clockSeconds = 0.0;
    double processorSeconds = 0.0;
    long faults = 0;
};

using Clock = std::chrono::steady_clock;

// One whole frame of a step, swapped and finished, added to its running cost.
void timeFrame(const SamePixels& floor, const Board& board, Step step, FrameCost& cost) {
    const long faults = minorFaults();
    const double processor = processSeconds();
    const Clock::time_point start = Clock::now();
    drawStep(floor, board, step);
    glutSwapBuffers();
    glFinish();
    cost.clockSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    cost.processorSeconds += processSeconds() - processor;
    cost.faults += minorFaults() - faults;
}

// The two sides take turns in runs of frames, so that each side's frames follow its own, as they
// do in the game, and the driver's and the heap's state is that side's steady one; the first
// frame of a run, which follows the other side's frames, is not counted.
constexpr int kFramesInTurn = 8;

void timeFrames(const SamePixels& floor, const Board& board, Step step, FrameCost& cost) {
    FrameCost first;
    timeFrame(floor, board, step, first);
    for (int i = 0; i < kFramesInTurn; ++i) {
        timeFrame(floor, board, step, cost);
    }
}

// Skips the benchmark, with the reason, unless the floor is ready and draws the game's picture.
// Counters: how closely the floor's picture matched the game's (the share of pixels within 2
// levels, in per cent, and the largest difference of any channel).
const SamePixels* checkedFloor(benchmark::State& state, const Board*& board) {
    if (!preparePlayScreen(state)) {
        return nullptr;
    }
    board = &midGameBoard();
    const SamePixels& floor = samePixels(*board);
    const Verdict& v = verdict(floor, *board);
    if (!v.ok) {
        state.SkipWithError(v.why.c_str());
        return nullptr;
    }
    state.counters["same_px_%"] = 100.0 * v.floor.closeShare;
    state.counters["largest_diff"] = v.floor.largest;
    return &floor;
}

void reportAgainstFloor(benchmark::State& state, const FrameCost& floor, const FrameCost& other,
                        const std::string& name, double frames) {
    state.counters[name + "_ms"] = 1e3 * other.clockSeconds / frames;
    state.counters[name + "_x"] = other.clockSeconds / floor.clockSeconds;
    state.counters[name + "_cpu_x"] = other.processorSeconds / floor.processorSeconds;
}

} // namespace

// The play frame and the floor, in turns. Counters: the floor's and the game's clock time a
// frame, the game's frame against the floor's by the clock (game_x) and in processor time of the
// whole process (game_cpu_x), and each side's minor page faults a frame.
static void BM_PlayFrameAgainstFloor(benchmark::State& state) {
    const Board* board = nullptr;
    const SamePixels* floor = checkedFloor(state, board);
    if (floor == nullptr) {
        return;
    }
    FrameCost floorCost;
    FrameCost gameCost;
    for (auto _ : state) {
        timeFrames(*floor, *board, Floor, floorCost);
        timeFrames(*floor, *board, GameFrame, gameCost);
    }
    const double frames = static_cast<double>(state.iterations()) * kFramesInTurn;
    state.counters["floor_ms"] = 1e3 * floorCost.clockSeconds / frames;
    state.counters["floor_cpu_ms"] = 1e3 * floorCost.processorSeconds / frames;
    state.counters["game_cpu_ms"] = 1e3 * gameCost.processorSeconds / frames;
    reportAgainstFloor(state, floorCost, gameCost, "game", frames);
    state.counters["floor_faults"] = static_cast<double>(floorCost.faults) / frames;
    state.counters["game_faults"] = static_cast<double>(gameCost.faults) / frames;
}
BENCHMARK(BM_PlayFrameAgainstFloor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The ladder from the floor to the game's frame, the steps drawn in turns: each
// step's clock time a frame and its ratio to the floor, by the clock and in processor time.
static void BM_FloorSteps(benchmark::State& state) {
    const Board* board = nullptr;
    const SamePixels* floor = checkedFloor(state, board);
    if (floor == nullptr) {
        return;
    }
    FrameCost costs[kStepCount];
    for (auto _ : state) {
        for (int step = Floor; step < kStepCount; ++step) {
            timeFrames(*floor, *board, static_cast<Step>(step), costs[step]);
        }
    }
    const double frames = static_cast<double>(state.iterations()) * kFramesInTurn;
    state.counters["floor_ms"] = 1e3 * costs[Floor].clockSeconds / frames;
    for (int step = LinearBackground; step < kStepCount; ++step) {
        reportAgainstFloor(state, costs[Floor], costs[step], kStepNames[step], frames);
    }
}
BENCHMARK(BM_FloorSteps)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
