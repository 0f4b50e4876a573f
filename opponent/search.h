// The computer's choice of move on the 9 by 9 board. Before any searching
// it looks for forced wins, its own and the other side's: threat sequences
// of fours alone, then of fours and threes, that the other side cannot
// stop. Otherwise an alpha-beta search over windows of five, deepened step
// by step and trying threats first, picks among the moves that leave the
// other side no such sequence; at full strength, where the other side
// threatens two fives at once, it searches only the moves that can stop
// that, past its horizon too. It knows nothing of messages or the network;
// the game itself is still judged by the board's rules.
#pragma once

#include <memory>

#include "game/board.h"

// Levels of play: the novice completes its five and blocks a four, but
// otherwise looks only a little ahead and now and then takes a lesser move;
// the full strength spends its whole budget on forced wins and the search.
const short LEVEL_NOVICE = 1;
const short LEVEL_MIDDLE = 2;
const short LEVEL_FULL = 3;

// How much work one choice at a level may do, in positions visited.
// Counting positions rather than milliseconds keeps a choice the same for
// the same board and seed, however loaded the machine.
unsigned long LevelNodes(short nLevel);

// What the search learns during one game, kept from move to move: the
// positions it has already valued. One per game; not shared between games
// played at the same time.
struct SearchMemory;
struct SearchMemoryFree {
    void operator()(SearchMemory* pMemory) const;
};
using SearchMemoryPtr = std::unique_ptr<SearchMemory, SearchMemoryFree>;
SearchMemoryPtr NewSearchMemory();

struct SearchReport {
    short nDepth = 0;          // the deepest alpha-beta search completed
    unsigned long nNodes = 0;  // positions visited, threat searches included
    int nValue = 0;            // the chosen move's value for nColor
    bool bForcedWin = false;   // the move begins a forced win found by the threat search
};

// What one choice may do. nNodes 0 takes the level's own budget.
struct SearchSettings {
    short nLevel = LEVEL_FULL;
    unsigned long nNodes = 0;
    SearchMemory* pMemory = nullptr;  // nullptr: a memory for this choice alone
};

// An empty intersection for a stone of nColor; (0, 0) when none is empty.
// The same board, colour, seed, settings and memory give the same move. The
// seed chooses among moves of equal promise, and the novice's lesser moves.
BoardPoint ChooseMove(const Board& board, short nColor, unsigned nSeed, const SearchSettings& settings = SearchSettings(),
                      SearchReport* pReport = nullptr);

// The static judgement of the board for nColor, the number the search
// maximises at its horizon: open windows of nColor's stones count for it,
// the other colour's against it. A greedy player can pick its move by it.
int ScoreBoard(const Board& board, short nColor);
