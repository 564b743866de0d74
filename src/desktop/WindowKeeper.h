#pragma once
// Keeps the window whole on the screen once it shows. The plan made before the window existed
// may have guessed the frame (a manager that does not say how large it will be, or says it too
// late), and the desktop changes while the game runs: a laptop undocked, the resolution lowered,
// a panel added. Each time, the window is planned again from the frame the manager really drew
// and the room there is now: smaller where it no longer fits, back up to its full size where it
// fits again, moved the least, and left alone where it is right. Xlib stays out of this header.

#include "desktop/WindowPlacement.h"

#include <optional>

struct _XDisplay;

class WindowKeeper {
  public:
    // Keeps the window, through a connection to its server (the desktop watch's), at fullWidth x
    // fullHeight wherever there is room for that; its size hints say it is of the hinted size now.
    void keep(_XDisplay* display, unsigned long window, int fullWidth, int fullHeight,
              const PixelRect& hinted);
    // Looks at the window's frame and room again after news of these kinds (DesktopWatch's bits,
    // taken since the last call); when they call for another size or place, asks the window
    // manager for it and returns it: the size the window is to be kept at from now on. Only news
    // that can change the room or the frame leads to a look, and a look never waits for the
    // manager. A window that is not shown, or whose size the manager holds (fullscreen,
    // maximised), is left to the manager until it is given back.
    std::optional<PixelRect> refit(unsigned changes);

  private:
    // The frame round the window where the manager has put one, none where no manager frames
    // it; nothing while a manager runs that has not yet taken the window on.
    std::optional<FrameExtents> currentFrame(const PixelRect& window, const PixelRect& screen);
    bool sizedByManager();

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    int fullWidth_ = 0;
    int fullHeight_ = 0;
    // Whether the next call is the first, and whether the last look did not find the window
    // shown, framed and sized by the game.
    bool firstCall_ = false;
    bool lookDue_ = false;
    // The size the window's hints hold it to.
    PixelRect hinted_;
    // What the manager was last asked for while the window is not there yet: a manager that keeps
    // another size is not asked again and again.
    std::optional<PixelRect> asked_;
    // Whether the place asked for was offset once already, for a manager that put it elsewhere.
    bool corrected_ = false;
};
