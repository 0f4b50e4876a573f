// The computer's choice of move on the 9 by 9 board: an alpha-beta search
// over windows of five, with the threats that decide games handled before
// any searching (a five to complete, a four to block) and inside it (a four
// is answered at once, two fours lose). It knows nothing of messages or the
// network; the game itself is still judged by the board's rules.
#pragma once

#include "game/board.h"

// How much work one choice may do: the search deepens until it has visited
// this many positions. Counting positions rather than milliseconds keeps a
// choice the same for the same board and seed, however loaded the machine.
const unsigned long SEARCH_NODES_DEFAULT = 20000;

struct SearchReport {
    short nDepth = 0;          // the deepest search completed
    unsigned long nNodes = 0;  // positions visited
    int nValue = 0;            // the chosen move's value for nColor
};

// An empty intersection for a stone of nColor; (0, 0) when none is empty.
// The same board, colour, seed and budget give the same move. The seed
// chooses among moves of equal promise.
BoardPoint ChooseMove(const Board& board, short nColor, unsigned nSeed,
                      unsigned long nNodeBudget = SEARCH_NODES_DEFAULT, SearchReport* pReport = nullptr);

// The static judgement of the board for nColor, the number the search
// maximises at its horizon: open windows of nColor's stones count for it,
// the other colour's against it. A greedy player can pick its move by it.
int ScoreBoard(const Board& board, short nColor);
