// Writes the desktop icon at the sizes the desktop's icon theme asks for.
// Usage: make_icons <icons-dir>, which receives hexaglint-<size>.png for each size.

#include "art/Canvas.h"
#include "art/IconPainter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <icons-dir>\n");
        return 2;
    }
    for (const int size : {48, 64, 128, 256}) {
        Canvas canvas(size, size);
        paintIcon(canvas);
        const std::string path =
            std::string(argv[1]) + "/hexaglint-" + std::to_string(size) + ".png";
        if (!writePng(toPixels(canvas), path, true)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}
