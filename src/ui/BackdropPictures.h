#pragma once
// Where the three full-window pictures lie, in the order Backdrop loads them: the play-screen
// background, the title and the instructions. The game loads them from here and the art tool
// writes them here, so the two cannot disagree on a name. No GL: the art tool reads it.

constexpr int kBackdropPictureCount = 3;
constexpr const char* kBackdropPicturePaths[kBackdropPictureCount] = {
    "./images/background.png",
    "./images/titlescreen.png",
    "./images/instructions.png",
};
