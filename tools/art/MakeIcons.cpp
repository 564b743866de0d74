// Writes the game's icon at every size desktop/WindowIcon.h names.
// Usage: make_icons <images-dir>, which receives the files iconFileName gives.

#include "art/Canvas.h"
#include "art/IconPainter.h"
#include "desktop/WindowIcon.h"

#include <cstdio>
#include <string>

namespace {

// Painted below this size, a gem is a few pixels of rim round a dot, and the seven stand apart
// as specks; a picture painted four times larger and averaged down keeps their bodies and fills
// the square as the larger sizes do.
constexpr int kSmallestPaintedSize = 48;
constexpr int kSmallSizeOversampling = 4;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <images-dir>\n");
        return 2;
    }
    for (const int size : kIconSizes) {
        Canvas canvas(size, size);
        if (size >= kSmallestPaintedSize) {
            paintIcon(canvas);
        } else {
            Canvas large(size * kSmallSizeOversampling, size * kSmallSizeOversampling);
            paintIcon(large);
            shrink(large, canvas);
        }
        const std::string path = std::string(argv[1]) + "/" + iconFileName(size);
        if (!writePng(toPixels(canvas), path, true)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}
