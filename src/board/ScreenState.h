#pragma once
// The screen the game is on. The mouse moves the still screens on; the board's tally ends play,
// which is why the rules own it.

enum ScreenState : int {
    Title = 0,
    Instructions = 1,
    Playing = 2,
    GameOver = 3,
};

// The current screen: Title at start-up.
extern ScreenState screenState;
