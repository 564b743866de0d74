#pragma once
// The score: how many gems are locked, as counted by the board's last tally. 0 before the first.

extern int score;
