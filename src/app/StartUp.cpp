// What the game sets going before main runs. These belong before the first frame and none
// needs the window, and a static initialiser in a file that only the game's own program is built
// from (see CMakeLists.txt) starts them without a step in main:
//
// - The process is made safe from its surroundings first (prepareProcess, ProcessSetUp.h): the
//   worker below opens files and starts a thread, and those must find the standard descriptors
//   open and the environment settled.
// - The heap keeps the memory that a frame frees. Mesa's software renderer frees the memory of
//   its draws at the end of every frame; left to its defaults, glibc hands the top of the heap
//   back to the system each time, and the next frame faults every page of it in again (hundreds
//   of page faults, a tenth of a play frame). A trim threshold above what a frame frees keeps
//   those pages, about a mebibyte. Setting it also fixes the threshold above which an
//   allocation gets its own mapping at glibc's default, so a decoded picture still goes back to
//   the system as soon as it is uploaded.
// - The pictures that start-up uploads are decoded on a worker thread meanwhile: creating the
//   window and its GL context takes longer than decoding them, and needs none of them. The
//   uploads stay where they were, in the same order; they wait only for a picture that is not
//   decoded yet.

#include "app/Game.h"
#include "desktop/ProcessSetUp.h"

#include <malloc.h>

namespace {

// Far above the few mebibytes a play frame frees, far below what the game holds anyway.
constexpr int kKeptHeapBytes = 64 << 20;

struct StartUp {
    StartUp() {
        prepareProcess();
        mallopt(M_TRIM_THRESHOLD, kKeptHeapBytes);
        // Those of a window at the picture's size: main names others once the window's plan
        // calls for them.
        Game::decodePicturesAhead(1.0);
    }
};

const StartUp startUp;

} // namespace
