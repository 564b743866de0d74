// Board generation, the per-frame update, the swap with its group locking, and the tally.

#include "board/Board.h"

#include "board/Gem.h"
#include "board/ScreenState.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace {

constexpr float kStartSpin = 5.0f;
// The game ends when this many loose gems or fewer remain.
constexpr int kLastLooseGems = 5;

bool isCell(int cell) {
    return cell >= 0 && cell < Board::kCellCount;
}

} // namespace

Board::Board() : Board(static_cast<unsigned>(std::time(nullptr))) {}

Board::Board(unsigned seed) {
    std::srand(seed);
    // The draws alternate side count and colour (the gem draws its own), cell by cell.
    for (int i = 0; i < kCellCount; ++i) {
        const int sides = Gem::kMinSides + std::rand() % Gem::kShapeCount;
        Gem* gem = new Gem(sides);
        gem->board = this;
        gem->index = i;
        cells[i] = gem;
        gem->setSpin(kStartSpin);
    }

    // Re-roll neighbours until no two neighbouring cells share a colour, so the game starts
    // without a single pair. A re-roll may land on another match; a later comparison or the next
    // pass catches it.
    bool changed = true;
    while (changed) {
        changed = false;
        for (int j = 0; j < kCellCount; ++j) {
            for (int neighbour : neighbourCells(j)) {
                if (cells[neighbour]->colour() == cells[j]->colour()) {
                    cells[neighbour]->setColour(std::rand() % Gem::kColourCount);
                    changed = true;
                }
            }
        }
    }
    selected = -1;
}

void Board::update(float dt) {
    for (Gem* gem : cells) {
        gem->update(dt);
    }
}

void Board::swap(int a, int b) {
    selected = -1;
    if (!isCell(a) || !isCell(b) || a == b) {
        return;
    }
    Gem& first = *cells[a];
    Gem& second = *cells[b];
    // Only loose gems move. A dead gem is refused as well: the click handler already refuses a
    // dead clicked gem, but the selected one may have died while waiting for the second click.
    if (!first.fading || !second.fading || first.dead || second.dead) {
        return;
    }
    const NeighbourCells& around = neighbourCells(a);
    if (std::find(around.begin(), around.end(), b) == around.end()) {
        return;
    }
    first.tradeVisibleState(second);
    resolveSwap(a, b);
}

void Board::resolveSwap(int a, int b) {
    for (int origin : {a, b}) {
        std::vector<int> group;
        collectGroup(origin, group);
        // A swapped cell with company locks itself and its whole group. The search may already
        // have come back to the origin; locking twice does no harm.
        if (!group.empty()) {
            group.push_back(origin);
        }
        for (int cell : group) {
            cells[cell]->lock();
        }
    }
}

void Board::collectGroup(int cell, std::vector<int>& group) const {
    // A cell off the board has no neighbours, so no group either; resolveSwap then locks nothing.
    if (!isCell(cell)) {
        return;
    }
    const int colour = cells[cell]->colour();
    for (int neighbour : neighbourCells(cell)) {
        const Gem& gem = *cells[neighbour];
        if (gem.colour() != colour || gem.dead) {
            continue;
        }
        if (std::find(group.begin(), group.end(), neighbour) != group.end()) {
            continue;
        }
        group.push_back(neighbour);
        collectGroup(neighbour, group);
    }
}

void Board::tally() const {
    score = 0;
    int loose = 0;
    for (const Gem* gem : cells) {
        if (!gem->fading) {
            ++score;
        } else if (!gem->dead) {
            ++loose;
        }
    }
    if (loose <= kLastLooseGems) {
        screenState = GameOver;
    }
}
