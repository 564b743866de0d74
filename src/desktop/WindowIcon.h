#pragma once
// The game's icon: one picture, painted by the art tool at each size a desktop asks for and kept
// in the data folder, from where the install puts it into the desktop's icon theme (the desktop
// entry's icon) and the game hands it to its window (the title bar, the task list and the window
// switcher, which read it from the window). The sizes and file names are named here alone; the
// tool writes exactly these files. Xlib stays out of this header, so the art tool can include it.

#include <string>

struct _XDisplay;

// Every size the icon is painted at, in pixels, smallest first.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
// The window carries every size up to this one. Nothing that shows a window's icon draws it any
// larger, and the 256-pixel picture alone would take a quarter of a mebibyte of the X server.
constexpr int kWindowIconLargestSize = 128;

// The file that holds the icon at one size, in the images folder.
inline std::string iconFileName(int size) {
    return "icon-" + std::to_string(size) + ".png";
}

// Sets _NET_WM_ICON on the window from the pictures at every size up to kWindowIconLargestSize,
// read from ./images. A missing or damaged picture is left out, and with none the window has no
// icon of its own (the desktop shows its generic one); nothing is reported. Call it before the
// window is mapped, so the window manager finds the icon when it takes the window on.
void setWindowIcon(_XDisplay* display, unsigned long window);
