#pragma once
// Boards for the rules tests. The game never destroys its board or its gems, so the tests keep
// theirs for the life of the process too, where the leak checker can still reach them.

#include "board/Board.h"

#include <vector>

inline Board& keptBoard(unsigned seed = 1) {
    static std::vector<Board*>* const kept = new std::vector<Board*>();
    kept->push_back(new Board(seed));
    return *kept->back();
}
