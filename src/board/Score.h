#pragma once
// The score: the number of locked gems found by the board's last tally, 0 before the first one.
// The final-score line on the game-over screen reads it.

extern int score;
